// CMenuWndHook: a window-procedure hook of the UI thread that subclasses
// every popup-menu window ("#32768") and paints the program's three-pixel
// frame around it instead of the platform's border.
#include <windows.h>

#include <unordered_map>

#include "skin/ex_menu.h"
#include "win/gdi.h"

namespace vantrel::skin {
namespace {

constexpr wchar_t kOldProcProp[] = L"CoolMenu_oldProc";
constexpr UINT kMenuSized = 0x1E2;

class CMenuWndHook {
 public:
  explicit CMenuWndHook(HWND hwnd) : hwnd_(hwnd) {}
  void DrawFrame(HDC dc) const;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  HWND hwnd_;
};

HHOOK g_hook = nullptr;

std::unordered_map<HWND, CMenuWndHook>& HookedWindows() {
  static std::unordered_map<HWND, CMenuWndHook> map(1000);
  return map;
}

void CMenuWndHook::DrawFrame(HDC dc) const {
  RECT rc{};
  GetWindowRect(hwnd_, &rc);
  OffsetRect(&rc, -rc.left, -rc.top);
  const COLORREF colours[] = {kAccent, kFrameDark, kFrameDark};
  for (COLORREF colour : colours) {
    win::Brush brush(CreateSolidBrush(colour));
    FrameRect(dc, &rc, brush.get());
    InflateRect(&rc, -1, -1);
  }
}

void Unhook(HWND hwnd, WNDPROC old_proc) {
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_proc));
  RemovePropW(hwnd, kOldProcProp);
  HookedWindows().erase(hwnd);
}

LRESULT CALLBACK CMenuWndHook::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto old_proc = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProp));
  auto it = HookedWindows().find(hwnd);
  if (!old_proc || it == HookedWindows().end())
    return old_proc ? CallWindowProcW(old_proc, hwnd, msg, wp, lp)
                    : DefWindowProcW(hwnd, msg, wp, lp);
  const CMenuWndHook& hook = it->second;
  switch (msg) {
    case WM_SHOWWINDOW:
      if (wp == 0) Unhook(hwnd, old_proc);
      break;
    case WM_NCDESTROY:
      Unhook(hwnd, old_proc);
      break;
    case WM_NCPAINT: {
      win::WindowDC whole(hwnd, true);  // GetDC would clip to the client area
      hook.DrawFrame(whole.get());
      return 0;
    }
    case WM_PRINT: {
      LRESULT result = CallWindowProcW(old_proc, hwnd, msg, wp, lp);
      hook.DrawFrame(reinterpret_cast<HDC>(wp));
      return result;
    }
    case WM_PAINT: {
      // Wine's menu window has no non-client area and paints its own frame
      // inside the client area; drawing ours over the window's outer
      // pixels after the original paint shows it there as on Windows.
      LRESULT result = CallWindowProcW(old_proc, hwnd, msg, wp, lp);
      win::WindowDC whole(hwnd, true);
      hook.DrawFrame(whole.get());
      return result;
    }
    default:
      break;
  }
  return CallWindowProcW(old_proc, hwnd, msg, wp, lp);
}

// The frame is a nicety: a menu that cannot get it (no memory for its
// record) keeps the platform's border, and nothing is thrown into user32.
void HookMenuWindow(HWND hwnd) noexcept try {
  wchar_t cls[11] = {};
  GetClassNameW(hwnd, cls, 11);
  if (lstrcmpW(cls, L"#32768") != 0 || GetPropW(hwnd, kOldProcProp)) return;
  HookedWindows().try_emplace(hwnd, hwnd);
  LONG_PTR old_proc = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  SetPropW(hwnd, kOldProcProp, reinterpret_cast<HANDLE>(old_proc));
  if (!SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                         reinterpret_cast<LONG_PTR>(&CMenuWndHook::WindowProc))) {
    RemovePropW(hwnd, kOldProcProp);
    HookedWindows().erase(hwnd);
  }
} catch (...) {
  RemovePropW(hwnd, kOldProcProp);
}

LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp) {
  const auto* info = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && (info->message == WM_CREATE || info->message == kMenuSized)) {
    HookMenuWindow(info->hwnd);
  }
  return CallNextHookEx(g_hook, code, wp, lp);
}

}  // namespace

void InstallMenuHook() {
  if (g_hook) return;
  g_hook =
      SetWindowsHookExW(WH_CALLWNDPROC, HookProc, GetModuleHandleW(nullptr), GetCurrentThreadId());
}

bool MenuHookInstalled() { return g_hook != nullptr; }

void RemoveMenuHook() {
  if (g_hook) UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
}

}  // namespace vantrel::skin
