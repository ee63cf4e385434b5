// SkinnedDialog: the base of every skinned window (main window, panels,
// dialogs). It owns the window's SkinImages, applies skin and outline in
// one call, paints through one off-screen composition and one blit, swallows
// the keys that would otherwise end or click something, and drags the
// window (or, for panels, the parent) by its background.
//
//   class CDlgWarning : public SkinnedDialog {
//     CDlgWarning() : SkinnedDialog(win::kWarningTemplate, Drag::Self) {}
//     bool OnCreate(const CREATESTRUCTW&) override {
//       static const wchar_t* const kKeys[] = {L"1", L"2", L"3"};
//       CBitmapBtn* buttons[] = {&ok_, &cancel_, &close_};
//       ApplySkin({L"Skins\\skin_reset_warn.ini", kKeys}, buttons);
//       return true;
//     }
//     void PaintTexts(HDC dc) override { ...DrawTextW(dc, ...)... }
//   };
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "skin/bitmap_btn.h"
#include "skin/skin.h"
#include "win/dialog.h"

namespace vantrel::skin {

class SkinnedDialog : public win::Dialog {
 public:
  enum class Drag { None, Self, Parent };
  SkinnedDialog(const win::DialogTemplate& t, Drag drag) : Dialog(t), drag_(drag) {}

  // Enter, Esc and Space (plus SwallowsKey) never reach translation.
  bool PreTranslateMessage(MSG& msg) override;

  const SkinImages& images() const { return images_; }

 protected:
  // LoadSkin, then the outline from the mask (a window without one stays
  // rectangular). Returns the parsed button positions.
  std::vector<SkinButtonPos> ApplySkin(const SkinRequest& request,
                                       std::span<CBitmapBtn* const> buttons);

  // Draws the window's fixed texts onto the composed background.
  virtual void PaintTexts(HDC dc);
  // Further keys this window swallows (F1, Delete...).
  virtual bool SwallowsKey(WPARAM vk) const;

  bool OnPaint() override;
  bool OnEraseBackground(HDC dc) override;
  bool OnMouse(const win::MouseEvent& e) override;
  void OnDestroy() override;

  SkinImages images_;

 private:
  Drag drag_;
};

// True for WM_KEYDOWN/UP and WM_SYSKEYDOWN/UP of Enter, Esc and Space.
bool IsDialogEndingKey(const MSG& msg);

}  // namespace vantrel::skin
