// The skinned button's drawing rules: image and text colour per state,
// text format per alignment, and the word-wrap layout.
#include "model/button_look.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using I = ButtonImage;
using C = ButtonTextColour;

TEST(ButtonLook, ImageAndTextColourPerState) {
  struct Case {
    ButtonState s;
    bool mouse_down;
    I image;
    C colour;
  };
  // toggle, checked, selected, disabled, hover
  const Case cases[] = {
      {{false, false, false, false, false}, false, I::Normal, C::Normal},
      {{false, false, false, false, true}, false, I::Hover, C::Hover},
      {{false, false, false, false, true}, true, I::Hover, C::Pressed},
      {{false, true, false, false, false}, false, I::Pressed, C::Pressed},  // checked, no pointer
      {{false, false, true, false, false}, false, I::Pressed, C::Pressed},
      {{false, true, false, true, false}, false, I::Disabled, C::Disabled},  // disabled wins
      {{false, false, true, true, true}, false, I::Disabled, C::Hover},      // hover colour first
      {{true, true, false, true, false}, false, I::Pressed, C::Disabled},    // toggle: checked wins
      {{true, false, false, true, false}, false, I::Disabled, C::Disabled},
      {{true, false, true, false, true}, false, I::Normal, C::Hover},  // no hover look in toggle
      {{true, false, false, false, false}, true, I::Normal, C::Normal},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ChooseButtonImage(cases[i].s), cases[i].image);
    EXPECT_EQ(ChooseTextColour(cases[i].s, cases[i].mouse_down), cases[i].colour);
  }
}

TEST(ButtonLook, TextFormatPerAlignment) {
  EXPECT_EQ(ButtonTextFormat(kDrawSingleLine, 0), 0x8825u);
  EXPECT_EQ(ButtonTextFormat(kDrawSingleLine, 1), 0x8824u);
  for (int other : {2, 3, -1, 1000}) EXPECT_EQ(ButtonTextFormat(kDrawSingleLine, other), 0x8826u);
  EXPECT_EQ(ButtonTextFormat(kDrawWordBreak, 0), 0x8815u);
}

TEST(ButtonLook, WordWrapLayout) {
  const TextBox client{0, 0, 100, 40};
  // Width left: 100 - 5 - (3 + 5) = 87. 20 px * 4 chars = 80 fits: one line.
  TextBox one = ButtonTextBox(client, kDrawWordBreak, 3, 20, 4, 18);
  EXPECT_EQ(one.left, 8);
  EXPECT_EQ(one.right, 95);
  EXPECT_EQ(one.top, 20 - 9);
  EXPECT_EQ(one.bottom, 35);
  // 20 * 5 = 100 > 87: two lines, the box starts one text height above the middle.
  TextBox two = ButtonTextBox(client, kDrawWordBreak, 3, 20, 5, 18);
  EXPECT_EQ(two.top, 20 - 18);
  // Exactly the width is still one line.
  EXPECT_EQ(ButtonTextBox({0, 0, 90, 40}, kDrawWordBreak, 0, 20, 4, 18).top, 11);
  EXPECT_EQ(ButtonTextBox({0, 0, 89, 40}, kDrawWordBreak, 0, 20, 4, 18).top, 2);
  // Other flags only indent.
  TextBox single = ButtonTextBox(client, kDrawSingleLine, 7, 20, 50, 18);
  EXPECT_EQ(single.left, 7);
  EXPECT_EQ(single.top, 0);
  EXPECT_EQ(single.right, 100);
  EXPECT_EQ(single.bottom, 40);
  // Enormous counts do not overflow into "fits".
  EXPECT_EQ(ButtonTextBox(client, kDrawWordBreak, 0, 1 << 30, 1u << 30, 10).top, 10);
}

}  // namespace
}  // namespace vantrel
