// Owner-drawn popup menus in the program's dark look, and the thread hook
// that paints a three-pixel frame around every popup-menu window.
//
//   CExMenu menu(font);                       // font may be nullptr
//   menu.AppendItem(2001, L"1 ms");
//   menu.AppendItem(kSeparatorId, L"");
//   menu.AppendItem(0, L"More", &submenu);    // submenu item with arrow 137
//   menu.item_width = 135;
//   TrackPopupMenu(menu.handle(), TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
//   // owner: WM_MEASUREITEM / WM_DRAWITEM with CtlType ODT_MENU go to
//   // menu.MeasureItem / menu.DrawItem (the submenus' items come to the
//   // top menu too: it looks items up in its submenus).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace vantrel::shell {

constexpr UINT kSeparatorId = 2048;
constexpr COLORREF kAccent = 676274;   // red 178, green 81, blue 10
constexpr COLORREF kFrameDark = 1184274;  // red, green and blue 18

struct MenuItem {
  std::wstring text;
  UINT id;
  bool highlight;
  bool mark;
  bool popup;
};

// The items of one menu in append order, at stable addresses: each
// owner-drawn item carries a pointer to its record as item data, because a
// submenu item's id is the submenu's handle and the owner receives the
// submenus' items as well.
class CMenuItemList {
 public:
  const MenuItem* Append(MenuItem item);
  const MenuItem* Find(UINT id) const;
  std::size_t size() const { return items_.size(); }

 private:
  std::vector<std::unique_ptr<MenuItem>> items_;
};

class CExMenu {
 public:
  explicit CExMenu(HFONT font = nullptr);
  ~CExMenu();
  CExMenu(const CExMenu&) = delete;
  CExMenu& operator=(const CExMenu&) = delete;

  HMENU handle() const { return menu_; }
  void AppendItem(UINT id, const std::wstring& text, CExMenu* submenu = nullptr,
                  bool highlight = false, bool mark = false);

  // Owner-draw callbacks (from the owner's WM_MEASUREITEM / WM_DRAWITEM).
  void MeasureItem(MEASUREITEMSTRUCT& item) const;
  void DrawItem(const DRAWITEMSTRUCT& item) const;

  // Colours and sizes, public as the menus' users set them.
  int item_height = 18;
  COLORREF normal_back = 0;
  COLORREF selected_back = kAccent;
  COLORREF separator = kAccent;
  COLORREF accent = kAccent;  // set by some users, not drawn
  COLORREF normal_text = 16777215;
  COLORREF selected_text = 16777215;
  int item_width = 0;
  int margin_left = 0;
  int margin_right = 0;

  // Width estimate of one item text (12 pixels a character plus margins).
  static int EstimateWidth(std::size_t chars, int margin_left, int margin_right) {
    return 12 * static_cast<int>(chars) + margin_left + margin_right;
  }
  // Height of an item by id: separators (id 0) 5, id 1 none, others
  // item height + 2.
  static int MeasureHeight(UINT id, int item_height) {
    return id == 0 ? 5 : id == 1 ? 0 : item_height + 2;
  }

 private:
  HMENU menu_ = nullptr;
  HFONT font_ = nullptr;
  CMenuItemList items_;
};

// Installs the popup-menu frame hook for the calling thread (once).
void InstallMenuHook();
void RemoveMenuHook();

}  // namespace vantrel::shell
