# Owner-drawn menus and the menu-frame hook, the owner-drawn list box, and
# the picture slider; the demo shows all three for a screenshot. Menus and
# the list box take the focus and the foreground.
if(NOT TARGET vantrel_shell)
  return()
endif()
vantrel_wine_test(ex_menu_test SOURCES win/ex_menu_test.cpp LIBS vantrel_shell gtest_main LOCKS hook)
vantrel_wine_test(list_box_ex_test SOURCES win/list_box_ex_test.cpp
  LIBS vantrel_shell gtest_main LOCKS hook)
# The slider test shows a window, which takes the foreground from a test
# that injects keys.
vantrel_wine_test(slider_test SOURCES win/slider_test.cpp LIBS vantrel_skin gtest_main LOCKS hook)
# The demo carries the program's submenu arrow and list icons as resources.
set(menu_demo_res ${CMAKE_BINARY_DIR}/skins/res)
configure_file(win/menu_demo.rc.in ${CMAKE_CURRENT_BINARY_DIR}/menu_demo.rc @ONLY)
add_executable(menu_demo WIN32 win/menu_demo.cpp ${CMAKE_CURRENT_BINARY_DIR}/menu_demo.rc)
target_link_libraries(menu_demo PRIVATE vantrel_shell)
target_link_options(menu_demo PRIVATE -municode)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/menu_demo.rc PROPERTIES OBJECT_DEPENDS
  "${menu_demo_res}/arrow137.bmp;${menu_demo_res}/icon138.bmp;${menu_demo_res}/icon140.bmp")
add_dependencies(menu_demo vantrel_skin_assets)
