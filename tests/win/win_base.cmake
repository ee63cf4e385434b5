vantrel_wine_test(window_base_test SOURCES win/window_base_test.cpp LIBS vantrel_win gtest_main)
if(VANTREL_LARGE_BLOCKS)
  vantrel_wine_test(large_blocks_test SOURCES win/large_blocks_test.cpp LIBS vantrel_win gtest_main)
endif()
