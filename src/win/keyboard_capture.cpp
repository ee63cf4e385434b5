#include "win/keyboard_capture.h"

#include <bitset>
#include <cstddef>
#include <cstdio>

#include "win/win_util.h"

namespace vantrel::win {
namespace {

HHOOK g_hook = nullptr;
HWND g_target = nullptr;
// Esc is held since esc_since (hook time, ms); delivered: another key went
// down meanwhile, so this Esc is a key, not the way out; left: the gesture
// was made.
bool g_esc_down = false;
bool g_esc_delivered = false;
DWORD g_esc_since = 0;
DWORD g_esc_flags = 0;
bool g_left = false;
// The keys whose press the capture took. A release of any other key (held
// down when the capture began) is passed on, or the system would keep
// that key down: a Ctrl or Shift stuck after the capture.
std::bitset<256> g_taken;

void Reset() {
  g_left = false;
  g_esc_down = false;
  g_esc_delivered = false;
  g_taken.reset();
}

void Post(UINT vk, DWORD flags) { PostMessageW(g_target, WM_CAPTUREDKEY, vk, flags & 0x81); }

// Esc is kept back while it is held, auto-repeat and all, and judged when
// it is let go: held a second or more it leaves the capture, less is the
// key Esc, pressed and released. Leaving only at the release means no
// stray Esc reaches the window once the capture is gone. Another key
// pressed while Esc is down makes it a key at once (Esc+K records Esc
// first).
void OnEscape(const KBDLLHOOKSTRUCT& info) {
  const bool released = (info.flags & LLKHF_UP) != 0;
  if (!g_esc_down) {
    g_esc_down = true;
    g_esc_delivered = false;
    g_esc_since = info.time;
    g_esc_flags = info.flags;
    return;
  }
  if (!released) return;  // auto-repeat
  g_esc_down = false;
  if (g_esc_delivered) return Post(VK_ESCAPE, info.flags);
  if (info.time - g_esc_since >= kLeaveHoldMs) {
    g_left = true;
    PostMessageW(g_target, WM_CAPTURELEFT, 0, 0);
    return;
  }
  Post(VK_ESCAPE, g_esc_flags);
  Post(VK_ESCAPE, info.flags);
}

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
  // Left by the gesture: keys reach the windows again.
  if (g_left) return CallNextHookEx(g_hook, code, wp, lp);
  const std::size_t vk = info->vkCode & 0xFF;
  const bool released = (info->flags & LLKHF_UP) != 0;
  if (released && !g_taken[vk]) return CallNextHookEx(g_hook, code, wp, lp);
  g_taken[vk] = !released;
  if (vk == VK_ESCAPE) {
    OnEscape(*info);
  } else {
    if (!released && g_esc_down && !g_esc_delivered) {
      g_esc_delivered = true;
      Post(VK_ESCAPE, g_esc_flags);
    }
    Post(info->vkCode, info->flags);
  }
  // Not passed on: while the capture is installed no window gets keys.
  return 1;
}

}  // namespace

void InstallKeyboardCapture(HWND target) {
  g_target = target;
  Reset();
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
  Reset();
  DebugTrace(ok ? L"UnHhook: Success \r\n" : L"UnHhook: Fail \r\n");
}

bool KeyboardCaptureInstalled() { return g_hook != nullptr; }

}  // namespace vantrel::win
