// The monitor's window, "Vantrel Monitor": shows what the configurator
// published and plays the keyboard's side through child buttons (clickable
// with BM_CLICK) or the WM_APP messages below.
#pragma once

#include <windows.h>

#include <deque>

#include "monitor_state.h"

namespace pelox {

// Child button ids.
enum ButtonId : int {
  kIdProfile1 = 101,   // ..104: the keyboard switched to profile 1..4
  kIdLighting1 = 111,  // ..114: the keyboard switched to lighting code 1..4
  kIdUnplug = 120,
  kIdPlugIn = 121,
};

// Scriptable actions, posted to the monitor window.
inline constexpr UINT WM_PELOX_PROFILE = WM_APP + 1;   // wParam: profile 0..3
inline constexpr UINT WM_PELOX_LIGHTING = WM_APP + 2;  // wParam: lighting code
inline constexpr UINT WM_PELOX_PLUG = WM_APP + 3;      // wParam: 1 plugged, 0 unplugged

struct MonitorContext {
  Options options;
  MonitorLink link;
  EventLog log{L""};
  vantrel::SettingsRecord record{};  // last copy taken out of the section
  int plugged = 1;
  int applies = 0;
  // When each owed acknowledgement is due (GetTickCount), oldest first:
  // with --ack-delay every apply is answered that long after its own notice.
  std::deque<DWORD> pending_acks;
  std::wstring last_notice = L"none yet";
};

HWND CreateMonitorWindow(HINSTANCE instance, MonitorContext& context);

}  // namespace pelox
