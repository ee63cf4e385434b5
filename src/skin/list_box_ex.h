// CListBoxEx: the owner-drawn list box of the macro manager, with a 16 x 16
// icon before each text, in-place editing of items and four notifications
// posted to its parent.
//
//   CListBoxEx list;
//   list.Create(parent, rect, kListId);   // or list.Attach(existing_listbox)
//   list.list_id = 7;                     // lParam of the notifications
//   list.AddItem(L"Macro 1", 140);        // item data low word: bitmap id
//   list.AddItemAndEdit();                // empty item, editor over it
//   // parent (a win::Window: WM_DRAWITEM/WM_MEASUREITEM are reflected):
//   //   kListEditCommitted (1524)  wParam new index, lParam list_id
//   //   kListEditCancelled (1525)  wParam index the item had, lParam list_id
//   //                              (Esc, or committed empty: the item is gone)
//   //   kListDeletePressed (1624)  0, 0
//   //   kListRightClick    (1724)  0, list_id
//   // and, for a background brush: CListBoxEx::ReflectCtlColor first in
//   // the parent's OnMessage.
//
// The list box must have LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY.
#pragma once

#include <windows.h>

#include <string>

#include "win/gdi.h"
#include "win/window.h"

namespace vantrel::skin {

constexpr UINT kListEditCommitted = WM_USER + 500;  // 1524
constexpr UINT kListEditCancelled = WM_USER + 501;  // 1525
constexpr UINT kListDeletePressed = WM_USER + 600;  // 1624
constexpr UINT kListRightClick = WM_USER + 700;     // 1724

constexpr int kListNameLimit = 15;    // AddItemAndEdit
constexpr int kListNumberLimit = 20;  // EditSelectedItem (digits only)

class CListBoxEx : public win::Window {
 public:
  CListBoxEx();
  ~CListBoxEx() override;

  // A visible child list box with a vertical scroll bar and border.
  bool Create(HWND parent, const RECT& rect, UINT control_id);
  // Subclasses an existing owner-drawn list box; takes the platform colours.
  bool Attach(HWND list);

  int AddItem(const std::wstring& text, UINT_PTR data);
  // Appends an empty item (data 0) and opens an editor over it: at most 15
  // characters. False when an editor is already open.
  bool AddItemAndEdit();
  // Opens a digits-only editor (at most 20 characters) over the selected
  // item with its text selected. Returns the low word of the item's data,
  // or -1 when nothing was opened (editor open or no selection).
  int EditSelectedItem();

  HWND editor() const { return editor_.hwnd(); }
  int edited_index() const { return edited_; }
  int hover_index() const { return hover_; }

  // For the parent's OnMessage: answers WM_CTLCOLORLISTBOX of a CListBoxEx
  // that has a background brush.
  static bool ReflectCtlColor(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  // Set by the owner.
  COLORREF selected_text_colour;
  COLORREF text_colour;
  COLORREF selection_colour;
  int list_id = 0;
  HBRUSH background = nullptr;   // not owned
  std::wstring accessible_name;  // read by screen readers; the value is the selected line

  bool Describe(win::AccessibleInfo& info) const override;

  static constexpr int kItemHeight = 18;
  static constexpr int kIconWidth = 16;
  static constexpr int kIconHeight = 16;

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool OnDrawItem(DRAWITEMSTRUCT& item) override;
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;

 private:
  // The edit control over the edited item; tells its list of Enter and Esc
  // releases and of focus loss.
  class Editor : public win::Window {
   public:
    explicit Editor(CListBoxEx& list) : list_(list) {}

   protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

   private:
    CListBoxEx& list_;
  };

  void Post(UINT msg, WPARAM wp, LPARAM lp) const;
  bool OpenEditor(int index, int left_inset, DWORD extra_style, int limit);
  void CommitEdit(bool focus_list = true);
  void CancelEdit();
  // Takes the editor away (with `focus_list`, the focus back to the list
  // first) and repaints.
  void CloseEditor(bool focus_list);
  void TrackHover(POINT pt);
  void RepaintItem(int index);

  win::Font font_;
  Editor editor_{*this};
  int edited_ = -1;
  int hover_ = -1;
  bool tracking_ = false;
};

}  // namespace vantrel::skin
