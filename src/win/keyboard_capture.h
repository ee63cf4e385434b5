// The keyboard capture: one process-wide low-level keyboard hook that
// swallows every keystroke of the desktop and posts it to one window as
// WM_CAPTUREDKEY. Used while a macro records and while the key assignment
// and shortcut dialogs wait for a key. Only one window captures at a time.
//
//   InstallKeyboardCapture(hwnd());     // keys now arrive as WM_CAPTUREDKEY
//   ... wParam = virtual key, lParam = flags & 0x81 (bit 0 extended,
//       bit 7 released)
//   RemoveKeyboardCapture();
#pragma once

#include <windows.h>

namespace vantrel::win {

constexpr UINT WM_CAPTUREDKEY = WM_USER + 10;  // 1034

// Installing while installed only changes the target.
void InstallKeyboardCapture(HWND target);
void RemoveKeyboardCapture();
bool KeyboardCaptureInstalled();

}  // namespace vantrel::win
