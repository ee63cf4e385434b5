#include "win/window.h"

#include <windowsx.h>

#include <utility>

#include "win/win_util.h"

namespace vantrel::win {
namespace {

constexpr wchar_t kWindowClass[] = L"VantrelWindow";
constexpr wchar_t kDialogClass[] = L"VantrelDialog";

thread_local Window* t_creating = nullptr;
thread_local const OwnerDrawnMenu* t_tracked_menu = nullptr;
Window* g_main_window = nullptr;

}  // namespace

void Window::ExpectCreation(Window* self) { t_creating = self; }

const wchar_t* Window::DialogClassName() {
  static const bool registered = [] {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = DialogClassProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kDialogClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  return kDialogClass;
}

Window::~Window() {
  if (hwnd_) {
    // Detach first: the derived part of the object is gone, so no message
    // of the destruction may reach a virtual handler.
    HWND h = hwnd_;
    Detach();
    DestroyWindow(h);
  }
}

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd || !IsWindow(hwnd)) return nullptr;
  // Only windows whose procedure is ours keep a Window* in GWLP_USERDATA;
  // anything else may store whatever it likes there.
  auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (proc != StaticProc && proc != DialogClassProc) return nullptr;
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool Window::Create(DWORD style, DWORD ex_style, HWND parent, const RECT& rect,
                    const wchar_t* title) {
  if (hwnd_) return false;
  static const bool registered = [] {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = StaticProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  ExpectCreation(this);
  CreateWindowExW(ex_style, kWindowClass, title, style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (t_creating == this) t_creating = nullptr;
  return hwnd_ != nullptr;
}

bool Window::Subclass(HWND hwnd) {
  if (hwnd_ || !hwnd || FromHandle(hwnd)) return false;
  Attach(hwnd);
  original_proc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticProc)));
  return true;
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Window::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Window::Detach() {
  if (!hwnd_) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  if (original_proc_) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_proc_));
  }
  hwnd_ = nullptr;
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Route(hwnd, msg, wp, lp, false);
}

LRESULT CALLBACK Window::DialogClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Route(hwnd, msg, wp, lp, true);
}

LRESULT Window::Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool dialog_class) {
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self && t_creating) {
    self = std::exchange(t_creating, nullptr);
    self->Attach(hwnd);
  }
  if (!self)
    return dialog_class ? DefDlgProcW(hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
  // No C++ exception may unwind into user32: it would cross frames that
  // know nothing of it.
  try {
    if (msg == WM_NCDESTROY) {
      LRESULT r = self->DefaultProc(msg, wp, lp);
      self->Detach();
      self->OnFinalMessage();
      return r;
    }
    return self->WindowProc(msg, wp, lp);
  } catch (...) {
    DebugTrace(L"vantrel: exception stopped in window procedure\n");
    return 0;
  }
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (original_proc_) return CallWindowProcW(original_proc_, hwnd_, msg, wp, lp);
  if (is_dialog_) return DefDlgProcW(hwnd_, msg, wp, lp);
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (OnMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_CREATE: {
      LRESULT r = DefaultProc(msg, wp, lp);
      if (r == -1) return -1;
      return OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lp)) ? r : -1;
    }
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_COMMAND:
      if (OnCommand(reinterpret_cast<HWND>(lp), LOWORD(wp), HIWORD(wp))) return 0;
      break;
    case WM_TIMER:
      if (OnTimer(wp)) return 0;
      break;
    case WM_PAINT:
      if (OnPaint()) return 0;
      break;
    case WM_ERASEBKGND:
      if (OnEraseBackground(reinterpret_cast<HDC>(wp))) return 1;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      if (OnMouse({msg, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, static_cast<UINT>(wp)})) return 0;
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      // Menu items carry an HMENU, not a window: the menu being tracked.
      if (item->CtlType == ODT_MENU) {
        if (!t_tracked_menu) break;
        t_tracked_menu->DrawItem(*item);
        return TRUE;
      }
      Window* control = FromHandle(item->hwndItem);
      if (control && control != this && control->OnDrawItem(*item)) return TRUE;
      break;
    }
    case WM_PRESS_FROM_READER:
      Press();
      return 0;
    case WM_GETOBJECT: {
      AccessibleInfo probe;
      if (static_cast<LONG>(lp) != OBJID_CLIENT || !Describe(probe)) break;
      if (LRESULT answer = AnswerClientObject(hwnd_, wp)) return answer;
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (item->CtlType == ODT_MENU) {
        if (!t_tracked_menu) break;
        t_tracked_menu->MeasureItem(*item);
        return TRUE;
      }
      Window* control = FromHandle(GetDlgItem(hwnd_, item->CtlID));
      if (control && control != this && control->OnMeasureItem(*item)) return TRUE;
      break;
    }
    default:
      break;
  }
  return DefaultProc(msg, wp, lp);
}

bool Window::PreTranslateMessage(MSG&) { return false; }
bool Window::Describe(AccessibleInfo&) const { return false; }
bool Window::Press() { return false; }
bool Window::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
bool Window::OnCreate(const CREATESTRUCTW&) { return true; }
void Window::OnDestroy() {}
bool Window::OnCommand(HWND, UINT, UINT) { return false; }
bool Window::OnTimer(UINT_PTR) { return false; }
bool Window::OnPaint() { return false; }
bool Window::OnEraseBackground(HDC) { return false; }
bool Window::OnMouse(const MouseEvent&) { return false; }
bool Window::OnDrawItem(DRAWITEMSTRUCT&) { return false; }
bool Window::OnMeasureItem(MEASUREITEMSTRUCT&) { return false; }
void Window::OnFinalMessage() {}

const OwnerDrawnMenu* TrackedMenu() { return t_tracked_menu; }
TrackedMenuScope::TrackedMenuScope(const OwnerDrawnMenu* menu)
    : previous_(std::exchange(t_tracked_menu, menu)) {}
TrackedMenuScope::~TrackedMenuScope() { t_tracked_menu = previous_; }

void SetMainWindow(Window* window) { g_main_window = window; }
Window* MainWindow() { return g_main_window; }

bool PreTranslateChain(MSG& msg) {
  // The target, then each parent up to its top-level window, and no one
  // else: a key typed into a dialog's editor is that dialog's business, not
  // the business of the window beneath it. Like the window procedure, the
  // filter lets no exception out into the message loop: the message is
  // then dispatched as if nobody had filtered it.
  try {
    for (HWND h = msg.hwnd; h;) {
      if (Window* w = Window::FromHandle(h)) {
        if (w->PreTranslateMessage(msg)) return true;
      }
      if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
      h = GetParent(h);
    }
  } catch (...) {
    DebugTrace(L"vantrel: exception stopped in a message filter\n");
  }
  return false;
}

}  // namespace vantrel::win
