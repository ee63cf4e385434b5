#include "panels/panel.h"

#include "skin/lang_strings.h"
#include "win/gdi.h"

namespace vantrel::panels {

Panel::Panel(const win::DialogTemplate& t, Drag drag, SettingsRecord& record, UINT title)
    : SkinnedDialog(t, drag), record_(record) {
  accessible_title_ = skin::Text(title);
  accessible_role_ = ROLE_SYSTEM_PROPERTYPAGE;
}

void RedrawNow(HWND hwnd) {
  if (hwnd) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void PaintPanelLabels(HDC dc, const std::wstring& left, const std::wstring& right) {
  win::Font font = win::MakeFont(L"Arial", 15, 800);
  win::SelectGuard keep(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(178, 81, 10));
  TextOutW(dc, 73, 100, left.c_str(), static_cast<int>(left.size()));
  TextOutW(dc, 435, 100, right.c_str(), static_cast<int>(right.size()));
}

}  // namespace vantrel::panels
