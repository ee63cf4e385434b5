#include "skin/list_box_ex.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "skin/bitmap_btn.h"
#include "win/focus_nav.h"
#include "win/gdi.h"
#include "win/win_util.h"

namespace vantrel::skin {
namespace {

void DrawIcon(HDC dc, HINSTANCE module, WORD id, int x, int y) {
  win::Bitmap icon(static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!icon) return;
  BITMAP bm{};
  GetObjectW(icon.get(), sizeof bm, &bm);
  win::MemoryDC mem(dc);
  win::SelectGuard sel(mem.get(), icon.get());
  // At its own size, cut to the 16 x 16 cell: the program's icons are
  // smaller than the cell and would blur if stretched.
  int w = std::min<int>(bm.bmWidth, CListBoxEx::kIconWidth);
  int h = std::min<int>(bm.bmHeight, CListBoxEx::kIconHeight);
  TransparentBlt(dc, x, y, w, h, mem.get(), 0, 0, w, h, RGB(0, 0, 0));
}

}  // namespace

CListBoxEx::CListBoxEx()
    : selected_text_colour(GetSysColor(COLOR_HIGHLIGHTTEXT)),
      text_colour(GetSysColor(COLOR_WINDOWTEXT)),
      selection_colour(GetSysColor(COLOR_HIGHLIGHT)),
      font_(win::MakeFont(L"Arial", 14, 400, 0, DEFAULT_QUALITY)) {}

CListBoxEx::~CListBoxEx() {
  // The editor is a child of the list: destroy it while both objects live.
  if (editor_.hwnd()) editor_.Destroy();
}

bool CListBoxEx::Create(HWND parent, const RECT& rect, UINT control_id) {
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED |
                                  LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                              rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                              parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(control_id)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!list) return false;
  if (!Attach(list)) {
    DestroyWindow(list);
    return false;
  }
  return true;
}

bool CListBoxEx::Attach(HWND list) {
  if (!Subclass(list)) return false;
  selected_text_colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
  text_colour = GetSysColor(COLOR_WINDOWTEXT);
  selection_colour = GetSysColor(COLOR_HIGHLIGHT);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  // The list asked its parent for the item height while being created,
  // before this object was attached to answer.
  SendMessageW(list, LB_SETITEMHEIGHT, 0, kItemHeight);
  return true;
}

int CListBoxEx::AddItem(const std::wstring& text, UINT_PTR data) {
  auto index = static_cast<int>(
      SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  if (index >= 0) SendMessageW(hwnd(), LB_SETITEMDATA, index, static_cast<LPARAM>(data));
  return index;
}

bool CListBoxEx::AddItemAndEdit() {
  if (!hwnd() || editor_.hwnd()) return false;
  int index = AddItem(L"", 0);
  if (index < 0) return false;
  SendMessageW(hwnd(), LB_SETCURSEL, index, 0);  // scrolls it into view
  if (!OpenEditor(index, 0, 0, kListNameLimit)) {
    SendMessageW(hwnd(), LB_DELETESTRING, index, 0);
    return false;
  }
  return true;
}

int CListBoxEx::EditSelectedItem() {
  if (!hwnd() || editor_.hwnd()) return -1;
  auto index = static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0));
  if (index < 0) return -1;
  WORD icon = LOWORD(SendMessageW(hwnd(), LB_GETITEMDATA, index, 0));
  int inset = icon ? kIconWidth + 5 : 0;
  if (!OpenEditor(index, inset, ES_NUMBER, kListNumberLimit)) return -1;
  return icon;
}

bool CListBoxEx::OpenEditor(int index, int left_inset, DWORD extra_style, int limit) {
  RECT rc{};
  if (SendMessageW(hwnd(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc)) == LB_ERR)
    return false;
  rc.left += 1 + left_inset;
  rc.right -= 2;
  HWND edit = CreateWindowExW(
      0, L"EDIT", win::ListItemText(hwnd(), index).c_str(),
      WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | ES_WANTRETURN | extra_style, rc.left,
      rc.top, rc.right - rc.left, rc.bottom - rc.top, hwnd(), nullptr, GetModuleHandleW(nullptr),
      nullptr);
  if (!edit) return false;
  if (!editor_.Subclass(edit)) {
    DestroyWindow(edit);
    return false;
  }
  edited_ = index;
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  SendMessageW(edit, EM_LIMITTEXT, limit, 0);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
  return true;
}

void CListBoxEx::CloseEditor(bool focus_list) {
  HWND edit = editor_.hwnd();
  edited_ = -1;
  // Focus goes back to the list before the editor dies (not while the
  // editor is losing it to another window anyway); edited_ is already -1,
  // so neither the editor's focus loss nor the list's focus gain commits a
  // second time.
  if (focus_list && edit && GetFocus() == edit) SetFocus(hwnd());
  if (edit) DestroyWindow(edit);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CListBoxEx::CommitEdit(bool focus_list) {
  if (edited_ < 0 || !editor_.hwnd()) return;
  int index = edited_;
  std::wstring text = win::WindowText(editor_.hwnd());
  LRESULT data = SendMessageW(hwnd(), LB_GETITEMDATA, index, 0);
  edited_ = -1;
  SendMessageW(hwnd(), LB_DELETESTRING, index, 0);
  int inserted = -1;
  if (!text.empty()) {
    inserted = static_cast<int>(
        SendMessageW(hwnd(), LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
    if (inserted >= 0) SendMessageW(hwnd(), LB_SETITEMDATA, inserted, data);
  }
  SendMessageW(hwnd(), LB_SETCURSEL, inserted >= 0 ? inserted : index, 0);
  CloseEditor(focus_list);
  // Either way the owner hears of the end: an emptied text took the item.
  if (inserted >= 0) {
    Post(kListEditCommitted, inserted, list_id);
  } else {
    Post(kListEditCancelled, index, list_id);
  }
}

void CListBoxEx::CancelEdit() {
  if (edited_ < 0) return;
  int index = edited_;
  edited_ = -1;
  SendMessageW(hwnd(), LB_DELETESTRING, index, 0);
  CloseEditor(true);
  Post(kListEditCancelled, index, list_id);
}

bool CListBoxEx::Editor::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_KEYUP:
      if (wp == VK_RETURN) {
        list_.CommitEdit();
        return true;
      }
      if (wp == VK_ESCAPE) {
        list_.CancelEdit();
        return true;
      }
      return false;
    case WM_CHAR:
      // Enter and Esc act on release; their characters would only beep in
      // a single-line edit.
      if (wp == L'\r' || wp == L'\n' || wp == 27) {
        result = 0;
        return true;
      }
      return false;
    case WM_KILLFOCUS:
      // Committing destroys this window: the edit control's own handling
      // must not run on it afterwards.
      if (list_.edited_ < 0) return false;
      list_.CommitEdit(false);
      result = 0;
      return true;
    default:
      return false;
  }
}

void CListBoxEx::Post(UINT msg, WPARAM wp, LPARAM lp) const {
  if (HWND target = GetParent(hwnd())) PostMessageW(target, msg, wp, lp);
}

void CListBoxEx::RepaintItem(int index) {
  RECT rc{};
  if (index >= 0 &&
      SendMessageW(hwnd(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc)) != LB_ERR)
    InvalidateRect(hwnd(), &rc, FALSE);
}

void CListBoxEx::TrackHover(POINT pt) {
  if (!tracking_) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
    tracking_ = TrackMouseEvent(&tme) != FALSE;
  }
  if (editor_.hwnd()) return;
  LRESULT hit = SendMessageW(hwnd(), LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
  int now = HIWORD(hit) ? -1 : LOWORD(hit);
  if (now == hover_) return;
  RepaintItem(hover_);
  RepaintItem(now);
  hover_ = now;
}

bool CListBoxEx::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    // Delete is noticed here rather than before translation, so it works
    // under any message loop (menus, system dialogs, tests).
    case WM_KEYDOWN:
      if (wp == VK_DELETE) Post(kListDeletePressed, 0, 0);
      return false;
    case WM_RBUTTONDOWN:
      Post(kListRightClick, 0, list_id);
      return false;
    case WM_MOUSEWHEEL:
      SendMessageW(hwnd(), WM_VSCROLL, GET_WHEEL_DELTA_WPARAM(wp) > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
      result = 0;
      return true;
    case WM_MOUSEMOVE:
      TrackHover({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return false;
    case WM_MOUSELEAVE:
      tracking_ = false;
      RepaintItem(hover_);
      hover_ = -1;
      return false;
    case WM_SETFOCUS:
      // The focus came back from an open editor (a click in the list).
      if (editor_.hwnd() && reinterpret_cast<HWND>(wp) == editor_.hwnd()) CommitEdit();
      InvalidateRect(hwnd(), nullptr, TRUE);  // the focus mark
      return false;
    case WM_KILLFOCUS:
      InvalidateRect(hwnd(), nullptr, TRUE);
      return false;
    case WM_PAINT:
      // The list paints itself; the keyboard's mark goes round it, so an
      // empty list shows its focus too.
      result = DefaultProc(msg, wp, lp);
      if (GetFocus() == hwnd() && win::FocusCuesShown(hwnd())) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        win::WindowDC dc(hwnd());
        DrawFocusMark(dc.get(), client);
      }
      return true;
    default:
      return false;
  }
}

bool CListBoxEx::ReflectCtlColor(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
  if (msg != WM_CTLCOLORLISTBOX) return false;
  auto* list = dynamic_cast<CListBoxEx*>(FromHandle(reinterpret_cast<HWND>(lp)));
  if (!list || !list->background) return false;
  result = reinterpret_cast<LRESULT>(list->background);
  return true;
}

bool CListBoxEx::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  item.itemHeight = kItemHeight;
  return true;
}

bool CListBoxEx::OnDrawItem(DRAWITEMSTRUCT& item) {
  if (static_cast<int>(item.itemID) < 0) return true;
  HDC dc = item.hDC;
  const RECT& rc = item.rcItem;
  WORD icon = LOWORD(item.itemData);
  int text_left = rc.left + 5 + (icon ? kIconWidth : 0);
  bool selected = (item.itemState & ODS_SELECTED) != 0;

  if (selected) {
    win::Brush fill(CreateSolidBrush(selection_colour));
    FillRect(dc, &rc, fill.get());
  } else if (background) {
    FillRect(dc, &rc, background);
  } else {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
  }
  COLORREF colour = selected ? selected_text_colour : text_colour;
  if (item.itemState & ODS_DISABLED) colour = GetSysColor(COLOR_BTNSHADOW);

  if (icon > 1) DrawIcon(dc, GetModuleHandleW(nullptr), icon, rc.left + 5, rc.top + 2);
  std::wstring text = win::ListItemText(item.hwndItem, static_cast<int>(item.itemID));
  win::SelectGuard sel(dc, font_.get());
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  RECT tr{text_left, rc.top, rc.right, rc.bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  return true;
}

bool CListBoxEx::Describe(win::AccessibleInfo& info) const {
  info.name = accessible_name;
  info.role = ROLE_SYSTEM_LIST;
  const LRESULT selected = SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
  if (selected != LB_ERR) info.value = win::ListItemText(hwnd(), static_cast<int>(selected));
  return true;
}

}  // namespace vantrel::skin
