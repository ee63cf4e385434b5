# The shell under Wine: the main window with a stand-in monitor in the same
# process (section, mutex and "Vantrel Monitor" window under their real
# names), the profile form, the start-up launch of the monitor exe, and
# every window from the keyboard and through a screen reader.
if(NOT TARGET vantrel_shell OR NOT TARGET vantrel_panels)
  return()
endif()
foreach(t main_window_test profile_form_test keyboard_access_test)
  vantrel_wine_test(${t} SOURCES win/${t}.cpp win/shell_fixture.cpp
    LIBS vantrel_shell vantrel_panels gtest_main LOCKS section hook)
  add_dependencies(${t} lang vantrel_skins)
  target_compile_definitions(${t} PRIVATE VANTREL_DIST_DIR=L"Z:${VANTREL_DIST}/")
  target_include_directories(${t} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win)
endforeach()
target_link_libraries(keyboard_access_test PRIVATE oleacc oleaut32)
# Pelox.exe beside the test exes: what the main window launches when no
# monitor window exists.
add_executable(fake_pelox WIN32 win/fake_pelox.cpp)
target_link_options(fake_pelox PRIVATE -municode)
set_target_properties(fake_pelox PROPERTIES OUTPUT_NAME Pelox)
add_dependencies(main_window_test fake_pelox)

if(TARGET Tevrin)
  vantrel_wine_test(app_resources_test SOURCES win/app_resources_test.cpp LIBS version gtest_main)
  add_dependencies(app_resources_test Tevrin)
  target_compile_definitions(app_resources_test PRIVATE VANTREL_DIST_DIR=L"Z:${VANTREL_DIST}/")
endif()
