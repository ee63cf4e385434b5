# The macro page and its shortcut dialog on the shipped skin and lang.dll of
# the runnable folder, and the page end to end inside the real main window
# against the shell tests' stand-in monitor. The shortcut dialog installs
# the low-level keyboard hook; the end-to-end test owns the section names.
if(NOT TARGET vantrel_panels OR NOT TARGET vantrel_shell)
  return()
endif()
foreach(t shortcut_test macro_page_test)
  vantrel_wine_test(${t} SOURCES win/${t}.cpp win/shell_fixture.cpp
    LIBS vantrel_shell vantrel_panels gtest_main LOCKS hook)
endforeach()
vantrel_wine_test(macro_page_e2e_test SOURCES win/macro_page_e2e_test.cpp win/shell_fixture.cpp
  LIBS vantrel_shell vantrel_panels gtest_main LOCKS section hook)
foreach(t shortcut_test macro_page_test macro_page_e2e_test)
  add_dependencies(${t} lang vantrel_skins)
  target_compile_definitions(${t} PRIVATE VANTREL_DIST_DIR=L"Z:${VANTREL_DIST}/")
  target_include_directories(${t} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win)
endforeach()
