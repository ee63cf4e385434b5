vantrel_wine_test(window_base_test SOURCES win/window_base_test.cpp LIBS vantrel_win gtest_main)
