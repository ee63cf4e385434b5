# The keyboard-layout provider (built from its source until the Win32 base
# library exists).
if(TARGET vantrel_win)
  vantrel_wine_test(keyboard_layout_test SOURCES win/keyboard_layout_test.cpp
    LIBS vantrel_win gtest_main)
else()
  vantrel_wine_test(keyboard_layout_test SOURCES win/keyboard_layout_test.cpp
    ${CMAKE_SOURCE_DIR}/src/win/keyboard_layout_win.cpp LIBS vantrel_model user32 gtest_main)
  target_include_directories(keyboard_layout_test PRIVATE ${CMAKE_SOURCE_DIR}/src)
endif()
