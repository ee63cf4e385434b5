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

set(macro_demo_res ${CMAKE_BINARY_DIR}/skins/res)
configure_file(win/macro_demo.rc.in ${CMAKE_CURRENT_BINARY_DIR}/macro_demo.rc @ONLY)
add_executable(macro_demo WIN32 win/macro_demo.cpp ${CMAKE_CURRENT_BINARY_DIR}/macro_demo.rc)
target_link_libraries(macro_demo PRIVATE vantrel_panels vantrel_shell)
target_link_options(macro_demo PRIVATE -municode)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/macro_demo.rc PROPERTIES OBJECT_DEPENDS
  "${macro_demo_res}/arrow137.bmp;${macro_demo_res}/icon138.bmp;${macro_demo_res}/icon139.bmp;${macro_demo_res}/icon140.bmp;${macro_demo_res}/icon143.bmp")
add_dependencies(macro_demo lang vantrel_skins vantrel_skin_assets)
