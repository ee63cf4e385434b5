# The INI layer against the platform's private-profile functions.
vantrel_wine_test(ini_diff_test SOURCES win/ini_diff_test.cpp
  LIBS vantrel_model vantrel_win gtest_main)
