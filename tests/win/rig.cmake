vantrel_wine_test(rig_test SOURCES win/rig_test.cpp LIBS gtest_main)
