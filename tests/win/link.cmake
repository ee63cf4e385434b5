# The monitor link on its own (a stand-in host window, stand-in monitors in
# this process and the real Pelox.exe as the second process), and Pelox.exe
# itself. Both use the section, mutex and window names of the product.
if(NOT TARGET vantrel_shell OR NOT TARGET Pelox)
  return()
endif()
vantrel_wine_test(monitor_link_test SOURCES win/monitor_link_test.cpp win/link_fixture.cpp
  LIBS vantrel_shell vantrel_panels gtest_main LOCKS section hook)
vantrel_wine_test(companion_test SOURCES win/companion_test.cpp win/link_fixture.cpp
  LIBS vantrel_model gtest_main LOCKS section hook)
foreach(t monitor_link_test companion_test)
  add_dependencies(${t} Pelox)
  target_compile_definitions(${t} PRIVATE VANTREL_DIST_DIR=L"Z:${VANTREL_DIST}/")
  target_include_directories(${t} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win)
endforeach()
# The shell tests' stand-in Pelox.exe beside the test exe shows a launch
# from the configurator's own folder.
add_dependencies(monitor_link_test fake_pelox)
# The whole program: Tevrin.exe and Pelox.exe of the runnable folder.
if(TARGET Tevrin)
  vantrel_wine_test(program_test SOURCES win/program_test.cpp win/link_fixture.cpp
    LIBS vantrel_model gtest_main LOCKS section hook)
  add_dependencies(program_test Tevrin Pelox lang vantrel_skins)
  target_compile_definitions(program_test PRIVATE VANTREL_DIST_DIR=L"Z:${VANTREL_DIST}/")
  target_include_directories(program_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win)
endif()
