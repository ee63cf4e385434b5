// The keyboard capture: one process-wide low-level keyboard hook that
// swallows every keystroke of the desktop and posts it to one window as
// WM_CAPTUREDKEY. Used while a macro records and while the key assignment
// and shortcut dialogs wait for a key. Only one window captures at a time.
//
//   InstallKeyboardCapture(hwnd());     // keys now arrive as WM_CAPTUREDKEY
//   ... wParam = virtual key, lParam = flags & 0x81 (bit 0 extended,
//       bit 7 released)
//   RemoveKeyboardCapture();
//
// Any key can be captured, Esc included, and one gesture leaves: Esc held
// for a second or more. When it is let go the hook posts WM_CAPTURELEFT
// instead of that Esc and lets keys through until the capture is removed
// or installed again; the target removes it and moves on. A shorter Esc
// arrives as a press and a release when it is let go.
#pragma once

#include <windows.h>

namespace vantrel::win {

constexpr UINT WM_CAPTUREDKEY = WM_USER + 10;  // 1034
constexpr UINT WM_CAPTURELEFT = WM_USER + 20;  // 1044
// How long Esc is held to leave.
constexpr DWORD kLeaveHoldMs = 1000;

// Installing while installed only changes the target.
void InstallKeyboardCapture(HWND target);
void RemoveKeyboardCapture();
bool KeyboardCaptureInstalled();

}  // namespace vantrel::win
