#include "model/key_functions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "model/key_codes.h"
#include "model/text.h"

namespace vantrel {
namespace {

std::vector<std::u16string> Names() {
  std::vector<std::u16string> names;
  for (int n = 0; n < 27; ++n) names.push_back(u"T" + ToU16Decimal(n));
  return names;
}

std::u16string NameOfUsage(int usage) {
  int vk = 0;
  EXPECT_TRUE(UsageToVirtualKey(usage, vk));
  return KeyDisplayName(vk);
}

KeyAssignment Key(std::uint8_t type, std::uint8_t mods, std::uint16_t code) {
  KeyAssignment k{};
  k.actionType = type;
  k.modifiers = mods;
  k.keyCode = code;
  return k;
}

TEST(KeyFunctions, TableEntries) {
  struct Row {
    int code, key;
    FunctionEntry want;
  } rows[] = {
      {1, 0, {1, 0, 0}},     {3, 0, {3, 0, 0}},     {11, 4, {11, 5, 0}},     {17, 0, {4, 4, 0}},
      {19, 0, {4, 6, 0}},    {24, 0, {6, 0, 178}},  {41, 0, {6, 0, 198}},    {37, 0, {6, 0, 199}},
      {48, 2, {2, 1, 0x20}}, {48, 7, {2, 6, 0}},    {48, 14, {10, 0, 0x4D}}, {48, 15, {0, 0, 0}},
      {64, 0, {9, 1, 0x1B}}, {74, 0, {9, 4, 0x3D}}, {77, 0, {9, 8, 0x07}},   {79, 0, {6, 0, 79}},
      {240, 0, {7, 1, 0}},   {244, 0, {7, 5, 0}},   {245, 0, {8, 0, 0}},     {246, 0, {5, 0, 0}},
      {47, 0, {0, 0, 0}},    {-1, 0, {0, 0, 0}},
  };
  for (const Row& r : rows) {
    const FunctionEntry e = FunctionCodeTable(r.code, r.key);
    EXPECT_EQ(e.actionType, r.want.actionType) << r.code;
    EXPECT_EQ(e.modifiers, r.want.modifiers) << r.code;
    EXPECT_EQ(e.keyCode, r.want.keyCode) << r.code;
  }
}

TEST(KeyFunctions, CommandsMapToCodes) {
  const std::pair<int, int> rows[] = {{1001, 48}, {1002, 2},  {1003, 11},  {1007, 16},  {1012, 21},
                                      {1013, 24}, {1030, 41}, {1031, 240}, {1037, 246}, {1040, 1},
                                      {1050, 64}, {1063, 77}, {1064, 78},  {1065, 79},  {1100, 3},
                                      {1099, -1}, {1004, -1}, {1041, -1},  {4001, -1}};
  for (auto [id, code] : rows) EXPECT_EQ(CommandFunctionCode(id), code) << id;
}

TEST(KeyFunctions, CaptionsForEveryActionType) {
  const auto names = Names();
  KeyAssignment macro = Key(3, 0, 0);
  ToFixed(macro.macroName, u"Combo");
  KeyAssignment program = Key(11, 1, 0);
  ToFixed(program.programPath, u"C:\\Tools\\calc.exe");
  struct Row {
    KeyAssignment key;
    std::u16string want;
  } rows[] = {
      {Key(0, 0, 0), u""},
      {Key(1, 0, 0), u"T25"},
      {Key(2, 5, 0x4C), u"Ctrl+Alt+" + NameOfUsage(0x4C)},
      {Key(2, 15, 0x04), u"Ctrl+Shift+Alt+Win+" + NameOfUsage(0x04)},
      {macro, u"Combo"},
      {Key(4, 4, 0), u"Function 4"},
      {Key(5, 0, 0), u"Key off"},
      {Key(6, 0, 178), u"T4"},
      {Key(6, 0, 79), u"T17"},
      {Key(6, 0, 192), u"Screensave"},
      {Key(6, 0, 190), u"Stop loading"},
      {Key(6, 0, 10), u""},
      {Key(7, 1, 0), MouseButtonName(240)},
      {Key(8, 0, 0), u"Double click"},
      {Key(9, 4, 0x3D), u"T13"},
      {Key(9, 8, 0x15), u"T19"},
      {Key(9, 8, 0x07), u"T18"},
      {Key(9, 1, 0x06), u"Ctrl+" + NameOfUsage(0x06)},
      {Key(10, 0, 0x49), NameOfUsage(0x49)},
      {program, u"calc.exe"},
      {Key(12, 0, 0), u""},
  };
  for (const Row& r : rows)
    EXPECT_EQ(KeyAssignmentText(r.key, names), r.want) << int(r.key.actionType);
  // A short table gives empty texts rather than reading past it.
  EXPECT_EQ(KeyAssignmentText(Key(1, 0, 0), {}), u"");
}

class KeyCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    record = std::make_unique<SettingsRecord>();
    std::memset(record.get(), 0, sizeof(SettingsRecord));
    record->CurrentProfile = 1;
    auto m = std::make_unique<MacroRecord>();
    std::memset(m.get(), 0, sizeof(MacroRecord));
    ToFixed(m->name, u"Fire");
    m->eventCount = 2;
    m->repeatCount = 7;
    m->events[0] = {0x04, 1, 30};
    m->events[1] = {0x04, 2, 0};
    library.push_back(std::move(m));
  }
  KeyAssignment& key(int k) { return ActiveSlot(*record).MacroKeyInfo[k]; }
  const int kActive = 1;  // the fixture's CurrentProfile
  std::unique_ptr<SettingsRecord> record;
  MacroLibrary library;
};

TEST_F(KeyCommand, FactoryDefaultOnKeyTwo) {
  ASSERT_TRUE(ApplyKeyCommand(*record, kActive, 2, 1001, library, nullptr));
  EXPECT_EQ(key(2).functionCode, 48);
  EXPECT_EQ(key(2).actionType, 2);
  EXPECT_EQ(key(2).modifiers, 1);
  EXPECT_EQ(key(2).keyCode, 0x20);
  EXPECT_EQ(KeyAssignmentText(key(2), Names()), u"Ctrl+" + NameOfUsage(0x20));
  EXPECT_EQ(record->MacroKeyInfoChanged[1][2], 1);
  EXPECT_EQ(record->MacroKeyInfoChanged[0][2], 0);
  // A profile switched meanwhile: the key of the profile the menu was
  // opened on changes, and that profile's flag goes up.
  ASSERT_TRUE(ApplyKeyCommand(*record, 3, 4, 1013, library, nullptr));
  EXPECT_EQ(record->profiles[3].MacroKeyInfo[4].actionType, 6);
  EXPECT_EQ(record->MacroKeyInfoChanged[3][4], 1);
  EXPECT_NE(key(4).actionType, 6);
  EXPECT_EQ(record->MacroKeyInfoChanged[1][4], 0);
}

TEST_F(KeyCommand, MacroBindsThenMediaClears) {
  ASSERT_TRUE(ApplyKeyCommand(*record, kActive, 0, 1100, library, nullptr));
  EXPECT_EQ(key(0).actionType, 3);
  EXPECT_EQ(FromFixed(key(0).macroName), u"Fire");
  EXPECT_EQ(key(0).eventCount, 2);
  EXPECT_EQ(key(0).repeatCount, 7);
  EXPECT_EQ(key(0).macroIndex, 0);
  EXPECT_EQ(std::memcmp(key(0).events, library[0]->events, sizeof(key(0).events)), 0);

  ASSERT_TRUE(ApplyKeyCommand(*record, kActive, 0, 1013, library, nullptr));
  EXPECT_EQ(key(0).actionType, 6);
  EXPECT_EQ(key(0).keyCode, 178);
  EXPECT_EQ(key(0).eventCount, 0);
  EXPECT_EQ(key(0).macroName[0], 0);
  EXPECT_EQ(key(0).events[0], 0u);
  EXPECT_EQ(key(0).repeatCount, 7);  // kept, as the monitor ignores it for media keys
}

TEST_F(KeyCommand, RefusedCommandsChangeNothing) {
  auto longname = std::make_unique<MacroRecord>();
  std::memset(longname.get(), 0, sizeof(MacroRecord));
  ToFixed(longname->name, u"ABCDEFGHIJKLMNOPQRSTU");  // 21 characters
  library.push_back(std::move(longname));
  const auto before = *record;
  EXPECT_FALSE(ApplyKeyCommand(*record, kActive, 0, 1101, library, nullptr));  // too long to bind
  EXPECT_FALSE(ApplyKeyCommand(*record, kActive, 0, 1102, library, nullptr));  // no such macro
  EXPECT_FALSE(ApplyKeyCommand(*record, kActive, 0, 1002, library, nullptr));  // dialog cancelled
  EXPECT_FALSE(ApplyKeyCommand(*record, kActive, 0, 1099, library, nullptr));
  EXPECT_FALSE(ApplyKeyCommand(*record, kActive, 6, 1001, library, nullptr));
  EXPECT_FALSE(ApplyKeyCommand(*record, 4, 0, 1001, library, nullptr));
  EXPECT_FALSE(MacroMenuEntries(library, key(0))[1].bindable) << "shown disabled";
  EXPECT_TRUE(MacroMenuEntries(library, key(0))[0].bindable);
  EXPECT_EQ(std::memcmp(&before, record.get(), sizeof(SettingsRecord)), 0);
}

TEST_F(KeyCommand, CombinationWithNoModifiersFlagStoresNone) {
  Combination c;
  c.keyCode = 0x04;
  c.flags[0] = 1;
  c.flags[1] = c.flags[3] = 1;
  ASSERT_TRUE(ApplyKeyCommand(*record, kActive, 3, 1002, library, &c));
  EXPECT_EQ(key(3).modifiers, 0);
  EXPECT_EQ(key(3).keyCode, 0x04);
  c.flags[0] = 0;
  ASSERT_TRUE(ApplyKeyCommand(*record, kActive, 3, 1002, library, &c));
  EXPECT_EQ(key(3).modifiers, kModCtrl | kModAlt);
  const Combination back = CombinationOf(key(3));
  EXPECT_EQ(back.flags[0], 0);
  EXPECT_EQ(back.flags[1], 1);
  EXPECT_EQ(back.flags[2], 0);
  EXPECT_EQ(back.flags[3], 1);
}

TEST_F(KeyCommand, MenuMarksMacroIgnoringCase) {
  KeyAssignment k = Key(3, 0, 0);
  ToFixed(k.macroName, u"FIRE");
  auto entries = MacroMenuEntries(library, k);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].command, 1100);
  EXPECT_TRUE(entries[0].marked);
  k.actionType = 2;  // a name left behind by another function marks nothing
  EXPECT_FALSE(MacroMenuEntries(library, k)[0].marked);
}

}  // namespace
}  // namespace vantrel
