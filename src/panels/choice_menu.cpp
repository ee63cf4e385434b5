#include "panels/choice_menu.h"

#include "skin/ex_menu.h"
#include "win/gdi.h"

namespace vantrel::panels {
namespace {

constexpr int kItemWidth = 135;

}  // namespace

UINT ShowChoiceMenu(HWND owner, HWND button, std::span<const MenuChoice> choices) {
  win::Font font = win::MakeFont(L"Arial", 14, 400, 0, DEFAULT_QUALITY);
  skin::CExMenu menu(font.get());
  for (const MenuChoice& c : choices) menu.AppendItem(c.command, c.text);
  menu.item_width = kItemWidth;
  RECT r{};
  GetWindowRect(button, &r);
  return menu.TrackAt(owner, {r.left, r.bottom}, true);
}

}  // namespace vantrel::panels
