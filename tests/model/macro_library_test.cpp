#include "model/macro_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/text.h"

namespace vantrel {
namespace {

std::unique_ptr<MacroRecord> Macro(std::u16string_view name, int events, int repeat = 0,
                                   std::uint8_t code = 4) {
  auto m = std::make_unique<MacroRecord>();
  ToFixed(m->name, name);
  m->repeatCount = repeat;
  m->eventCount = events;
  for (int i = 0; i < kMacroEvents; ++i) {
    m->events[i] = {code, static_cast<std::uint8_t>(i % 2 + 1), static_cast<std::uint16_t>(i)};
  }
  return m;
}

// A key carrying exactly the contents of `m` under `name`.
KeyAssignment KeyFor(const MacroRecord& m, std::u16string_view name) {
  KeyAssignment k{};
  k.actionType = kActionTypeMacro;
  ToFixed(k.macroName, name);
  k.eventCount = static_cast<std::uint16_t>(m.eventCount);
  k.repeatCount = m.repeatCount;
  std::memcpy(k.events, m.events, sizeof(k.events));
  return k;
}

std::unique_ptr<SettingsRecord> EmptyRecord() { return std::make_unique<SettingsRecord>(); }

TEST(MacroLibrary, FindMatchesTrimmedNamesIgnoringCaseAndComparesContents) {
  MacroLibrary lib;
  lib.push_back(Macro(u"Other", 2));
  lib.push_back(Macro(u"  Combo\t", 3, 5));
  lib.push_back(Macro(u"Ärger", 1));
  const MacroRecord& combo = *lib[1];

  struct Case {
    const char* what;
    KeyAssignment key;
    int result, index, same;
  };
  KeyAssignment fewer = KeyFor(combo, u"combo");
  fewer.eventCount = 2;
  KeyAssignment repeat = KeyFor(combo, u"COMBO");
  repeat.repeatCount = 6;
  KeyAssignment event = KeyFor(combo, u"Combo");
  event.events[2] ^= 0x00010000;  // pause of the last counted event
  KeyAssignment stale = KeyFor(combo, u"Combo");
  stale.events[3] ^= 0xFF;  // behind the count: ignored
  const Case cases[] = {
      {"same", KeyFor(combo, u"cOMBO"), 1, 1, 1},
      {"count", fewer, 0, 1, 0},
      {"repeat", repeat, 0, 1, 0},
      {"event", event, 0, 1, 0},
      {"stale slot", stale, 1, 1, 1},
      {"non-ASCII case", KeyFor(*lib[2], u"äRGER"), 1, 2, 1},
      {"key name is not trimmed", KeyFor(combo, u" Combo"), 0, -1, 0},
      {"missing", KeyFor(combo, u"Nope"), 0, -1, 0},
  };
  for (const Case& c : cases) {
    int index = -1, same = 0;
    EXPECT_EQ(FindMacroByName(lib, c.key, index, same), c.result) << c.what;
    EXPECT_EQ(index, c.index) << c.what;
    EXPECT_EQ(same, c.same) << c.what;
  }
}

TEST(MacroLibrary, AddTakesTheKeysFieldsBoundedAndSkipsEmptyNames) {
  MacroLibrary lib;
  auto src = Macro(u"Burst", 3, 7);
  KeyAssignment key = KeyFor(*src, u"Burst");
  key.events[10] = 0xDEADBEEF;  // behind the count: not copied
  AddMacroFromAssignment(lib, key);
  ASSERT_EQ(lib.size(), 1u);
  EXPECT_EQ(FromFixed(lib[0]->name), u"Burst");
  EXPECT_EQ(lib[0]->eventCount, 3);
  EXPECT_EQ(lib[0]->repeatCount, 7);
  EXPECT_EQ(std::memcmp(lib[0]->events, src->events, 3 * 4), 0);
  EXPECT_EQ(lib[0]->events[10].keyCode, 0);

  key.eventCount = 65535;
  AddMacroFromAssignment(lib, key);
  EXPECT_EQ(lib.back()->eventCount, 50);

  ToFixed(key.macroName, u"");
  AddMacroFromAssignment(lib, key);
  EXPECT_EQ(lib.size(), 2u);
}

TEST(MacroLibrary, SyncAddsMissingMacrosAndTheLastKeyWalkedWins) {
  MacroLibrary lib;
  lib.push_back(Macro(u"Shared", 2, 0, 4));
  auto rec = EmptyRecord();
  auto a = Macro(u"x", 3, 1, 10);
  auto b = Macro(u"x", 4, 2, 11);
  auto ignored = Macro(u"x", 5, 3, 12);
  rec->profiles[1].MacroKeyInfo[14] = KeyFor(*a, u"SHARED");
  rec->profiles[2].MacroKeyInfo[0] = KeyFor(*b, u"shared");         // walked last: wins
  rec->profiles[3].MacroKeyInfo[15] = KeyFor(*ignored, u"Shared");  // beyond the first 15
  rec->profiles[0].MacroKeyInfo[3] = KeyFor(*a, u"New one");
  KeyAssignment not_macro = KeyFor(*a, u"Not a macro");
  not_macro.actionType = 1;
  rec->profiles[0].MacroKeyInfo[4] = not_macro;

  SyncMacroLibrary(lib, *rec);
  ASSERT_EQ(lib.size(), 2u);
  EXPECT_EQ(FromFixed(lib[0]->name), u"Shared");  // the record keeps its name
  EXPECT_EQ(lib[0]->eventCount, 4);
  EXPECT_EQ(lib[0]->repeatCount, 2);
  EXPECT_EQ(std::memcmp(lib[0]->events, b->events, sizeof(b->events)), 0);
  EXPECT_EQ(FromFixed(lib[1]->name), u"New one");
  EXPECT_EQ(lib[1]->eventCount, 3);
}

// Every start-up syncs and saves: a key whose name has blanks around it
// (from the monitor or an imported profile) added its macro again each time.
TEST(MacroLibrary, SyncingTheSameKeysAgainAddsNothing) {
  struct Case {
    std::vector<std::u16string_view> names;
    std::size_t macros;
  } cases[] = {{{u"Plain"}, 1},    {{u" lead"}, 1},        {{u"trail\t"}, 1},
               {{u"  "}, 1},       {{u"x ", u"X "}, 1},    {{u" a", u"a"}, 1},
               {{u"a", u" a"}, 2}, {{u"one", u" two "}, 2}};
  auto model = Macro(u"", 3, 1);
  for (const Case& c : cases) {
    auto rec = EmptyRecord();
    for (std::size_t i = 0; i < c.names.size(); ++i)
      rec->profiles[i].MacroKeyInfo[1] = KeyFor(*model, c.names[i]);
    MacroLibrary lib;
    for (int sync = 1; sync <= 3; ++sync) {
      SyncMacroLibrary(lib, *rec);
      EXPECT_EQ(lib.size(), c.macros) << U16ToUtf8(c.names[0]) << ", sync " << sync;
    }
  }
}

TEST(MacroLibrary, SyncBoundsAHostileKeyCount) {
  MacroLibrary lib;
  lib.push_back(Macro(u"M", 2));
  auto rec = EmptyRecord();
  KeyAssignment key = KeyFor(*lib[0], u"M");
  key.eventCount = 60000;
  rec->profiles[0].MacroKeyInfo[0] = key;
  SyncMacroLibrary(lib, *rec);
  EXPECT_EQ(lib[0]->eventCount, 50);
}

TEST(MacroLibrary, CopyIntoAssignmentsFillsTheFirstSixMacroKeysByName) {
  MacroLibrary lib;
  lib.push_back(Macro(u"First", 1));
  lib.push_back(Macro(u"Second", 4, 9, 20));
  lib.push_back(Macro(u"SECOND", 2));  // shadowed by the earlier match
  lib[1]->eventCount = 700;            // from a hand-edited file
  auto rec = EmptyRecord();
  auto old = Macro(u"", 1, 0, 30);
  rec->profiles[3].MacroKeyInfo[5] = KeyFor(*old, u"second");
  rec->profiles[0].MacroKeyInfo[6] = KeyFor(*old, u"Second");  // beyond the first 6
  rec->profiles[0].MacroKeyInfo[0] = KeyFor(*old, u"Unknown");
  for (KeyAssignment* k : {&rec->profiles[3].MacroKeyInfo[5], &rec->profiles[0].MacroKeyInfo[6],
                           &rec->profiles[0].MacroKeyInfo[0]}) {
    k->macroIndex = 42;
  }
  const KeyAssignment untouched6 = rec->profiles[0].MacroKeyInfo[6];
  const KeyAssignment untouched0 = rec->profiles[0].MacroKeyInfo[0];

  CopyMacrosIntoAssignments(lib, *rec);
  const KeyAssignment& k = rec->profiles[3].MacroKeyInfo[5];
  EXPECT_EQ(k.macroIndex, 1);
  EXPECT_EQ(k.eventCount, 50);
  EXPECT_EQ(k.repeatCount, 9);
  EXPECT_EQ(std::memcmp(k.events, lib[1]->events, sizeof(k.events)), 0);
  EXPECT_EQ(FromFixed(k.macroName), u"second");
  EXPECT_EQ(std::memcmp(&rec->profiles[0].MacroKeyInfo[6], &untouched6, sizeof(KeyAssignment)), 0);
  EXPECT_EQ(std::memcmp(&rec->profiles[0].MacroKeyInfo[0], &untouched0, sizeof(KeyAssignment)), 0);
}

TEST(MacroLibrary, OnlyNamesThatFitAKeyCanBeBound) {
  const std::u16string nineteen(19, u'n');
  auto fits = Macro(nineteen, 3, 4);
  auto too_long = Macro(nineteen + u"x", 3, 4);
  EXPECT_TRUE(CanBindToKey(*fits));
  EXPECT_FALSE(CanBindToKey(*too_long));

  KeyAssignment key{};
  std::memset(key.macroName, 0x55, sizeof(key.macroName));
  EXPECT_FALSE(BindMacroToKey(*too_long, 3, key));
  EXPECT_EQ(key.actionType, 0);
  ASSERT_TRUE(BindMacroToKey(*fits, 3, key));
  EXPECT_EQ(key.actionType, kActionTypeMacro);
  EXPECT_EQ(key.macroIndex, 3);
  EXPECT_EQ(FromFixed(key.macroName), nineteen);
  EXPECT_EQ(key.macroName[19], 0);
  EXPECT_EQ(key.eventCount, 3);
  EXPECT_EQ(key.repeatCount, 4);
  EXPECT_EQ(std::memcmp(key.events, fits->events, sizeof(key.events)), 0);
}

}  // namespace
}  // namespace vantrel
