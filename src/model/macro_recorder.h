// The keystroke recorder of the macro manager: turns captured keys into
// macro events in an edit buffer, with the pauses between them. The platform
// parts come in from outside (the capture install/remove calls, the
// millisecond tick with every key), so every rule runs without a window.
//
//   MacroRecorder rec({.install = [&] { InstallKeyboardCapture(hwnd); },
//                      .remove = [] { RemoveKeyboardCapture(); }});
//   rec.LoadFrom(macro); rec.selected = &macro; rec.StartRecording();
//   on WM_CAPTUREDKEY: if (rec.OnCapturedKey(wp, lp, GetTickCount()) ==
//                          CaptureResult::Full) focus the event list;
#pragma once

#include <cstdint>
#include <functional>

#include "model/macro_library.h"

namespace vantrel {

struct MacroCaptureHooks {
  std::function<void()> install;  // start capturing keys for the recording window
  std::function<void()> remove;
};

// What outlives one recorder, because the keyboard capture it mirrors is one
// per process: the tick of the last recorded event (0 while no recording
// runs) and the last (vk, flags) pair handled. The pair is never reset, so a
// new recording drops a first key identical to the last one handled before.
struct MacroRecorderShared {
  std::uint32_t last_vk = 0;
  std::uint32_t last_flags = 0;
  std::uint32_t last_event_tick = 0;
};
// The process-wide instance every recorder uses unless given another.
MacroRecorderShared& ProcessMacroRecorderState();

enum class CaptureResult {
  Ignored,   // repeated press of a held key, or not recording
  Recorded,  // an event was stored (or refused: the buffer is full)
  Full,      // the 50th event: recording stopped; the caller focuses the event list
};

constexpr std::uint32_t kCapturedExtended = 0x01;
constexpr std::uint32_t kCapturedReleased = 0x80;

class MacroRecorder {
 public:
  explicit MacroRecorder(MacroCaptureHooks hooks,
                         MacroRecorderShared& shared = ProcessMacroRecorderState());

  // The edit buffer: events [0, count) are the macro, the slots behind them
  // are carried along untouched.
  MacroEvent events[kMacroEvents] = {};
  std::int32_t count = 0;
  int insert_position = -1;  // -1: append; else where the next event goes
  bool recording = false;
  bool record_delays = true;
  bool have_previous = false;
  int select_after_redraw = -1;     // the last inserted index, for the list
  MacroRecord* selected = nullptr;  // gets the buffer when recording stops

  // Buffer <-> macro: all 50 slots and the (bounded) count.
  void LoadFrom(const MacroRecord& macro);
  void CopyTo(MacroRecord& macro) const;
  // Empties the buffer for a fresh recording (stale slots zeroed).
  void Clear();

  void StartRecording();
  void StopRecording();
  // The WM_CAPTUREDKEY handler: vk, flags (bit 0 extended, bit 7 released)
  // and the millisecond tick of the platform's GetTickCount.
  CaptureResult OnCapturedKey(std::uint32_t vk, std::uint32_t flags, std::uint32_t now_ms);

  // Stores `event` at the insertion position (or appends) and remembers it
  // for selection; false when the buffer already holds 50 events.
  bool InsertEvent(const MacroEvent& event);

 private:
  int BoundedCount() const { return BoundedEventCount(count); }
  void StorePauseBeforeNewEvent(std::uint32_t now_ms);

  MacroCaptureHooks hooks_;
  MacroRecorderShared& shared_;
};

// The key code recorded for a captured key: keypad Enter (Enter with the
// extended flag) becomes virtual key 108 first; keys without a code give 0.
std::uint8_t MacroKeyCodeForCapturedKey(std::uint32_t vk, std::uint32_t flags);

}  // namespace vantrel
