#include "skin/ex_menu.h"

#include <memory>

#include "model/menu_layout.h"
#include "win/gdi.h"

namespace vantrel::skin {
namespace {

constexpr int kArrowResource = 137;
constexpr int kItemHeight = 18;
constexpr COLORREF kBack = RGB(0, 0, 0), kText = RGB(255, 255, 255);
constexpr COLORREF kDisabledText = RGB(110, 110, 110);

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
  MENUITEMINFOW info{sizeof info};
  info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STATE;
  info.fType = MFT_OWNERDRAW;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(record);
  info.fState = disabled ? MFS_GRAYED : 0;
  if (id == kSeparatorId) {
    info.fType |= MFT_SEPARATOR;
  } else {
    // The text as the item's string as well: the owner-drawn item shows it
    // itself, and a screen reader finds it there.
    info.fMask |= MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(record->text.c_str());
    info.wID = id;
  }
  if (submenu) {
    info.fMask |= MIIM_SUBMENU;
    info.hSubMenu = submenu->handle();
  }
  InsertMenuItemW(menu_, GetMenuItemCount(menu_), TRUE, &info);
  const int width = MenuItemWidth(text.size(), 0, 0);
  if (width > item_width) item_width = width;
}

void CExMenu::MeasureItem(MEASUREITEMSTRUCT& item) const {
  // Told by the record: a submenu item has no command of its own.
  const auto* data = reinterpret_cast<const MenuItem*>(item.itemData);
  UINT id = item.itemID;
  if (data) id = data->id == kSeparatorId ? 0 : data->popup ? kSeparatorId : data->id;
  item.itemHeight = MenuItemHeight(id, kItemHeight);
  item.itemWidth = item_width;
}

const CExMenu::Paints& CExMenu::paints() const {
  if (paints_) return *paints_;
  paints_ = std::make_unique<Paints>();
  paints_->normal.reset(CreateSolidBrush(kBack));
  paints_->selected.reset(CreateSolidBrush(kAccent));
  paints_->separator.reset(CreatePen(PS_SOLID, 1, kAccent));
  paints_->mark = win::MakeFont(L"Arial", 10, 400, 0, DEFAULT_QUALITY);
  paints_->arrow.reset(
      static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kArrowResource),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP bm{};
  if (paints_->arrow && GetObjectW(paints_->arrow.get(), sizeof bm, &bm))
    paints_->arrow_size = {bm.bmWidth, bm.bmHeight};
  return *paints_;
}

void CExMenu::DrawArrow(HDC dc, const RECT& rc) const {
  const Paints& p = paints();
  if (!p.arrow) return;
  win::MemoryDC mem(dc);
  win::SelectGuard sel(mem.get(), p.arrow.get());
  // Black is transparent: the arrow picture is taller than an item.
  TransparentBlt(dc, rc.right - 19, rc.top - 9, p.arrow_size.cx, p.arrow_size.cy, mem.get(), 0, 0,
                 p.arrow_size.cx, p.arrow_size.cy, RGB(0, 0, 0));
}

void CExMenu::DrawItem(const DRAWITEMSTRUCT& item) const {
  const Paints& p = paints();
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  const auto* data = reinterpret_cast<const MenuItem*>(item.itemData);
  if (data ? data->id == kSeparatorId : item.itemID == 0) {
    FillRect(dc, &rc, p.normal.get());
    win::SelectGuard sel(dc, p.separator.get());
    int y = (rc.top + rc.bottom) / 2;
    MoveToEx(dc, rc.left, y, nullptr);
    LineTo(dc, rc.right, y);
  } else {
    const bool disabled = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) != 0 && !disabled;
    FillRect(dc, &rc, selected ? p.selected.get() : p.normal.get());
    COLORREF text_colour = kText;
    if (data && data->highlight) text_colour = kAccent;
    if (disabled) text_colour = kDisabledText;
    SetTextColor(dc, text_colour);
    SetBkMode(dc, TRANSPARENT);
    const std::wstring& text = data ? data->text : std::wstring();
    {
      win::SelectGuard sel(dc, font_ ? static_cast<HGDIOBJ>(font_) : nullptr);
      RECT tr = rc;
      tr.left += 2;
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      if (data && data->mark) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        win::SelectGuard sel_small(dc, p.mark.get());
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
  win::TrackedMenuScope tracked(this);
  SetForegroundWindow(owner);
  UINT flags =
      TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | (return_command ? TPM_RETURNCMD : 0);
  auto chosen = static_cast<UINT>(TrackPopupMenu(menu_, flags, pt.x, pt.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

}  // namespace vantrel::skin
