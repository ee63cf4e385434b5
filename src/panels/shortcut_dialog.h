// CDlgShortCut: the small modal dialog in which the user sets the key
// combination a programmable key sends. While it is open the keyboard
// capture swallows every keystroke of the desktop; the last key pressed or
// released becomes the combination's key. Five toggles choose the
// modifiers: no modifiers, Ctrl, Shift, Alt and Win. It never writes the
// settings record itself.
//
//   CDlgShortCut dlg;
//   dlg.combination = CombinationOf(key);      // key code and Ctrl..Win flags
//   if (dlg.RunModal(page) == 1) ...CombinationModifiers(dlg.combination)...
//
// Results: 1 (OK), 2 (Cancel, the close button, or WM_CLOSE). The dialog is
// closed with the mouse: no key reaches it as a key while it is open.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "model/key_functions.h"
#include "skin/bitmap_btn.h"
#include "skin/skinned_dialog.h"
#include "win/labelled_control.h"

namespace vantrel::panels {

class CDlgShortCut : public skin::SkinnedDialog {
 public:
  static constexpr INT_PTR kResultOk = 1, kResultCancel = 2;
  // Toggle k stands for combination.flags[k].
  enum Toggle { kNoModifiers, kCtrl, kShift, kAlt, kWin, kToggleCount };

  CDlgShortCut();

  // Data in and out: the key code (HID usage) and the five flags.
  Combination combination;

  HWND m_keyEdit = nullptr;  // the captured key's name
  skin::CBitmapBtn m_btnOk, m_btnCancel, m_btnClose;
  std::array<skin::CBitmapBtn, kToggleCount> m_toggles;
  win::LabelledControl m_keyField;  // m_keyEdit, named for screen readers

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  void OnDestroy() override;
  void PaintTexts(HDC dc) override;
  skin::CBitmapBtn* CancelButton() override { return &m_btnCancel; }

 private:
  void OnCapturedKey(int vk, std::uint32_t flags);
  void ShowKeyName(int vk);
  // Shows the flags on the toggles; "no modifiers" greys the other four
  // out without forgetting their flags.
  void RefreshToggles();
};

}  // namespace vantrel::panels
