vantrel_wine_test(skin_region_test SOURCES win/skin_region_test.cpp LIBS vantrel_skin gtest_main)
# Shows windows, which take the foreground from a test that injects keys.
vantrel_wine_test(skin_window_test SOURCES win/skin_window_test.cpp LIBS vantrel_skin gtest_main
  LOCKS hook)
vantrel_wine_test(lang_test SOURCES win/lang_test.cpp LIBS vantrel_skin gtest_main)
# The test reads lang.dll where the build puts it for the runnable folder.
add_dependencies(lang_test lang)
target_compile_definitions(lang_test PRIVATE VANTREL_DIST_DIR=L"Z:${VANTREL_DIST}/")
