#include "win/keyboard_capture.h"

#include <cstdio>

#include "win/win_util.h"

namespace vantrel::win {
namespace {

HHOOK g_hook = nullptr;
HWND g_target = nullptr;

void TraceHandle(const wchar_t* format, const void* handle) {
  wchar_t line[64];
  std::swprintf(line, 64, format, static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(handle)));
  DebugTrace(line);
}

// Runs inside the UI thread's message loop for every keystroke of the
// desktop, which waits until it returns: it only traces and posts.
LRESULT CALLBACK CaptureProc(int code, WPARAM wp, LPARAM lp) {
  // A negative code is not ours to act on: the system asks that it be
  // passed on untouched.
  if (code < 0) return CallNextHookEx(g_hook, code, wp, lp);
  const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
  wchar_t line[64];
  std::swprintf(line, 64, L"vkcode=%x,scancode=%x\n", static_cast<unsigned>(info->vkCode),
                static_cast<unsigned>(info->scanCode));
  DebugTrace(line);
  PostMessageW(g_target, WM_CAPTUREDKEY, info->vkCode, info->flags & 0x81);
  // Never passed on: while the capture is installed no window gets keys.
  return 1;
}

}  // namespace

void InstallKeyboardCapture(HWND target) {
  g_target = target;
  // Installed already: the keys go to the new target; a second hook would
  // be left behind by the one removal and swallow the desktop's keys.
  if (g_hook) return;
  g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, CaptureProc, GetModuleHandleW(nullptr), 0);
  TraceHandle(L"Hhook: %x\r\n", g_hook);
}

void RemoveKeyboardCapture() {
  TraceHandle(L"Hhook: %x\r\n", g_hook);
  BOOL ok = g_hook != nullptr && UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  DebugTrace(ok ? L"UnHhook: Success \r\n" : L"UnHhook: Fail \r\n");
}

bool KeyboardCaptureInstalled() { return g_hook != nullptr; }

}  // namespace vantrel::win
