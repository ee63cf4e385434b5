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
# The page in the real main window with a key menu or the shortcut dialog
# open, for screenshots; it carries the submenu arrow as a resource.
set(menu_demo_res ${CMAKE_BINARY_DIR}/skins/res)
configure_file(win/menu_demo.rc.in ${CMAKE_CURRENT_BINARY_DIR}/macro_page_demo.rc @ONLY)
add_executable(macro_page_demo WIN32 win/macro_page_demo.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/macro_page_demo.rc)
target_link_libraries(macro_page_demo PRIVATE vantrel_shell vantrel_panels comctl32 shell32)
target_link_options(macro_page_demo PRIVATE -municode)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/macro_page_demo.rc PROPERTIES
  OBJECT_DEPENDS "${menu_demo_res}/arrow137.bmp;${menu_demo_res}/icon138.bmp;${menu_demo_res}/icon140.bmp")
add_dependencies(macro_page_demo lang vantrel_skins vantrel_skin_assets)
