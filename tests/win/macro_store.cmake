# sequence.dat against the platform's private-profile struct functions.
vantrel_wine_test(macro_store_win_test SOURCES win/macro_store_win_test.cpp
  LIBS vantrel_model gtest_main)
