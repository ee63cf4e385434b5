// The macro manager's editing rules that need no window: the lines the
// event list shows for a macro, the context-menu edits of the event buffer,
// the repeat count and pause fields, and the name checks of the macro list.
//
//   EventListView view = BuildEventList(rec.events, rec.count, event_to_select, -1);
//   ...fill the list from view.lines, select view.selected...
//   if (InsertDelayBefore(rec, LineData(list, line))) ...rebuild, store...
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/macro_library.h"
#include "model/macro_recorder.h"
#include "model/settings_record.h"

namespace vantrel {

// The kind of an event-list line, which is also the resource id of the
// bitmap the list draws before it.
constexpr std::uint16_t kLineKeyPress = 138;
constexpr std::uint16_t kLineKeyRelease = 139;
constexpr std::uint16_t kLinePause = 140;
constexpr std::uint16_t kLineMouse = 143;

// A line's item data: (event index + 1) in the high word, the kind in the
// low word, so the list's own drawing finds the icon and a menu command
// finds the event, whichever of its lines is selected.
constexpr std::uint32_t EventLineData(int event, std::uint16_t kind) {
  return (static_cast<std::uint32_t>(event + 1) << 16) | kind;
}
constexpr int EventOfLine(std::uint32_t data) { return static_cast<int>(data >> 16) - 1; }
constexpr std::uint16_t KindOfLine(std::uint32_t data) {
  return static_cast<std::uint16_t>(data & 0xFFFF);
}

struct EventLine {
  std::u16string text;
  std::uint32_t data;
};

struct EventListView {
  std::vector<EventLine> lines;
  int selected = -1;  // the line to select, -1 for an empty list
  int visible = -1;   // the line to scroll into view: two below a middle selection
};

// The key name of an event: "L-Button Down" / "Up" for mouse buttons, the
// key table's name for keys (empty for a code that names no key).
std::u16string EventName(const MacroEvent& event);
std::u16string PauseText(int ms);

// The lines of events [0, count): one per event, and a pause line behind
// each event with a pause. The selection goes to the last line of
// `event_to_select` when it is one of them, else to `line_to_select`, else
// (negative or past the end) to the last line.
EventListView BuildEventList(const MacroEvent* events, int count, int event_to_select,
                             int line_to_select);

// "Insert delay" on the line with `line_data`: only an event line (not a
// pause line) whose event is not the first and whose predecessor has no
// pause. The predecessor gets a pause of 1 ms. False when refused.
bool InsertDelayBefore(MacroRecorder& buffer, std::uint32_t line_data);

// "Delete" on the line with `line_data`: a pause line clears its event's
// pause, an event line removes the event (the ones behind move down). False
// when the line names no event of the buffer.
bool DeleteEventLine(MacroRecorder& buffer, std::uint32_t line_data);

// Mouse button `button` (0..4 for codes 240..244) at the buffer's insertion
// position: what 0 = press, 1 = release, 2 = click (press then release, only
// when two slots are free). False when nothing was inserted.
enum class MouseInsert { Press = 0, Release = 1, Click = 2 };
bool InsertMouseEvents(MacroRecorder& buffer, int button, MouseInsert what);

// An edited pause: the leading decimal number of the trimmed text, clamped
// to 1..65535 (so "250 ms" gives 250 and "0" or "x" gives 1).
std::uint16_t PauseFromText(std::u16string_view text);

// The repeat count field: the leading decimal number of the text (trimmed
// at the right), 1..255. `rewrite` says the field must show `value` instead
// of what was typed (0, empty, not a number, 256 and more).
struct RepeatEntry {
  int value;
  bool rewrite;
};
RepeatEntry RepeatFromText(std::u16string_view text);

// What a macro stores for the repeat toggle and field. Off is stored as 0,
// so the macro reads back as "repeat off"; on stores the field's 1..255.
std::int32_t StoredRepeatCount(bool repeat_enabled, int field_value);

// A macro's name as the list shows it (bounded, whatever the file held).
std::u16string MacroName(const MacroRecord& macro);

// Whether a new (trimmed) name is taken: names compare trimmed, ignoring
// letter case, the way keys find their macros.
bool MacroNameTaken(const MacroLibrary& library, std::u16string_view name);

// Whether a key blocks deleting the macro `name`: any of the first six
// assignments of any slot whose macro name is exactly `name` (letter case
// counts).
bool MacroNameInUse(const SettingsRecord& record, std::u16string_view name);

// The macro the manager opens on for the key whose menu was opened last:
// a macro key's own macro (trimmed, letter case ignored), else the first
// whose name begins with the key's macro name, else the first macro. -1 for
// an empty library.
int PreselectedMacro(const MacroLibrary& library, const KeyAssignment& key);

}  // namespace vantrel
