#include "skin/skinned_dialog.h"

#include "skin/skin_image.h"
#include "win/gdi.h"

namespace vantrel::skin {
namespace {

bool IsKeyMessage(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP;
}

}  // namespace

bool IsDialogEndingKey(const MSG& msg) {
  return IsKeyMessage(msg.message) &&
         (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE || msg.wParam == VK_SPACE);
}

bool SkinnedDialog::PreTranslateMessage(MSG& msg) {
  return IsDialogEndingKey(msg) || (IsKeyMessage(msg.message) && SwallowsKey(msg.wParam));
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
