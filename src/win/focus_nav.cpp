#include "win/focus_nav.h"

#include <algorithm>
#include <optional>

#include "model/focus_order.h"
#include "win/window.h"

namespace vantrel::win {
namespace {

bool IsTabStop(HWND h) {
  if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_TABSTOP) || !IsWindowVisible(h)) return false;
  // A control under a disabled page or window is as unavailable as one
  // disabled itself.
  for (HWND w = h; w; w = GetParent(w)) {
    if (!IsWindowEnabled(w)) return false;
    if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

struct Collected {
  std::vector<HWND> windows;
  std::vector<FocusRect> rects;
};

BOOL CALLBACK Collect(HWND h, LPARAM lp) {
  auto& out = *reinterpret_cast<Collected*>(lp);
  RECT r{};
  if (IsTabStop(h) && GetWindowRect(h, &r) && r.right > r.left && r.bottom > r.top) {
    out.windows.push_back(h);
    out.rects.push_back({r.left, r.top, r.right, r.bottom});
  }
  return TRUE;
}

Collected CollectTabStops(HWND root) {
  Collected all;
  EnumChildWindows(root, Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

// The tab stop that holds the focus: the focused window or the nearest
// ancestor of it that is one (the editor inside a list, say).
std::optional<std::size_t> FocusedIndex(const std::vector<HWND>& windows) {
  for (HWND h = GetFocus(); h; h = GetParent(h)) {
    auto it = std::find(windows.begin(), windows.end(), h);
    if (it != windows.end()) return static_cast<std::size_t>(it - windows.begin());
    if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return std::nullopt;
}

bool KeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

bool MoveByTab(HWND root, bool backwards) {
  Collected all = CollectTabStops(root);
  if (all.windows.empty()) return true;
  const std::vector<std::size_t> order = ReadingOrder(all.rects);
  std::size_t at = backwards ? order.size() - 1 : 0;
  if (auto focused = FocusedIndex(all.windows)) {
    const auto pos =
        static_cast<std::size_t>(std::find(order.begin(), order.end(), *focused) - order.begin());
    at = backwards ? (pos + order.size() - 1) % order.size() : (pos + 1) % order.size();
  }
  SetFocus(all.windows[order[at]]);
  return true;
}

bool MoveByArrow(HWND root, Direction direction) {
  const Window* focused = Window::FromHandle(GetFocus());
  if (!focused || focused->focus_group() == 0) return false;
  Collected all = CollectTabStops(root);
  Collected group;
  std::optional<std::size_t> from;
  for (std::size_t i = 0; i < all.windows.size(); ++i) {
    const Window* w = Window::FromHandle(all.windows[i]);
    if (!w || w->focus_group() != focused->focus_group()) continue;
    if (w == focused) from = group.windows.size();
    group.windows.push_back(all.windows[i]);
    group.rects.push_back(all.rects[i]);
  }
  if (!from) return false;
  if (auto to = Nearest(group.rects, *from, direction)) SetFocus(group.windows[*to]);
  return true;
}

}  // namespace

std::vector<HWND> TabStops(HWND root) {
  Collected all = CollectTabStops(root);
  std::vector<HWND> ordered;
  ordered.reserve(all.windows.size());
  for (std::size_t i : ReadingOrder(all.rects)) ordered.push_back(all.windows[i]);
  return ordered;
}

bool MoveFocusByKey(HWND root, const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !root) return false;
  if (KeyDown(VK_CONTROL) || KeyDown(VK_MENU)) return false;
  switch (msg.wParam) {
    case VK_TAB:
      return MoveByTab(root, KeyDown(VK_SHIFT));
    case VK_LEFT:
      return MoveByArrow(root, Direction::Left);
    case VK_RIGHT:
      return MoveByArrow(root, Direction::Right);
    case VK_UP:
      return MoveByArrow(root, Direction::Up);
    case VK_DOWN:
      return MoveByArrow(root, Direction::Down);
    default:
      return false;
  }
}

void ShowFocusCues(HWND root) {
  Window* window = Window::FromHandle(root);
  if (!window || window->keyboard_used()) return;
  window->set_keyboard_used();
  SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  if (HWND focus = GetFocus()) InvalidateRect(focus, nullptr, FALSE);
}

bool FocusCuesShown(HWND control) {
  HWND root = GetAncestor(control, GA_ROOT);
  const Window* window = Window::FromHandle(root);
  if (window && !window->keyboard_used()) return false;
  return !(SendMessageW(root, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

}  // namespace vantrel::win
