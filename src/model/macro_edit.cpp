#include "model/macro_edit.h"

#include <algorithm>
#include <cstring>

#include "model/key_codes.h"
#include "model/text.h"

namespace vantrel {
namespace {

constexpr int kSlotsChecked = 4;    // every profile slot
constexpr int kEntriesChecked = 6;  // the macro keys a slot can carry
constexpr int kMaxRepeat = 255;
constexpr int kMaxPause = 65535;

// The leading decimal number of `text` after white space and a sign, the way
// the platform's text-to-integer conversion reads it; saturates instead of
// overflowing, 0 when there are no digits.
std::int64_t LeadingNumber(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min<std::int64_t>(value * 10 + (text[i] - u'0'), 1'000'000'000);
  }
  return negative ? -value : value;
}

}  // namespace

std::u16string EventName(const MacroEvent& event) {
  if (event.keyCode >= kMouseButtonFirst && event.keyCode <= kMouseButtonLast) {
    return MouseButtonName(event.keyCode) +
           (event.action == kMacroActionRelease ? u" Up" : u" Down");
  }
  int vk = 0;
  if (!UsageToVirtualKey(event.keyCode, vk)) return {};
  return KeyDisplayName(vk);
}

std::u16string PauseText(int ms) { return ToU16Decimal(ms) + u" ms"; }

EventListView BuildEventList(const MacroEvent* events, int count, int event_to_select,
                             int line_to_select) {
  EventListView view;
  count = BoundedEventCount(count);
  for (int i = 0; i < count; ++i) {
    const MacroEvent& e = events[i];
    std::uint16_t kind = e.action == kMacroActionRelease ? kLineKeyRelease : kLineKeyPress;
    if (e.keyCode >= kMouseButtonFirst && e.keyCode <= kMouseButtonLast) kind = kLineMouse;
    view.lines.push_back({EventName(e), EventLineData(i, kind)});
    if (e.delayMs != 0) view.lines.push_back({PauseText(e.delayMs), EventLineData(i, kLinePause)});
    if (i == event_to_select) line_to_select = static_cast<int>(view.lines.size()) - 1;
  }
  const int n = static_cast<int>(view.lines.size());
  if (n == 0) return view;
  const int b = line_to_select < 0 || line_to_select >= n ? n - 1 : line_to_select;
  view.selected = b;
  view.visible = 3 < b && b < n - 3 ? b + 2 : b;
  return view;
}

bool InsertDelayBefore(MacroRecorder& buffer, std::uint32_t line_data) {
  if (KindOfLine(line_data) == kLinePause) return false;
  const int e = EventOfLine(line_data);
  if (e < 1 || e >= BoundedEventCount(buffer.count)) return false;
  if (buffer.events[e - 1].delayMs != 0) return false;
  buffer.events[e - 1].delayMs = 1;
  return true;
}

bool DeleteEventLine(MacroRecorder& buffer, std::uint32_t line_data) {
  const int n = BoundedEventCount(buffer.count);
  const int e = EventOfLine(line_data);
  if (e < 0 || e >= n) return false;
  if (KindOfLine(line_data) == kLinePause) {
    buffer.events[e].delayMs = 0;
    return true;
  }
  std::memmove(&buffer.events[e], &buffer.events[e + 1],
               sizeof(MacroEvent) * static_cast<std::size_t>(n - e - 1));
  buffer.count = n - 1;
  return true;
}

bool InsertMouseEvents(MacroRecorder& buffer, int button, MouseInsert what) {
  if (button < 0 || button > kMouseButtonLast - kMouseButtonFirst) return false;
  const auto code = static_cast<std::uint8_t>(kMouseButtonFirst + button);
  const int free = kMacroEvents - BoundedEventCount(buffer.count);
  switch (what) {
    case MouseInsert::Press:
      return buffer.InsertEvent({code, kMacroActionPress, 0});
    case MouseInsert::Release:
      return buffer.InsertEvent({code, kMacroActionRelease, 0});
    case MouseInsert::Click:
      // Half a click would leave the button held down when the macro plays.
      if (free < 2) return false;
      buffer.InsertEvent({code, kMacroActionPress, 0});
      buffer.InsertEvent({code, kMacroActionRelease, 0});
      return true;
  }
  return false;
}

std::uint16_t PauseFromText(std::u16string_view text) {
  return static_cast<std::uint16_t>(
      std::clamp<std::int64_t>(LeadingNumber(Trim(text)), 1, kMaxPause));
}

RepeatEntry RepeatFromText(std::u16string_view text) {
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  const std::int64_t value = LeadingNumber(text);
  if (value > kMaxRepeat) return {kMaxRepeat, true};
  if (value < 1) return {1, true};
  return {static_cast<int>(value), false};
}

std::int32_t StoredRepeatCount(bool repeat_enabled, int field_value) {
  return repeat_enabled ? std::clamp(field_value, 1, kMaxRepeat) : 0;
}

std::u16string MacroName(const MacroRecord& macro) { return FromFixed(macro.name); }

bool MacroNameTaken(const MacroLibrary& library, std::u16string_view name) {
  const std::u16string_view wanted = Trim(name);
  return std::any_of(library.begin(), library.end(), [&](const auto& macro) {
    return EqualsNoCase(Trim(MacroName(*macro)), wanted);
  });
}

bool MacroNameInUse(const SettingsRecord& record, std::u16string_view name) {
  for (int slot = 0; slot < kSlotsChecked; ++slot) {
    for (int k = 0; k < kEntriesChecked; ++k) {
      if (FromFixed(record.profiles[slot].MacroKeyInfo[k].macroName) == name) return true;
    }
  }
  return false;
}

int PreselectedMacro(const MacroLibrary& library, const KeyAssignment& key) {
  if (library.empty()) return -1;
  if (key.actionType != kActionTypeMacro) return 0;
  const std::u16string wanted = FromFixed(key.macroName);
  for (std::size_t i = 0; i < library.size(); ++i) {
    if (EqualsNoCase(Trim(MacroName(*library[i])), Trim(wanted))) return static_cast<int>(i);
  }
  // No exact match: the first name the key's name begins (as the list's
  // prefix search finds it).
  for (std::size_t i = 0; i < library.size(); ++i) {
    const std::u16string name = MacroName(*library[i]);
    if (name.size() >= wanted.size() &&
        EqualsNoCase(std::u16string_view(name).substr(0, wanted.size()), wanted))
      return static_cast<int>(i);
  }
  return 0;
}

}  // namespace vantrel
