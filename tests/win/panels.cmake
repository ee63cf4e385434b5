# The keyboard, lighting and advanced pages and the key assignment dialog,
# on the shipped skin and lang.dll of the runnable folder. Both exes open the
# key assignment dialog, which installs the low-level keyboard hook.
if(NOT TARGET vantrel_panels)
  return()
endif()
foreach(t key_assi_test panels_test)
  vantrel_wine_test(${t} SOURCES win/${t}.cpp LIBS vantrel_panels gtest_main LOCKS hook)
  add_dependencies(${t} lang vantrel_skins)
  target_compile_definitions(${t} PRIVATE VANTREL_DIST_DIR=L"Z:${VANTREL_DIST}/")
endforeach()
# The pages in the real main window against the shell tests' stand-in
# monitor.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/win/shell_fixture.cpp)
  vantrel_wine_test(pages_e2e_test SOURCES win/pages_e2e_test.cpp win/shell_fixture.cpp
    LIBS vantrel_shell vantrel_panels gtest_main LOCKS section hook)
  add_dependencies(pages_e2e_test lang vantrel_skins)
  target_compile_definitions(pages_e2e_test PRIVATE VANTREL_DIST_DIR=L"Z:${VANTREL_DIST}/")
endif()
