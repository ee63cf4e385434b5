// Owner-drawn popup menus in the program's dark look, and the thread hook
// that paints a three-pixel frame around every popup-menu window.
//
//   CExMenu menu(font);                       // font may be nullptr
//   menu.AppendItem(2001, L"1 ms");
//   menu.AppendItem(kSeparatorId, L"");
//   menu.AppendItem(0, L"More", &submenu);    // submenu item with arrow 137
//   menu.item_width = 135;
//   menu.TrackAt(owner, {r.left, r.bottom});  // choice: WM_COMMAND to owner
//
// While the menu is tracked, the window base hands it every menu item to
// measure and draw (win::TrackedMenu), the submenus' items included: they
// come to the same owner, and the top menu draws them from the records
// their item data points to. Items keep their text as menu strings too, so
// an accessibility client reads them.
//
// InstallMenuHook() once on the UI thread at start-up.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/paint_text.h"
#include "win/gdi.h"
#include "win/window.h"

namespace vantrel::skin {

constexpr UINT kSeparatorId = 2048;

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

class CExMenu : public win::OwnerDrawnMenu {
 public:
  explicit CExMenu(HFONT font = nullptr);
  ~CExMenu();
  CExMenu(const CExMenu&) = delete;
  CExMenu& operator=(const CExMenu&) = delete;

  HMENU handle() const { return menu_; }
  void AppendItem(UINT id, const std::wstring& text, CExMenu* submenu = nullptr,
                  bool highlight = false, bool mark = false, bool disabled = false);

  void MeasureItem(MEASUREITEMSTRUCT& item) const override;
  void DrawItem(const DRAWITEMSTRUCT& item) const override;

  // Every item's width (the widest text appended so far, unless set).
  int item_width = 0;

  // Shows the menu with its top left corner at `pt` (screen coordinates),
  // right button also choosing, owned by `owner`. The owner is brought to
  // the foreground first (or the menu would not close when clicking
  // elsewhere) and gets a WM_NULL after (so the closing click leaves its
  // queue). With `return_command` the chosen id is returned and no
  // WM_COMMAND is sent; otherwise the choice reaches the owner as
  // WM_COMMAND and the result is nonzero when something was chosen.
  UINT TrackAt(HWND owner, POINT pt, bool return_command = false) const;

 private:
  // What every item is drawn with, made once per menu on its first item.
  struct Paints {
    win::Brush normal, selected;
    win::Pen separator;
    win::Font mark;
    win::Bitmap arrow;
    SIZE arrow_size{};
  };
  const Paints& paints() const;
  void DrawArrow(HDC dc, const RECT& rc) const;

  HMENU menu_ = nullptr;
  HFONT font_ = nullptr;
  CMenuItemList items_;
  mutable std::unique_ptr<Paints> paints_;
};

// Installs the popup-menu frame hook for the calling thread (once).
void InstallMenuHook();
// Whether the hook is in place on this thread.
bool MenuHookInstalled();
void RemoveMenuHook();

}  // namespace vantrel::skin
