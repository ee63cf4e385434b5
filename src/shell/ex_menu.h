// Owner-drawn popup menus in the program's dark look, and the thread hook
// that paints a three-pixel frame around every popup-menu window.
//
//   CExMenu menu(font);                       // font may be nullptr
//   menu.AppendItem(2001, L"1 ms");
//   menu.AppendItem(kSeparatorId, L"");
//   menu.AppendItem(0, L"More", &submenu);    // submenu item with arrow 137
//   menu.item_width = 135;
//   menu.TrackAt(owner, {r.left, r.bottom});  // choice: WM_COMMAND to owner
//   // owner: WM_MEASUREITEM / WM_DRAWITEM with CtlType ODT_MENU go to
//   // menu.MeasureItem / menu.DrawItem. The submenus' items come to the
//   // same owner; the top menu draws them too, from the records their item
//   // data points to.
//
// InstallMenuHook() once on the UI thread at start-up.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace vantrel::shell {

constexpr UINT kSeparatorId = 2048;
constexpr COLORREF kAccent = 676274;      // red 178, green 81, blue 10
constexpr COLORREF kFrameDark = 1184274;  // red, green and blue 18

struct MenuItem {
  std::wstring text;
  UINT id;
  bool highlight;
  bool mark;
  bool popup;
  bool disabled = false;  // shown greyed, cannot be chosen
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
                  bool highlight = false, bool mark = false, bool disabled = false);

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
  COLORREF disabled_text = RGB(110, 110, 110);
  int item_width = 0;
  int margin_left = 0;
  int margin_right = 0;

  // Shows the menu with its top left corner at `pt` (screen coordinates),
  // right button also choosing, owned by `owner` (which must forward the
  // owner-draw messages here). The owner is brought to the foreground
  // first (or the menu would not close when clicking elsewhere) and gets a
  // WM_NULL after (so the closing click leaves its queue). With
  // `return_command` the chosen id is returned and no WM_COMMAND is sent;
  // otherwise the choice reaches the owner as WM_COMMAND and the result is
  // nonzero when something was chosen.
  UINT TrackAt(HWND owner, POINT pt, bool return_command = false) const;

 private:
  HMENU menu_ = nullptr;
  HFONT font_ = nullptr;
  CMenuItemList items_;
};

// Installs the popup-menu frame hook for the calling thread (once).
void InstallMenuHook();
// Whether the hook is in place on this thread.
bool MenuHookInstalled();
void RemoveMenuHook();

}  // namespace vantrel::shell
