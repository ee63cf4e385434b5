# Test helpers shared by every layer.
#   vantrel_native_test(name SOURCES ... LIBS ...)   gtest exe, native build only
#   vantrel_wine_test(name SOURCES ... LIBS ... [LOCKS lock...] [GUI])
#       gtest exe of the Windows build, run under Wine inside the wine_env
#       fixture (private prefix, virtual display, keep-alive). LOCKS names
#       process- or machine-wide things the test touches (section, mutex,
#       keyboard hook, focus, main window), so ctest -j2 never runs two
#       users of one of them at once. "hook" stands for the keyboard and
#       the foreground: every test that injects keys, hooks them or shows a
#       window that may become active holds it.

if(NOT TARGET gtest)
  set(_gtest_src /usr/src/googletest)
  if(EXISTS ${_gtest_src}/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${_gtest_src} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  endif()
endif()

include(GoogleTest)

function(vantrel_native_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gmock gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "VANTREL_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
endfunction()

function(vantrel_wine_test name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS;LOCKS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gmock)
  if(T_GUI)
    target_link_options(${name} PRIVATE -municode)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 240)
  endif()
  # One ctest test per exe: every Wine process start costs ~0.1 s, and the
  # exe's own gtest output names each failing case.
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set(props FIXTURES_REQUIRED wine_env TIMEOUT ${T_TIMEOUT}
      ENVIRONMENT "VANTREL_TEST_TMP=Z:${CMAKE_BINARY_DIR}/test-tmp")
  set_tests_properties(${name} PROPERTIES ${props})
  if(T_LOCKS)
    # Set on its own: inside ${props} a list of several locks would be
    # flattened into separate arguments.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
  endif()
endfunction()
