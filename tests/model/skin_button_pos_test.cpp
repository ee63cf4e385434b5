// BUTTONPOS values as skin authors write them, and as they must never hurt.
#include "model/skin_button_pos.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/text.h"

namespace vantrel {
namespace {

struct Case {
  const char16_t* value;
  const char16_t* name;
  std::int32_t left, top, right, bottom;
  const char16_t* caption;
};

TEST(ParseButtonPos, Table) {
  const Case cases[] = {
      {u"Play,10,20,30,40,  Start  ", u"Play", 10, 20, 40, 60, u"Start"},
      {u"Play,10,20,30,40", u"Play", 10, 20, 40, 60, u"40"},
      {u"  Start  ", u"", 0, 0, 0, 0, u"Start"},
      {u"5", u"", 5, 0, 5, 0, u"5"},  // no comma: numbers read from the value
      {u"", u"", 0, 0, 0, 0, u""},
      {u"A,1, 2,\t3,4,x", u"A", 1, 2, 4, 6, u"x"},  // %d skips blanks before numbers
      {u"A,1 ,2,3,4,x", u"A", 1, 0, 1, 0, u"x"},    // but the literal comma does not
      {u"A,-5,+7,10,-3,y", u"A", -5, 7, 5, 4, u"y"},
      {u"A,x,2,3,4,z", u"A", 0, 0, 0, 0, u"z"},
      {u"A,1,2,3", u"A", 1, 2, 4, 2, u"3"},
      {u"A,,,,,", u"A", 0, 0, 0, 0, u""},
      {u"Caf\u00e9,1,1,1,1,\u00dcber", u"Caf\u00e9", 1, 1, 2, 2, u"\u00dcber"},
      // Huge numbers saturate instead of overflowing.
      {u"A,99999999999,2147483647,5,1,c", u"A", 2147483647, 2147483647, 2147483647, 2147483647,
       u"c"},
      {u"A,-2147483648,0,-1,0,c", u"A", -2147483647 - 1, 0, -2147483647 - 1, 0, u"c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U16ToUtf8(c.value));
    SkinButtonPos p = ParseButtonPos(c.value);
    EXPECT_EQ(FromFixed(p.name), c.name);
    EXPECT_EQ(p.left, c.left);
    EXPECT_EQ(p.top, c.top);
    EXPECT_EQ(p.right, c.right);
    EXPECT_EQ(p.bottom, c.bottom);
    EXPECT_EQ(FromFixed(p.caption), c.caption);
  }
}

// Over-long fields are cut and terminated; nothing past a field changes.
TEST(ParseButtonPos, LongFieldsAreCutNeverWrittenPast) {
  const std::u16string name(100, u'n'), caption(5000, u'c');
  SkinButtonPos p = ParseButtonPos(name + u",1,2,3,4," + caption);
  EXPECT_EQ(FromFixed(p.name), std::u16string(39, u'n'));
  EXPECT_EQ(p.name[39], 0);
  EXPECT_EQ(p.left, 1);
  EXPECT_EQ(p.bottom, 6);
  EXPECT_EQ(FromFixed(p.caption), std::u16string(399, u'c'));
  EXPECT_EQ(p.caption[399], 0);

  // A value without commas is all caption (cut the same way).
  p = ParseButtonPos(std::u16string(4095, u'v'));
  EXPECT_EQ(FromFixed(p.caption).size(), 399u);
  EXPECT_EQ(p.name[0], 0);
}

}  // namespace
}  // namespace vantrel
