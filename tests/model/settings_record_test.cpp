#include "model/settings_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "model/key_codes.h"
#include "model/text.h"

namespace vantrel {
namespace {

std::unique_ptr<SettingsRecord> FactoryRecord() {
  auto r = std::make_unique<SettingsRecord>();
  ResetRecord(*r);
  ApplyFactoryDefaultsAll(*r);
  return r;
}

// Sum of every trailer flag except KeyboardPlugIn.
int FlagSum(const SettingsRecord& r) {
  const auto* first = &r.MacroKeyInfoChanged[0][0];
  const auto* end = &r.KeyboardPlugIn;
  int sum = 0;
  for (const auto* f = first; f != end; ++f) sum += *f;
  return sum;
}

TEST(SettingsRecord, ResetKeepsOnlyKeyboardPlugIn) {
  auto r = std::make_unique<SettingsRecord>();
  std::memset(r.get(), 0xAB, sizeof(SettingsRecord));
  ResetRecord(*r);
  EXPECT_EQ(r->CurrentProfile, -1);
  auto* bytes = reinterpret_cast<const std::uint8_t*>(r.get());
  for (std::size_t i = 4; i < 107572; ++i) ASSERT_EQ(bytes[i], 0) << i;
  for (std::size_t i = 107572; i < 107576; ++i) EXPECT_EQ(bytes[i], 0xAB);
}

TEST(SettingsRecord, FactoryDefaults) {
  auto r = FactoryRecord();
  EXPECT_EQ(r->CurrentProfile, -1);
  const int pulsation[] = {2, 3, 4, 5}, effect[] = {1, 2, 3, 1};
  for (int p = 0; p < kProfileCount; ++p) {
    const ProfileSlot& s = r->profiles[p];
    EXPECT_EQ(FromFixed(s.ProFileName), u"#" + std::u16string(1, char16_t(u'1' + p)));
    EXPECT_EQ(FromFixed(s.GameFile), u"");
    EXPECT_EQ(s.iLtPulsation, pulsation[p]);
    EXPECT_EQ(s.LtEffectType, effect[p]);
    const std::int32_t ints[] = {s.MediaOption,   s.HDDKeyboard, s.LtSwitch,     s.LtFlag,
                                 s.LtColor,       s.iRGBRed,     s.iRGBGreen,    s.iRGBBlue,
                                 s.iCrlSliderPos, s.LtControl,   s.LtSaving,     s.LtTimeout,
                                 s.PollingRate,   s.iResponTime, s.Reserved1520, s.Reserved1548};
    const std::int32_t want[] = {0, 1, 1, 1, 2, 255, 0, 0, 1530, 4, 50, 15, 1, 2, 0, 0};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(ints[i], want[i]) << "profile " << p << " field " << i;
    for (int v : s.ModifyKey) EXPECT_EQ(v, 1);
    EXPECT_EQ(std::memcmp(s.standardkey, FactoryKeyMap.data(), 114), 0);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(s.GKey[i], 0x3A + i);
    for (int k = 0; k < kKeyAssignments; ++k) {
      KeyAssignment want_entry{};
      if (k < 6) {
        want_entry.entryIndex = std::uint8_t(k);
        want_entry.actionType = 2;
        want_entry.modifiers = 1;
        want_entry.keyCode = std::uint16_t(0x1E + k);
      }
      EXPECT_EQ(std::memcmp(&s.MacroKeyInfo[k], &want_entry, sizeof want_entry), 0) << k;
    }
  }
  EXPECT_EQ(FlagSum(*r), 0);
}

TEST(SettingsRecord, FactoryDefaultsLeaveReservedFieldsAndPadding) {
  auto r = std::make_unique<SettingsRecord>();
  ProfileSlot& s = r->profiles[1];
  s.Reserved1520 = 7;
  s.Reserved1548 = 8;
  s.pad1710[1] = 9;
  s.Reserved26680[3] = 10;
  s.apmLightInfo[0] = 11;
  ApplyFactoryDefaults(s, 1);
  EXPECT_EQ(s.Reserved1520, 7);
  EXPECT_EQ(s.Reserved1548, 8);
  EXPECT_EQ(s.pad1710[1], 9);
  EXPECT_EQ(s.Reserved26680[3], 10);
  EXPECT_EQ(s.apmLightInfo[0], 11);
}

// Any profile number is taken: one outside 0..3 is named after it and
// keeps the lighting level and mode (INT_MAX overflowed the name's + 1).
TEST(SettingsRecord, FactoryDefaultsOfAProfileOutsideTheSlots) {
  struct Case {
    int profile;
    const char16_t* name;
  } cases[] = {{4, u"#5"}, {-1, u"#0"}, {INT32_MAX, u"#2147483648"}, {INT32_MIN, u"#-2147483647"}};
  for (const Case& c : cases) {
    auto s = std::make_unique<ProfileSlot>();
    s->iLtPulsation = s->LtEffectType = 77;
    ApplyFactoryDefaults(*s, c.profile);
    EXPECT_EQ(FromFixed(s->ProFileName), c.name);
    EXPECT_EQ(s->iLtPulsation, 77);
    EXPECT_EQ(s->LtEffectType, 77);
  }
}

struct ScanCase {
  const char* what;
  std::function<void(SettingsRecord&)> change;
  std::function<bool(const SettingsRecord&)> raised;  // the one flag expected
};

TEST(SettingsRecord, ScanRaisesExactlyTheMatchingFlag) {
  const ScanCase cases[] = {
      {"CurrentProfile", [](SettingsRecord& r) { r.CurrentProfile = 3; },
       [](const SettingsRecord& r) { return r.CurrentProfileChanged == 1; }},
      {"HDDKeyboard slot 2", [](SettingsRecord& r) { r.profiles[2].HDDKeyboard = 0; },
       [](const SettingsRecord& r) { return r.HddKeyboardChanged == 1; }},
      {"standardkey last byte", [](SettingsRecord& r) { r.profiles[1].standardkey[113] = 4; },
       [](const SettingsRecord& r) { return r.StandardKeyChanged[1] == 1; }},
      {"ModifyKey5", [](SettingsRecord& r) { r.profiles[3].ModifyKey[5] = 0; },
       [](const SettingsRecord& r) { return r.ModifyKeyChanged[3] == 1; }},
      {"programPath tail",
       [](SettingsRecord& r) { r.profiles[0].MacroKeyInfo[31].programPath[259] = 1; },
       [](const SettingsRecord& r) { return r.MacroKeyInfoChanged[0][31] == 1; }},
      {"entry padding", [](SettingsRecord& r) { r.profiles[2].MacroKeyInfo[7].pad54[1] = 1; },
       [](const SettingsRecord& r) { return r.MacroKeyInfoChanged[2][7] == 1; }},
      {"LtTimeout", [](SettingsRecord& r) { r.profiles[1].LtTimeout = -1; },
       [](const SettingsRecord& r) { return r.LightingChanged[1] == 1; }},
      {"LtEffectType", [](SettingsRecord& r) { r.profiles[0].LtEffectType = 5; },
       [](const SettingsRecord& r) { return r.LightingChanged[0] == 1; }},
      {"LtSwitch", [](SettingsRecord& r) { r.profiles[3].LtSwitch = 0; },
       [](const SettingsRecord& r) { return r.LightingChanged[3] == 1; }},
      {"PollingRate", [](SettingsRecord& r) { r.profiles[2].PollingRate = 2; },
       [](const SettingsRecord& r) { return r.AdvancedChanged[2] == 1; }},
      {"iResponTime", [](SettingsRecord& r) { r.profiles[3].iResponTime = 8; },
       [](const SettingsRecord& r) { return r.AdvancedChanged[3] == 1; }},
  };
  for (const ScanCase& c : cases) {
    auto baseline = FactoryRecord();
    auto live = FactoryRecord();
    c.change(*live);
    ScanChanges(*live, *baseline);
    EXPECT_TRUE(c.raised(*live)) << c.what;
    EXPECT_EQ(FlagSum(*live), 1) << c.what;
  }
}

TEST(SettingsRecord, FieldsOutsideGroupsRaiseNothing) {
  const std::function<void(ProfileSlot&)> changes[] = {
      [](ProfileSlot& s) { s.iLtPulsation = 1; },
      [](ProfileSlot& s) { s.iRGBGreen = 200; },
      [](ProfileSlot& s) { s.iCrlSliderPos = 0; },
      [](ProfileSlot& s) { ToFixed(s.GameFile, u"C:\\game.exe"); },
      [](ProfileSlot& s) { ToFixed(s.ProFileName, u"Other"); },
      [](ProfileSlot& s) { s.MediaOption = 3; },
      [](ProfileSlot& s) { s.GKey[0] = 0; },
      [](ProfileSlot& s) { s.apmLightInfo[5] = 1; },
      [](ProfileSlot& s) { s.Reserved1520 = 1; },
      [](ProfileSlot& s) { s.pad1710[0] = 1; },
  };
  int i = 0;
  for (const auto& change : changes) {
    auto baseline = FactoryRecord();
    auto live = FactoryRecord();
    change(live->profiles[2]);
    ScanChanges(*live, *baseline);
    EXPECT_EQ(FlagSum(*live), 0) << "change " << i++;
  }
}

TEST(SettingsRecord, ScanRewritesEveryFlagButImportsAndPlugIn) {
  auto baseline = FactoryRecord();
  auto live = FactoryRecord();
  MarkAllChanged(*live);
  live->ProfileImported[1] = 1;
  live->HddKeyboardChanged = 1;
  live->KeyboardPlugIn = 1;
  // After MarkAllChanged every per-profile entry 4 is 1 ...
  EXPECT_EQ(live->LightingChanged[4], 1);
  EXPECT_EQ(live->MacroKeyInfoChanged[4][31], 1);
  EXPECT_EQ(live->DefaultsRestored[4], 1);
  ScanChanges(*live, *baseline);
  // ... and a scan of an unchanged record writes everything back to 0.
  EXPECT_EQ(FlagSum(*live), 1);  // ProfileImported[1] is not the scan's
  EXPECT_EQ(live->ProfileImported[1], 1);
  EXPECT_EQ(live->HddKeyboardChanged, 0);
  EXPECT_EQ(live->KeyboardPlugIn, 1);
}

TEST(SettingsRecord, MarkAllChangedLeavesImportsAndHdd) {
  auto r = FactoryRecord();
  MarkAllChanged(*r);
  // 160 macro entries + 6 arrays x 5 ... minus ProfileImported, + CurrentProfileChanged.
  EXPECT_EQ(FlagSum(*r), 160 + 5 * 5 + 1);
  for (int p = 0; p < kFlagEntries; ++p) EXPECT_EQ(r->ProfileImported[p], 0);
  EXPECT_EQ(r->HddKeyboardChanged, 0);
  EXPECT_EQ(r->KeyboardPlugIn, 0);
}

TEST(SettingsRecord, ClearKeepsHddKeyboardChangedAndPlugIn) {
  auto r = FactoryRecord();
  MarkAllChanged(*r);
  for (int p = 0; p < kFlagEntries; ++p) r->ProfileImported[p] = 1;
  r->HddKeyboardChanged = 1;
  r->KeyboardPlugIn = 1;
  ClearChangeFlags(*r);
  EXPECT_EQ(FlagSum(*r), 1);
  EXPECT_EQ(r->HddKeyboardChanged, 1);
  EXPECT_EQ(r->KeyboardPlugIn, 1);
  // The next scan recomputes it.
  auto baseline = FactoryRecord();
  ScanChanges(*r, *baseline);
  EXPECT_EQ(r->HddKeyboardChanged, 0);
}

TEST(SettingsRecord, KeyMapCapacity) {
  auto r = FactoryRecord();
  ProfileSlot& s = r->profiles[1];
  auto reassign = [&](int n) {
    std::memcpy(s.standardkey, FactoryKeyMap.data(), 114);
    for (int i = 0; i < n; ++i) s.standardkey[i] = 0x04;  // position 45 already is A
  };
  reassign(31);
  EXPECT_FALSE(IsKeyMapFull(*r, 1));
  reassign(32);
  EXPECT_TRUE(IsKeyMapFull(*r, 1));
  EXPECT_FALSE(IsKeyMapFull(*r, 0));
  // Type-6 actions among entries 0..5 count; later entries do not.
  reassign(30);
  s.MacroKeyInfo[6].actionType = 6;
  EXPECT_FALSE(IsKeyMapFull(*r, 1));
  s.MacroKeyInfo[5].actionType = 6;
  EXPECT_FALSE(IsKeyMapFull(*r, 1));
  s.MacroKeyInfo[0].actionType = 6;
  EXPECT_TRUE(IsKeyMapFull(*r, 1));
  // A profile outside 0..3 reads slot 0 rather than memory beyond the slots.
  EXPECT_FALSE(IsKeyMapFull(*r, 7));
  EXPECT_FALSE(IsKeyMapFull(*r, -1));
}

}  // namespace
}  // namespace vantrel
