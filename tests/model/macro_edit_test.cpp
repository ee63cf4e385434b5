// The macro manager's rules without a window: event-list lines and where the
// selection lands, the menu's edits of the event buffer and their refusals,
// the repeat and pause fields, and the name checks.
#include "model/macro_edit.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/text.h"

namespace vantrel {
namespace {

constexpr std::uint8_t kA = 0x04, kB = 0x05;

struct Buffer {
  MacroRecorder rec{{}};
  explicit Buffer(std::vector<MacroEvent> events) {
    for (size_t i = 0; i < events.size(); ++i) rec.events[i] = events[i];
    rec.count = static_cast<int>(events.size());
  }
  std::vector<MacroEvent> Events() const {
    return {rec.events, rec.events + BoundedEventCount(rec.count)};
  }
};

MacroEvent Press(std::uint8_t code, std::uint16_t delay = 0) { return {code, 1, delay}; }
MacroEvent Release(std::uint8_t code, std::uint16_t delay = 0) { return {code, 2, delay}; }

bool Same(const std::vector<MacroEvent>& a, const std::vector<MacroEvent>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!SameEvent(a[i], b[i])) return false;
  return true;
}

TEST(MacroEventList, LinesTextsIconsAndEventNumbers) {
  const MacroEvent events[] = {Press(kA, 30), Release(kA), {241, 1, 0}, {241, 2, 65535}};
  const EventListView v = BuildEventList(events, 4, -1, -1);
  const std::vector<EventLine> want = {{u"A", EventLineData(0, kLineKeyPress)},
                                       {u"30 ms", EventLineData(0, kLinePause)},
                                       {u"A", EventLineData(1, kLineKeyRelease)},
                                       {u"R-Button Down", EventLineData(2, kLineMouse)},
                                       {u"R-Button Up", EventLineData(3, kLineMouse)},
                                       {u"65535 ms", EventLineData(3, kLinePause)}};
  ASSERT_EQ(v.lines.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(v.lines[i].text, want[i].text) << i;
    EXPECT_EQ(v.lines[i].data, want[i].data) << i;
  }
  EXPECT_EQ(v.lines[1].data, (1u << 16) | 140u);
  EXPECT_EQ(EventOfLine(v.lines[5].data), 3);
  // A count from a damaged file shows at most the 50 slots there are.
  MacroEvent full[kMacroEvents] = {};
  EXPECT_EQ(BuildEventList(full, 1000, -1, -1).lines.size(), 50u);
  EXPECT_TRUE(BuildEventList(full, -3, -1, -1).lines.empty());
}

TEST(MacroEventList, SelectionAndTheLinesShownBelowIt) {
  std::vector<MacroEvent> ten(10, Press(kA));
  ten[4].delayMs = 5;  // event 4 has lines 4 and 5
  struct Case {
    int event, line, selected, visible;
  } cases[] = {
      {4, -1, 5, 7},     // the event's last line, its pause; two lines of context below
      {-1, 2, 2, 2},     // near the top: no extra scrolling
      {-1, -1, 10, 10},  // nothing asked: the last line
      {-1, 99, 10, 10},  // past the end: the last line
      {-1, 8, 8, 8},     // within three lines of the end
      {-1, 7, 7, 9},    {-1, 6, 6, 8},
      {20, -1, 10, 10},  // an event that no longer exists falls back to the line
  };
  for (const Case& c : cases) {
    const EventListView v = BuildEventList(ten.data(), 10, c.event, c.line);
    EXPECT_EQ(v.selected, c.selected) << c.event << "/" << c.line;
    EXPECT_EQ(v.visible, c.visible) << c.event << "/" << c.line;
  }
  EXPECT_EQ(BuildEventList(ten.data(), 0, 0, 0).selected, -1);
}

TEST(MacroEventEdits, InsertDelayOnlyBeforeAnEventWithoutOne) {
  Buffer b({Press(kA), Press(kB, 7), Release(kB), Release(kA)});
  EXPECT_FALSE(InsertDelayBefore(b.rec, EventLineData(0, kLineKeyPress)));    // first event
  EXPECT_FALSE(InsertDelayBefore(b.rec, EventLineData(1, kLinePause)));       // a pause line
  EXPECT_FALSE(InsertDelayBefore(b.rec, EventLineData(2, kLineKeyRelease)));  // 1 has a pause
  EXPECT_FALSE(InsertDelayBefore(b.rec, EventLineData(4, kLineKeyPress)));    // no such event
  EXPECT_FALSE(InsertDelayBefore(b.rec, 0));                                  // no line
  EXPECT_TRUE(Same(b.Events(), {Press(kA), Press(kB, 7), Release(kB), Release(kA)}));
  EXPECT_TRUE(InsertDelayBefore(b.rec, EventLineData(1, kLineKeyPress)));
  EXPECT_TRUE(InsertDelayBefore(b.rec, EventLineData(3, kLineKeyRelease)));
  EXPECT_TRUE(Same(b.Events(), {Press(kA, 1), Press(kB, 7), Release(kB, 1), Release(kA)}));
}

TEST(MacroEventEdits, DeleteClearsAPauseOrRemovesTheEvent) {
  Buffer b({Press(kA, 10), Press(kB, 20), Release(kB), Release(kA, 30)});
  EXPECT_TRUE(DeleteEventLine(b.rec, EventLineData(1, kLinePause)));
  EXPECT_TRUE(Same(b.Events(), {Press(kA, 10), Press(kB), Release(kB), Release(kA, 30)}));
  EXPECT_TRUE(DeleteEventLine(b.rec, EventLineData(0, kLineKeyPress)));
  EXPECT_TRUE(Same(b.Events(), {Press(kB), Release(kB), Release(kA, 30)}));
  EXPECT_TRUE(DeleteEventLine(b.rec, EventLineData(2, kLineKeyRelease)));  // the last one
  EXPECT_TRUE(Same(b.Events(), {Press(kB), Release(kB)}));
  EXPECT_FALSE(DeleteEventLine(b.rec, EventLineData(2, kLineKeyRelease)));  // gone now
  EXPECT_FALSE(DeleteEventLine(b.rec, 0));
  EXPECT_EQ(b.rec.count, 2);
}

TEST(MacroEventEdits, MouseInsertionsGoBeforeTheEventAndAreRefusedWhenFull) {
  Buffer b({Press(kA), Release(kA)});
  b.rec.insert_position = 1;
  EXPECT_TRUE(InsertMouseEvents(b.rec, 2, MouseInsert::Click));  // middle button: 242
  EXPECT_TRUE(Same(b.Events(), {Press(kA), {242, 1, 0}, {242, 2, 0}, Release(kA)}));
  EXPECT_EQ(b.rec.select_after_redraw, 2);
  b.rec.insert_position = -1;
  EXPECT_TRUE(InsertMouseEvents(b.rec, 4, MouseInsert::Release));
  EXPECT_TRUE(SameEvent(b.rec.events[4], {244, 2, 0}));
  EXPECT_FALSE(InsertMouseEvents(b.rec, 5, MouseInsert::Press));  // no such button
  EXPECT_FALSE(InsertMouseEvents(b.rec, -1, MouseInsert::Press));

  Buffer at49(std::vector<MacroEvent>(49, Press(kA)));
  EXPECT_FALSE(InsertMouseEvents(at49.rec, 0, MouseInsert::Click));  // no half clicks
  EXPECT_EQ(at49.rec.count, 49);
  EXPECT_TRUE(InsertMouseEvents(at49.rec, 0, MouseInsert::Press));
  EXPECT_EQ(at49.rec.count, 50);
  for (MouseInsert what : {MouseInsert::Press, MouseInsert::Release, MouseInsert::Click})
    EXPECT_FALSE(InsertMouseEvents(at49.rec, 1, what));
  EXPECT_EQ(at49.rec.count, 50);
}

TEST(MacroFields, RepeatTextIsClampedAndRewritten) {
  struct Case {
    const char16_t* text;
    int value;
    bool rewrite;
  } cases[] = {{u"1", 1, false},     {u"255", 255, false},
               {u"42  ", 42, false}, {u"0", 1, true},
               {u"", 1, true},       {u"abc", 1, true},
               {u"-7", 1, true},     {u"256", 255, true},
               {u"300", 255, true},  {u"99999999999999999999", 255, true},
               {u" 12x", 12, false}};
  for (const Case& c : cases) {
    const RepeatEntry e = RepeatFromText(c.text);
    EXPECT_EQ(e.value, c.value) << U16ToUtf8(c.text);
    EXPECT_EQ(e.rewrite, c.rewrite) << U16ToUtf8(c.text);
  }
  EXPECT_EQ(StoredRepeatCount(false, 17), 0);
  EXPECT_EQ(StoredRepeatCount(true, 17), 17);
  EXPECT_EQ(StoredRepeatCount(true, 0), 1);
  EXPECT_EQ(StoredRepeatCount(true, 1000), 255);
}

TEST(MacroFields, PauseTextIsClampedTo1Through65535) {
  struct Case {
    const char16_t* text;
    int pause;
  } cases[] = {{u"250 ms", 250},  {u"250", 250},     {u" 7 ", 7},
               {u"0", 1},         {u"", 1},          {u"ms", 1},
               {u"65535", 65535}, {u"65536", 65535}, {u"123456789012345678901", 65535}};
  for (const Case& c : cases) EXPECT_EQ(PauseFromText(c.text), c.pause) << U16ToUtf8(c.text);
}

MacroLibrary Library(std::initializer_list<const char16_t*> names) {
  MacroLibrary lib;
  for (const char16_t* n : names) {
    lib.push_back(std::make_unique<MacroRecord>());
    ToFixed(lib.back()->name, n);
  }
  return lib;
}

TEST(MacroNames, NewNamesCompareTrimmedIgnoringCase) {
  const MacroLibrary lib = Library({u"Reload", u" Spray "});
  EXPECT_TRUE(MacroNameTaken(lib, u"reload"));
  EXPECT_TRUE(MacroNameTaken(lib, u"SPRAY"));
  EXPECT_TRUE(MacroNameTaken(lib, u"  spray"));
  EXPECT_FALSE(MacroNameTaken(lib, u"Reloa"));
  EXPECT_FALSE(MacroNameTaken(lib, u"Reload2"));
  EXPECT_FALSE(MacroNameTaken(Library({}), u"x"));
  // A name without its terminator (damaged file) is read within its array.
  MacroRecord unterminated{};
  for (char16_t& c : unterminated.name) c = u'x';
  EXPECT_EQ(MacroName(unterminated).size(), 50u);
}

TEST(MacroNames, OnlyAnExactKeyNameInTheFirstSixEntriesBlocksDeleting) {
  auto record = std::make_unique<SettingsRecord>();
  EXPECT_FALSE(MacroNameInUse(*record, u"Reload"));
  ToFixed(record->profiles[3].MacroKeyInfo[5].macroName, u"reload");
  EXPECT_FALSE(MacroNameInUse(*record, u"Reload"));  // letter case counts here
  ToFixed(record->profiles[0].MacroKeyInfo[6].macroName, u"Reload");
  EXPECT_FALSE(MacroNameInUse(*record, u"Reload"));  // entry 6 is no macro key
  ToFixed(record->profiles[3].MacroKeyInfo[5].macroName, u"Reload");
  EXPECT_TRUE(MacroNameInUse(*record, u"Reload"));
}

TEST(MacroNames, PreselectionPrefersTheKeysOwnMacro) {
  const MacroLibrary lib = Library({u"First", u"Reload all", u"reload", u"Spray"});
  KeyAssignment key{};
  key.actionType = kActionTypeMacro;
  ToFixed(key.macroName, u"Reload");
  EXPECT_EQ(PreselectedMacro(lib, key), 2);  // not "Reload all", which begins the same
  ToFixed(key.macroName, u"spr");
  EXPECT_EQ(PreselectedMacro(lib, key), 3);  // no exact name: the prefix
  ToFixed(key.macroName, u"Nothing");
  EXPECT_EQ(PreselectedMacro(lib, key), 0);
  key.actionType = 2;
  ToFixed(key.macroName, u"Spray");
  EXPECT_EQ(PreselectedMacro(lib, key), 0);  // not a macro key
  EXPECT_EQ(PreselectedMacro(Library({}), key), -1);
}

}  // namespace
}  // namespace vantrel
