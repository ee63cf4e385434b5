// The popup choice menus of the lighting and advanced pages: an owner-drawn
// CExMenu in Arial 14, 135 pixels wide, dropped at the lower-left corner of
// the button that opened it. The chosen command is returned, so the page
// carries it out on the profile that was active when the menu opened.
//
//   const MenuChoice items[] = {{2001, L"1 ms"}, {2002, L"2 ms"}};
//   if (UINT id = ShowChoiceMenu(hwnd(), button.hwnd(), items)) ...run id...
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace vantrel::panels {

struct MenuChoice {
  UINT command;
  std::wstring text;
};

// Runs the menu to its end (TrackPopupMenu's own loop); the chosen command,
// or 0.
UINT ShowChoiceMenu(HWND owner, HWND button, std::span<const MenuChoice> choices);

}  // namespace vantrel::panels
