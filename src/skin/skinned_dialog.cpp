#include "skin/skinned_dialog.h"

#include "skin/skin_image.h"
#include "win/focus_nav.h"
#include "win/gdi.h"

namespace vantrel::skin {
namespace {

bool IsKeyMessage(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP;
}

}  // namespace

bool SkinnedDialog::PreTranslateMessage(MSG& msg) {
  if (!IsKeyMessage(msg.message)) return false;
  if (SwallowsKey(msg.wParam)) return true;
  // A page's keys are its window's: the walk goes on to the parent.
  if (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_CHILD) return false;
  return HandleKey(msg);
}

bool SkinnedDialog::HandleKey(const MSG& msg) {
  const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  if (down) win::ShowFocusCues(hwnd());
  if (win::MoveFocusByKey(hwnd(), msg)) return true;
  const WPARAM vk = msg.wParam;
  if (vk != VK_RETURN && vk != VK_SPACE && vk != VK_ESCAPE) return false;
  if (msg.message == WM_KEYDOWN) {
    // A fresh press (not auto-repeat, whose previous-state bit is set)
    // starts over, even if the last one's release went elsewhere.
    if ((msg.lParam & (LPARAM{1} << 30)) == 0 || pressed_key_ != vk) {
      pressed_key_ = vk;
      pressed_on_ = GetFocus();
    }
  } else if (msg.message == WM_KEYUP && pressed_key_ == vk) {
    const HWND on = pressed_on_;
    pressed_key_ = 0;
    pressed_on_ = nullptr;
    if (vk == VK_ESCAPE) {
      if (CBitmapBtn* cancel = CancelButton()) cancel->Press();
    } else if (on && on == GetFocus()) {
      if (win::Window* control = win::Window::FromHandle(on)) control->Press();
    }
  }
  return true;
}

bool SkinnedDialog::Describe(win::AccessibleInfo& info) const {
  info.name = accessible_title_;
  info.description = accessible_description_;
  info.role = accessible_role_;
  return true;
}

CBitmapBtn* SkinnedDialog::CancelButton() { return nullptr; }

void SkinnedDialog::FocusFromKeyboard(CBitmapBtn& button) {
  win::ShowFocusCues(hwnd());
  SetFocus(button.hwnd());
}
bool SkinnedDialog::SwallowsKey(WPARAM) const { return false; }
void SkinnedDialog::PaintTexts(HDC) {}

std::vector<SkinButtonPos> SkinnedDialog::ApplySkin(const SkinRequest& request,
                                                    std::span<CBitmapBtn* const> buttons) {
  std::vector<SkinButtonPos> positions = LoadSkin(hwnd(), request, images_, buttons);
  win::Region outline = RegionFromMask(images_.mask.get());
  HRGN handle = outline.get();
  if (outline && win::ApplyWindowRegion(hwnd(), outline, true)) images_.region = handle;
  return positions;
}

bool SkinnedDialog::OnEraseBackground(HDC) {
  return true;  // WM_PAINT covers every pixel; erasing first would flicker
}

bool SkinnedDialog::OnPaint() {
  win::PaintDC paint(hwnd());
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return true;
  win::MemoryCanvas canvas(paint.get(), {w, h});
  HDC compose = canvas.dc();
  {
    win::MemoryDC source(paint.get());
    win::SelectGuard keep_source(source.get(), images_.background.get());
    if (images_.background) {
      BitBlt(compose, 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
    } else {
      FillRect(compose, &client, GetSysColorBrush(COLOR_3DFACE));
    }
  }
  const int saved = SaveDC(compose);
  PaintTexts(compose);
  RestoreDC(compose, saved);
  canvas.Present(0, 0);
  return true;
}

bool SkinnedDialog::OnMouse(const win::MouseEvent& e) {
  if (e.message != WM_LBUTTONDOWN || drag_ == Drag::None) return false;
  DragByBackground(drag_ == Drag::Self ? hwnd() : GetParent(hwnd()));
  return true;
}

void SkinnedDialog::OnDestroy() {
  images_.background.reset();
  images_.mask.reset();
  images_.region = nullptr;
}

}  // namespace vantrel::skin
