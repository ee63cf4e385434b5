// The popup choice menus of the lighting and advanced pages: an owner-drawn
// CExMenu in Arial 14, 135 pixels wide, dropped at the lower-left corner of
// the button that opened it. The choice arrives at the owner as a
// WM_COMMAND with the item's command and no control.
//
//   const MenuChoice items[] = {{2001, L"1 ms"}, {2002, L"2 ms"}};
//   ShowChoiceMenu(hwnd(), button.hwnd(), items);
//   // the owner's OnMessage: return ForwardChoiceMenuDraw(msg, wp, lp, result);
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace vantrel::panels {

struct MenuChoice {
  UINT command;
  std::wstring text;
};

// Runs the menu to its end (TrackPopupMenu's own loop).
void ShowChoiceMenu(HWND owner, HWND button, std::span<const MenuChoice> choices);

// Hands WM_MEASUREITEM / WM_DRAWITEM of the open menu's items to it; the
// owner calls this first in its message handling.
bool ForwardChoiceMenuDraw(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

}  // namespace vantrel::panels
