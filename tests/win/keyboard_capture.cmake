# The keyboard capture: a real low-level hook, real injected keys.
vantrel_wine_test(keyboard_capture_test SOURCES win/keyboard_capture_test.cpp
  LIBS vantrel_win gtest_main LOCKS hook)
