// What a window of ours tells a screen reader. A window describes itself
// (Window::Describe) and the base answers WM_GETOBJECT for its client area
// with an IAccessible that asks the window again on every question, so the
// answers are never stale: the name, role, state and value come from the
// description (what it leaves empty, from the standard object: an edit's
// text), everything else (location, parent, children, hit tests) from the
// system's standard object for the window.
//
//   bool CBitmapBtn::Describe(win::AccessibleInfo& info) const {
//     info.name = text;  info.role = ROLE_SYSTEM_PUSHBUTTON;
//     if (checked_) info.state |= STATE_SYSTEM_CHECKED;
//     return true;
//   }
//   win::NotifyAccessible(EVENT_OBJECT_VALUECHANGE, hwnd());   // a change
#pragma once

#include <windows.h>

#include <string>

namespace vantrel::win {

struct AccessibleInfo {
  std::wstring name;
  std::wstring value;
  std::wstring description;
  std::wstring default_action;  // "Press"...; empty: none
  long role = 0;                // ROLE_SYSTEM_*; 0: the standard object's
  long state = 0;               // STATE_SYSTEM_* added to the standard's
};

// The WM_GETOBJECT answer for OBJID_CLIENT of `hwnd` (a window of ours);
// 0 when no object could be made, which leaves the question to the system.
LRESULT AnswerClientObject(HWND hwnd, WPARAM wp);

// Posted to a window whose default action a screen reader asked for: the
// press runs from the window's own queue, not inside the reader's call
// (a press may open a modal dialog or a menu).
constexpr UINT WM_PRESS_FROM_READER = WM_APP + 0x100;

// Raises `event` (EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE,
// EVENT_SYSTEM_ALERT...) for the client object of `hwnd`.
void NotifyAccessible(DWORD event, HWND hwnd);

}  // namespace vantrel::win
