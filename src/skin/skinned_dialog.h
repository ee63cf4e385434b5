// SkinnedDialog: the base of every skinned window (main window, panels,
// dialogs). It owns the window's SkinImages, applies skin and outline in
// one call, paints through one off-screen composition and one blit, runs
// the keyboard, and drags the window (or, for panels, the parent) by its
// background.
//
// The keyboard, in a top-level window: Tab, Shift+Tab and the arrows move
// the focus (win/focus_nav.h); Space and Enter press the focused control
// when released, and only when they were pressed down on it too, so an
// Enter that ended one dialog presses nothing in the next; Esc presses the
// CancelButton (the main window has none). No key ends or clicks anything
// by itself otherwise. A page passes its keys on to its window.
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
// After windows.h.
#include <oleacc.h>

#include <span>
#include <string>
#include <vector>

#include "skin/bitmap_btn.h"
#include "skin/skin.h"
#include "win/dialog.h"

namespace vantrel::skin {

class SkinnedDialog : public win::Dialog {
 public:
  enum class Drag { None, Self, Parent };
  SkinnedDialog(const win::DialogTemplate& t, Drag drag) : Dialog(t), drag_(drag) {}

  // Navigation and presses as above; Enter, Esc, Space (plus SwallowsKey)
  // never reach translation.
  bool PreTranslateMessage(MSG& msg) override;
  // A window answers screen readers as a dialog named by its title.
  bool Describe(win::AccessibleInfo& info) const override;

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
  // The button Esc presses; nullptr: Esc does nothing.
  virtual CBitmapBtn* CancelButton();
  // A key capture was left from the keyboard: the focus, marked, on `button`.
  void FocusFromKeyboard(CBitmapBtn& button);

  bool OnPaint() override;
  bool OnEraseBackground(HDC dc) override;
  bool OnMouse(const win::MouseEvent& e) override;
  void OnDestroy() override;

  SkinImages images_;
  // What a screen reader reads of the window: the title (the window text
  // when empty; never set as the window text, which the monitor looks
  // windows up by), a description, the role.
  std::wstring accessible_title_;
  std::wstring accessible_description_;
  long accessible_role_ = ROLE_SYSTEM_DIALOG;

 private:
  bool HandleKey(const MSG& msg);

  Drag drag_;
  // The Space, Enter or Esc pressed down, and the window it was pressed on.
  WPARAM pressed_key_ = 0;
  HWND pressed_on_ = nullptr;
};

}  // namespace vantrel::skin
