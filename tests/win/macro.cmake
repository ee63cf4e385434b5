# The macro manager on the shipped skin and lang.dll of the runnable folder.
# Recording installs the low-level keyboard hook; the manager's warnings and
# menu take the foreground. The demo carries the event list's icons.
if(NOT TARGET vantrel_panels)
  return()
endif()
vantrel_wine_test(macro_man_test SOURCES win/macro_man_test.cpp
  LIBS vantrel_panels vantrel_shell gtest_main LOCKS hook)
add_dependencies(macro_man_test lang vantrel_skins)
target_compile_definitions(macro_man_test PRIVATE VANTREL_DIST_DIR=L"Z:${VANTREL_DIST}/")
