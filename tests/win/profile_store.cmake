# The profile store against the platform's private-profile functions.
vantrel_wine_test(profile_store_win_test SOURCES win/profile_store_win_test.cpp
  LIBS vantrel_model gtest_main)
target_include_directories(profile_store_win_test PRIVATE ${CMAKE_SOURCE_DIR}/bench)

