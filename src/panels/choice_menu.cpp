#include "panels/choice_menu.h"

#include "shell/ex_menu.h"
#include "win/gdi.h"

namespace vantrel::panels {
namespace {

// The menu being tracked: TrackPopupMenu runs its own loop, during which
// the owner is asked to measure and draw the items.
shell::CExMenu* g_open_menu = nullptr;

constexpr int kItemWidth = 135;

}  // namespace

UINT ShowChoiceMenu(HWND owner, HWND button, std::span<const MenuChoice> choices) {
  win::Font font(CreateFontW(14, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             FF_SWISS | DEFAULT_PITCH, L"Arial"));
  shell::CExMenu menu(font.get());
  for (const MenuChoice& c : choices) menu.AppendItem(c.command, c.text);
  menu.item_width = kItemWidth;
  RECT r{};
  GetWindowRect(button, &r);
  g_open_menu = &menu;
  const UINT chosen = menu.TrackAt(owner, {r.left, r.bottom}, true);
  g_open_menu = nullptr;
  return chosen;
}

bool ForwardChoiceMenuDraw(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
  if (!g_open_menu) return false;
  if (msg == WM_MEASUREITEM) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
    if (item->CtlType != ODT_MENU) return false;
    g_open_menu->MeasureItem(*item);
  } else if (msg == WM_DRAWITEM) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    if (item->CtlType != ODT_MENU) return false;
    g_open_menu->DrawItem(*item);
  } else {
    return false;
  }
  result = TRUE;
  return true;
}

}  // namespace vantrel::panels
