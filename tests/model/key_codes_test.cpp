#include "model/key_codes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "model/trace.h"

namespace vantrel {
namespace {

std::vector<std::u16string> g_trace;
void CollectTrace(std::u16string_view line) { g_trace.emplace_back(line); }

class KeyCodesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_trace.clear();
    SetTraceSink(&CollectTrace);
  }
  void TearDown() override {
    SetTraceSink(nullptr);
    SetActiveKeyboardLayout(nullptr);
  }
};

// A French-style layout: the physical keys of A/Q and Z/W carry each other's
// virtual keys; everything else answers like the US layout.
std::uint32_t SwapAzerty(std::uint32_t x, bool vk) {
  // vk side: Q(51)<->scan 1E, A(41)<->scan 10, W(57)<->scan 2C, Z(5A)<->scan 11.
  struct Pair {
    std::uint32_t vk, scan;
  };
  static const Pair pairs[] = {{0x51, 0x1E}, {0x41, 0x10}, {0x57, 0x2C}, {0x5A, 0x11}};
  for (const Pair& p : pairs)
    if (vk ? p.vk == x : p.scan == x) return vk ? p.scan : p.vk;
  return vk ? UsKeyboardLayout().vk_to_scan(x) : UsKeyboardLayout().scan_to_vk(x);
}
const KeyboardLayout kFrenchLayout{[](std::uint32_t vk) { return SwapAzerty(vk, true); },
                                   [](std::uint32_t scan) { return SwapAzerty(scan, false); }};

TEST_F(KeyCodesTest, TableShape) {
  EXPECT_EQ(KeyCodeTable[0].vk, 0x41);
  EXPECT_EQ(KeyCodeTable[64].usage, 0x45);
  EXPECT_EQ(KeyCodeTable[64].scan, 0x58);
  EXPECT_EQ(KeyCodeTable[94].vk, 0x6E);
  EXPECT_EQ(KeyCodeTable[96].usage, 0x65);
  EXPECT_EQ(KeyCodeTable[107].vk, 0xFF);
  EXPECT_EQ(KeyCodeTable[130].usage, 0xF4);
  for (std::size_t i = 0; i < KeyCodeTable.size(); ++i) {
    EXPECT_EQ(KeyCodeTable[i].scan != 0, i < 65) << i;
    EXPECT_NE(KeyCodeTable[i].usage, 0x32) << i;
  }
  // Every factory position except the six empty ones names a key.
  for (std::size_t i = 0; i < 108; ++i) {
    int vk = 0;
    EXPECT_TRUE(UsageToVirtualKey(FactoryKeyMap[i], vk)) << i;
    EXPECT_FALSE(KeyDisplayName(vk).empty()) << i;
  }
  for (std::size_t i = 108; i < 114; ++i) EXPECT_EQ(FactoryKeyMap[i], 0) << i;
}

TEST_F(KeyCodesTest, UsageToVirtualKeyOnUsLayout) {
  struct Case {
    int usage;
    bool ok;
    int vk;
    const char16_t* name;
  };
  const Case cases[] = {
      {0x04, true, 0x41, u"A"},     {0x1D, true, 0x5A, u"Z"},
      {0x27, true, 0x30, u"0"},     {0x33, true, 0xBA, u";"},
      {0x31, true, 0xDC, u"\\"},    {0x45, true, 0x7B, u"F12"},
      {0x32, false, 0, u""},        {0x00, false, 0, u""},
      {0xE1, true, 0xA0, u"Shift"}, {0x58, true, 0x6C, u"Num Enter"},
      {0x64, true, 0xE2, u"|\\"},   {0x89, true, 0xFF, u"\\"},
      {0x86, true, 0xC1, u"-\\"},   {0x85, true, 0xC2, u"Num ."},
      {0xF0, true, 0xF0, u""},      {0xF1, true, 0xF1, u"L-Button"},
      {0x5F, true, 0x67, u"Num 7"}, {0x54, true, 0x6F, u"Num /"},
      {0x1000, false, 0, u""},      {-1, false, 0, u""},
  };
  for (const Case& c : cases) {
    int vk = 12345;
    EXPECT_EQ(UsageToVirtualKey(c.usage, vk), c.ok) << std::hex << c.usage;
    EXPECT_EQ(vk, c.vk) << std::hex << c.usage;
    EXPECT_EQ(KeyDisplayName(vk), c.name) << std::hex << c.usage;
  }
}

TEST_F(KeyCodesTest, TraceOnlyForLayoutDependentUsages) {
  int vk = 0;
  UsageToVirtualKey(0xE1, vk);
  UsageToVirtualKey(0x58, vk);
  EXPECT_TRUE(g_trace.empty());
  UsageToVirtualKey(0x04, vk);
  UsageToVirtualKey(0x32, vk);
  EXPECT_EQ(g_trace.size(), 2u);
}

TEST_F(KeyCodesTest, VirtualKeyToUsageOnUsLayout) {
  struct Case {
    int vk;
    bool ok;
    int usage;
  };
  const Case cases[] = {
      {0x41, true, 0x04}, {0x5A, true, 0x1D}, {0x6C, true, 0x58}, {0x15, false, 0},
      {0xBA, true, 0x33}, {0x14, true, 0x39}, {0x91, true, 0x47}, {0xA5, true, 0xE6},
      {0xF4, true, 0xF4}, {0x00, false, 0},   {-7, false, 0},     {0x7B, true, 0x45},
  };
  for (const Case& c : cases) {
    int usage = 999;
    EXPECT_EQ(VirtualKeyToUsage(c.vk, usage), c.ok) << std::hex << c.vk;
    EXPECT_EQ(usage, c.usage) << std::hex << c.vk;
  }
}

TEST_F(KeyCodesTest, FrenchLayoutFollowsPhysicalKeys) {
  SetActiveKeyboardLayout(&kFrenchLayout);
  struct Case {
    int usage;
    int vk;
    const char16_t* name;
  };
  const Case cases[] = {
      {0x04, 0x51, u"Q"}, {0x14, 0x41, u"A"}, {0x1D, 0x57, u"W"}, {0x1A, 0x5A, u"Z"},
      {0x05, 0x42, u"B"}, {0x33, 0xBA, u";"},  // fixed scan: same on every layout
  };
  for (const Case& c : cases) {
    int vk = 0;
    EXPECT_TRUE(UsageToVirtualKey(c.usage, vk));
    EXPECT_EQ(vk, c.vk) << std::hex << c.usage;
    EXPECT_EQ(KeyDisplayName(vk), c.name);
    // And back: the user pressing that virtual key means the same physical key.
    int usage = 0;
    EXPECT_TRUE(VirtualKeyToUsage(vk, usage));
    EXPECT_EQ(usage, c.usage) << std::hex << c.vk;
  }
}

TEST_F(KeyCodesTest, LayoutAnsweringZeroKeepsTheTableUsage) {
  // A layout without the key must not turn it into Print Screen (the first
  // row with no scan code).
  const KeyboardLayout empty{[](std::uint32_t) { return 0u; }, [](std::uint32_t) { return 0u; }};
  SetActiveKeyboardLayout(&empty);
  int usage = 0;
  EXPECT_TRUE(VirtualKeyToUsage(0x41, usage));
  EXPECT_EQ(usage, 0x04);
  int vk = 1;
  EXPECT_TRUE(UsageToVirtualKey(0x04, vk));
  EXPECT_EQ(vk, 0);
}

TEST_F(KeyCodesTest, DisplayNames) {
  struct Case {
    int vk;
    const char16_t* name;
  };
  const Case cases[] = {
      {8, u"BackSpace"},
      {19, u"Pause"},
      {33, u"Page Up"},
      {40, u"Down"},
      {41, u"Select"},
      {42, u""},
      {44, u"Prnt Scrn"},
      {47, u"Help"},
      {48, u"0"},
      {57, u"9"},
      {58, u""},
      {64, u""},
      {65, u"A"},
      {90, u"Z"},
      {91, u"Left Windows"},
      {93, u"APP"},
      {94, u""},
      {96, u"Num 0"},
      {105, u"Num 9"},
      {106, u"Num *"},
      {111, u"Num /"},
      {112, u"F1"},
      {123, u"F12"},
      {124, u""},
      {144, u"Num Lock"},
      {145, u"Scroll Lock"},
      {160, u"Shift"},
      {165, u"Right Alt"},
      {186, u";"},
      {192, u"`"},
      {193, u"-\\"},
      {194, u"Num ."},
      {219, u"["},
      {220, u"\\"},
      {222, u"'"},
      {226, u"|\\"},
      {240, u""},
      {241, u"L-Button"},
      {245, u"Button 5"},
      {255, u"\\"},
      {-1, u""},
      {256, u""},
      {0x10000, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyDisplayName(c.vk), c.name) << c.vk;
}

TEST_F(KeyCodesTest, MouseButtonNamesFollowMacroNumbering) {
  const char16_t* names[] = {u"L-Button", u"R-Button", u"M-Button", u"Button 4", u"Button 5"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(MouseButtonName(240 + i), names[i]);
  EXPECT_EQ(MouseButtonName(239), u"");
  EXPECT_EQ(MouseButtonName(245), u"");
}

}  // namespace
}  // namespace vantrel
