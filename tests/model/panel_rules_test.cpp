#include "model/panel_rules.h"

#include <gtest/gtest.h>

#include "model/key_codes.h"

namespace vantrel {
namespace {

TEST(PanelRules, LightModeCaptionsFollowTheStoredValueNotTheMenuOrder) {
  struct Case {
    std::int32_t mode;
    int entry;
  } cases[] = {{1, 10}, {2, 9}, {3, 11}, {4, -1}, {0, -1}, {-1, -1}, {5, -1}, {1000, -1}};
  for (const Case& c : cases) {
    PanelCaption caption = LightModeCaption(c.mode);
    EXPECT_EQ(caption.text_entry, c.entry) << c.mode;
    EXPECT_TRUE(caption.fixed.empty()) << c.mode;
  }
}

TEST(PanelRules, LightLevelOutsideTwoToFiveShowsEntryThree) {
  EXPECT_EQ(LightLevelCaption(2).fixed, u"20%");
  EXPECT_EQ(LightLevelCaption(3).fixed, u"60%");
  EXPECT_EQ(LightLevelCaption(4).fixed, u"100%");
  EXPECT_EQ(LightLevelCaption(5).text_entry, 6);
  for (std::int32_t level : {1, 0, -1, 6, 99, INT32_MIN, INT32_MAX}) {
    PanelCaption caption = LightLevelCaption(level);
    EXPECT_EQ(caption.text_entry, 3) << level;
    EXPECT_TRUE(caption.fixed.empty()) << level;
  }
}

// Any int is a command: INT32_MIN overflowed when the first command was
// subtracted before the range test.
TEST(PanelRules, LightMenuCommandsStoreInTableOrder) {
  struct Case {
    int command;
    LightField field;
    std::int32_t value;
    bool show;
  } cases[] = {
      {2005, LightField::Mode, 2, true},       {2006, LightField::Mode, 1, true},
      {2007, LightField::Mode, 3, true},       {2008, LightField::Mode, 4, false},
      {2009, LightField::Level, 1, true},      {2010, LightField::Level, 2, true},
      {2011, LightField::Level, 3, true},      {2012, LightField::Level, 4, true},
      {2013, LightField::Level, 5, true},      {2004, LightField::None, 0, false},
      {2014, LightField::None, 0, false},      {1004, LightField::None, 0, false},
      {INT32_MIN, LightField::None, 0, false}, {INT32_MAX, LightField::None, 0, false},
  };
  for (const Case& c : cases) {
    LightCommand cmd = LightMenuCommand(c.command);
    EXPECT_EQ(cmd.field, c.field) << c.command;
    EXPECT_EQ(cmd.value, c.value) << c.command;
    EXPECT_EQ(cmd.show, c.show) << c.command;
  }
}

TEST(PanelRules, ResponseTimeText) {
  EXPECT_EQ(ResponseTimeText(1), u"1 ms");
  EXPECT_EQ(ResponseTimeText(8), u"8 ms");
  EXPECT_EQ(ResponseTimeText(-1), u"-1 ms");
}

TEST(PanelRules, AdvancedCommandsTieResponseTimeToRate) {
  struct Case {
    int command;
    bool known;
    std::int32_t ms;
    int rate;
  } cases[] = {{2001, true, 1, 1},  {2002, true, 2, 0},   {2003, true, 4, -1},
               {2004, true, 8, -1}, {2000, false, 0, -1}, {2005, false, 0, -1}};
  for (const Case& c : cases) {
    AdvancedCommand cmd = AdvancedMenuCommand(c.command);
    EXPECT_EQ(cmd.known, c.known) << c.command;
    EXPECT_EQ(cmd.response_time, c.ms) << c.command;
    EXPECT_EQ(cmd.rate_index, c.rate) << c.command;
  }
}

TEST(PanelRules, OnlyKeysDifferingFromTheFactoryMapShowPressed) {
  for (int i = 0; i < kKeyPositions; ++i) {
    EXPECT_FALSE(KeyShowsRemapped(i, FactoryKeyMap[i])) << i;
    EXPECT_TRUE(KeyShowsRemapped(i, static_cast<std::uint8_t>(FactoryKeyMap[i] ^ 1))) << i;
  }
  // Positions 108..113 have no factory key: any code there is a remap.
  EXPECT_TRUE(KeyShowsRemapped(110, 0x14));
  for (int bad : {-1, 114, 1000}) EXPECT_FALSE(KeyShowsRemapped(bad, 0x14)) << bad;
}

TEST(PanelRules, OnlyExtendedEnterIsTheKeypadEnter) {
  EXPECT_EQ(CapturedVirtualKey(13, 0x01), 108);
  EXPECT_EQ(CapturedVirtualKey(13, 0x81), 108);
  EXPECT_EQ(CapturedVirtualKey(13, 0x00), 13);
  EXPECT_EQ(CapturedVirtualKey(13, 0x80), 13);
  // Other extended keys keep their code (navigation keys, right Ctrl...).
  EXPECT_EQ(CapturedVirtualKey(0x24, 0x01), 0x24);
  EXPECT_EQ(CapturedVirtualKey(0xA3, 0x01), 0xA3);
}

}  // namespace
}  // namespace vantrel
