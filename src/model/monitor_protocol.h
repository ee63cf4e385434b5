// The protocol between the configurator and the monitor program (Pelox.exe):
// one message number used in both directions, the codes it carries, and the
// names of the shared section, its mutex and the two windows. Both programs
// include this header, so no name or number is spelled twice.
//
// To the monitor, wParam is the command and lParam its value; to the
// configurator it is the other way round: lParam is the notice and wParam
// its value. Messages are always posted, never sent, so neither program
// waits for the other's window procedure.
#pragma once

namespace vantrel::monitor {

// Message 1224, WM_USER + 200.
inline constexpr unsigned WM_APPLY_ALL_SETTING = 0x0400 + 200;

// Commands to the monitor (wParam).
inline constexpr unsigned kApply = 0;          // lParam 0: the section holds the new record
inline constexpr unsigned kRestore = 1;        // lParam 0: every profile restored and published
inline constexpr unsigned kSelectProfile = 2;  // lParam: the profile the user selected, 0..3

// Notices to the configurator (lParam).
inline constexpr long kAcknowledge = 1;   // an apply was taken
inline constexpr long kApplyRequest = 2;  // wParam: mode; the waiting window's, never the monitor's
inline constexpr long kProfileSwitched = 20;   // wParam: profile 0..3, switched on the keyboard
inline constexpr long kLightingSwitched = 30;  // wParam: the keyboard's lighting code

inline constexpr wchar_t kMonitorTitle[] = L"Vantrel Monitor";
inline constexpr wchar_t kConfiguratorTitle[] = L"Vantrel";
inline constexpr wchar_t kMutexName[] = L"Q71_Gaming_Keyboard_Mutex_Object";
inline constexpr wchar_t kSectionName[] = L"Quarro_Gaming_Keyboard_RGB_Mutex_Data";

}  // namespace vantrel::monitor
