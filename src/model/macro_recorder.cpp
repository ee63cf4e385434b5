#include "model/macro_recorder.h"

#include <algorithm>
#include <cstring>

#include "model/key_codes.h"

namespace vantrel {
namespace {

constexpr std::uint32_t kVkReturn = 13;
constexpr int kVkNumEnter = 108;  // the key table's name for the keypad Enter
constexpr std::uint32_t kMaxPauseMs = 65535;

}  // namespace

MacroRecorderShared& ProcessMacroRecorderState() {
  static MacroRecorderShared state;
  return state;
}

std::uint8_t MacroKeyCodeForCapturedKey(std::uint32_t vk, std::uint32_t flags) {
  int key = static_cast<int>(vk);
  if (vk == kVkReturn && (flags & kCapturedExtended) != 0) key = kVkNumEnter;
  int usage = 0;
  if (!VirtualKeyToUsage(key, usage) || usage < 0 || usage > 0xFF) return 0;
  return static_cast<std::uint8_t>(usage);
}

MacroRecorder::MacroRecorder(MacroCaptureHooks hooks, MacroRecorderShared& shared)
    : hooks_(std::move(hooks)), shared_(shared) {}

void MacroRecorder::LoadFrom(const MacroRecord& macro) {
  std::memcpy(events, macro.events, sizeof(events));
  count = MacroEventCount(macro);
}

void MacroRecorder::CopyTo(MacroRecord& macro) const {
  std::memcpy(macro.events, events, sizeof(events));
  macro.eventCount = BoundedCount();
}

void MacroRecorder::Clear() {
  std::memset(events, 0, sizeof(events));
  count = 0;
}

void MacroRecorder::StartRecording() {
  recording = true;
  if (hooks_.install) hooks_.install();
  have_previous = false;
}

void MacroRecorder::StopRecording() {
  recording = false;
  if (hooks_.remove) hooks_.remove();
  shared_.last_event_tick = 0;
  if (selected != nullptr) CopyTo(*selected);
}

void MacroRecorder::StorePauseBeforeNewEvent(std::uint32_t now_ms) {
  // Unsigned subtraction keeps the pause right across the tick's wrap.
  const std::uint32_t pause = std::min(now_ms - shared_.last_event_tick, kMaxPauseMs);
  const int n = BoundedCount();
  const int before = insert_position == -1 ? n - 1 : insert_position - 1;
  if (before < 0 || before >= n) return;  // nothing in front of the new event
  events[before].delayMs = static_cast<std::uint16_t>(pause);
}

CaptureResult MacroRecorder::OnCapturedKey(std::uint32_t vk, std::uint32_t flags,
                                           std::uint32_t now_ms) {
  // Keys already queued when the 50th event stopped the recording still
  // arrive; they must not record or stop (and unhook) a second time.
  if (!recording) return CaptureResult::Ignored;
  // A held key repeats its press with identical flags; only the first counts.
  if (vk == shared_.last_vk && flags == shared_.last_flags) return CaptureResult::Ignored;
  shared_.last_vk = vk;
  shared_.last_flags = flags;

  if (have_previous && record_delays) StorePauseBeforeNewEvent(now_ms);
  const MacroEvent event{MacroKeyCodeForCapturedKey(vk, flags),
                         (flags & kCapturedReleased) != 0 ? kMacroActionRelease : kMacroActionPress,
                         0};
  InsertEvent(event);
  shared_.last_event_tick = now_ms;
  have_previous = true;

  if (BoundedCount() >= kMacroEvents) {
    StopRecording();
    return CaptureResult::Full;
  }
  return CaptureResult::Recorded;
}

bool MacroRecorder::InsertEvent(const MacroEvent& event) {
  const int n = BoundedCount();
  count = n;
  if (n >= kMacroEvents) return false;
  // A position past the end (the list changed under it) appends.
  const int target = insert_position < 0 ? n : std::min(insert_position, n);
  std::memmove(&events[target + 1], &events[target],
               sizeof(MacroEvent) * static_cast<std::size_t>(n - target));
  events[target] = event;
  count = n + 1;
  if (insert_position != -1) insert_position = target + 1;
  select_after_redraw = target;
  return true;
}

}  // namespace vantrel
