# Owner-drawn menus and the menu-frame hook, the owner-drawn list box, and
# the picture slider. Menus and the list box take the focus and the
# foreground.
vantrel_wine_test(ex_menu_test SOURCES win/ex_menu_test.cpp LIBS vantrel_skin gtest_main LOCKS hook)
vantrel_wine_test(list_box_ex_test SOURCES win/list_box_ex_test.cpp
  LIBS vantrel_skin gtest_main LOCKS hook)
# The slider test shows a window, which takes the foreground from a test
# that injects keys.
vantrel_wine_test(slider_test SOURCES win/slider_test.cpp LIBS vantrel_skin gtest_main LOCKS hook)
