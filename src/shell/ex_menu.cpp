#include "shell/ex_menu.h"

#include <memory>

#include "model/menu_layout.h"
#include "win/gdi.h"

namespace vantrel::shell {
namespace {

constexpr int kArrowResource = 137;

void DrawArrow(HDC dc, const RECT& rc) {
  HBITMAP arrow =
      static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kArrowResource),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!arrow) return;
  win::Bitmap owner(arrow);
  BITMAP bm{};
  GetObjectW(arrow, sizeof bm, &bm);
  win::MemoryDC mem(dc);
  win::SelectGuard sel(mem.get(), arrow);
  // Black is transparent: the arrow picture is taller than an item.
  TransparentBlt(dc, rc.right - 19, rc.top - 9, bm.bmWidth, bm.bmHeight, mem.get(), 0, 0,
                 bm.bmWidth, bm.bmHeight, RGB(0, 0, 0));
}

}  // namespace

const MenuItem* CMenuItemList::Append(MenuItem item) {
  items_.push_back(std::make_unique<MenuItem>(std::move(item)));
  return items_.back().get();
}

const MenuItem* CMenuItemList::Find(UINT id) const {
  for (const auto& item : items_)
    if (item->id == id) return item.get();
  return nullptr;
}

CExMenu::CExMenu(HFONT font) : menu_(CreatePopupMenu()), font_(font) {}

CExMenu::~CExMenu() {
  // Submenus are owned by their CExMenu objects: detach them first so
  // DestroyMenu does not destroy them twice.
  if (menu_) {
    for (int i = GetMenuItemCount(menu_) - 1; i >= 0; --i)
      if (GetSubMenu(menu_, i)) RemoveMenu(menu_, i, MF_BYPOSITION);
    DestroyMenu(menu_);
  }
}

void CExMenu::AppendItem(UINT id, const std::wstring& text, CExMenu* submenu, bool highlight,
                         bool mark, bool disabled) {
  const MenuItem* record = items_.Append({text, id, highlight, mark, submenu != nullptr, disabled});
  auto data = reinterpret_cast<LPCWSTR>(record);
  if (id == kSeparatorId) {
    AppendMenuW(menu_, MF_OWNERDRAW | MF_SEPARATOR, 0, data);
  } else if (submenu) {
    AppendMenuW(menu_, MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu->handle()),
                data);
  } else {
    AppendMenuW(menu_, MF_OWNERDRAW | (disabled ? MF_GRAYED : 0), id, data);
  }
  int width = MenuItemWidth(text.size(), margin_left, margin_right);
  if (width > item_width) item_width = width;
}

void CExMenu::MeasureItem(MEASUREITEMSTRUCT& item) const {
  item.itemHeight = MenuItemHeight(item.itemID, item_height);
  item.itemWidth = item_width;
}

void CExMenu::DrawItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  const auto* data = reinterpret_cast<const MenuItem*>(item.itemData);
  if (item.itemID == 0 || (data && data->id == kSeparatorId)) {
    win::Brush back(CreateSolidBrush(normal_back));
    FillRect(dc, &rc, back.get());
    win::Pen pen(CreatePen(PS_SOLID, 1, separator));
    win::SelectGuard sel(dc, pen.get());
    int y = (rc.top + rc.bottom) / 2;
    MoveToEx(dc, rc.left, y, nullptr);
    LineTo(dc, rc.right, y);
  } else {
    const bool disabled = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) != 0 && !disabled;
    win::Brush back(CreateSolidBrush(selected ? selected_back : normal_back));
    FillRect(dc, &rc, back.get());
    COLORREF text_colour = selected ? selected_text : normal_text;
    if (data && data->highlight) text_colour = kAccent;
    if (disabled) text_colour = disabled_text;
    SetTextColor(dc, text_colour);
    SetBkMode(dc, TRANSPARENT);
    std::wstring text = data ? data->text : std::wstring();
    {
      win::SelectGuard sel(dc, font_ ? static_cast<HGDIOBJ>(font_) : nullptr);
      RECT tr = rc;
      tr.left += 2;
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      if (data && data->mark) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        win::Font small(CreateFontW(10, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH, L"Arial"));
        win::SelectGuard sel_small(dc, small.get());
        RECT mr = tr;
        mr.left += size.cx;
        DrawTextW(dc, L"TM", 2, &mr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      }
    }
    if (data && data->popup) DrawArrow(dc, rc);
  }
  // Keeps the platform from drawing over the item afterwards.
  ExcludeClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
}

UINT CExMenu::TrackAt(HWND owner, POINT pt, bool return_command) const {
  SetForegroundWindow(owner);
  UINT flags =
      TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | (return_command ? TPM_RETURNCMD : 0);
  auto chosen = static_cast<UINT>(TrackPopupMenu(menu_, flags, pt.x, pt.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

}  // namespace vantrel::shell
