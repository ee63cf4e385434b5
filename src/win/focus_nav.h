// Keyboard focus for windows whose controls a skin places: Tab and
// Shift+Tab walk every visible, enabled tab stop of a top-level window in
// reading order (model/focus_order.h), wrapping round; the arrows move
// between the members of one group (the keys of a key picture, a row of
// tabs) to the nearest one that way. The focus stays on the control window
// itself, so GetFocus and screen readers see it.
//
//   key.set_focus_group(kKeyGroup);                 // arrows walk the keys
//   if (win::MoveFocusByKey(root, msg)) return true;   // in a key filter
//
// Focus marks show once the keyboard was used in a window: the first key
// clears UISF_HIDEFOCUS on the top-level window (WM_CHANGEUISTATE), and
// controls ask FocusCuesShown before drawing their mark.
#pragma once

#include <windows.h>

#include <vector>

namespace vantrel::win {

// The tab stops under `root`, in reading order.
std::vector<HWND> TabStops(HWND root);

// Tab, Shift+Tab and (inside a group) the arrow keys of a WM_KEYDOWN aimed
// at a window under `root`: moves the focus and returns true. Other keys,
// and arrows outside a group, are left alone (false).
bool MoveFocusByKey(HWND root, const MSG& msg);

// The keyboard was used in `root`: focus marks show from now on.
void ShowFocusCues(HWND root);
// Whether the focus mark of `control` shows (its top-level window's state).
bool FocusCuesShown(HWND control);

}  // namespace vantrel::win
