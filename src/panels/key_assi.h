// CDlgKeyAssi: the small modal dialog in which the user picks the key one
// key position sends. It shows the position's current key, captures the
// next keystroke anywhere on the desktop, and hands the chosen HID usage
// back; it never writes the settings record itself. Any key is captured,
// Esc and Tab too; Esc held for a second leaves the capture, and then the
// keyboard moves between the buttons.
//
//   CDlgKeyAssi dlg;
//   dlg.m_keyPosition = i;
//   dlg.m_currentCode = slot.standardkey[i];
//   if (dlg.RunModal(panel) == IDOK && dlg.m_newCode != 0) ...store it...
//
// Results: IDOK, IDCANCEL (Cancel, or WM_CLOSE), -1 (the close button).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "skin/bitmap_btn.h"
#include "skin/skinned_dialog.h"
#include "win/labelled_control.h"

namespace vantrel::panels {

// The name of the key HID usage `code` stands for (empty for none).
std::wstring KeyNameOfCode(std::uint8_t code);

class CDlgKeyAssi : public skin::SkinnedDialog {
 public:
  CDlgKeyAssi();

  // Data in: set by the caller before the dialog runs.
  std::int32_t m_keyPosition = 0;
  std::uint8_t m_currentCode = 0;
  // Data out: the chosen usage after IDOK, 0 when the user chose nothing.
  std::uint8_t m_newCode = 0;

  std::wstring m_currentName;  // name of m_currentCode, painted in red
  HWND m_keyEdit = nullptr;    // control 1000: the chosen key's name
  skin::CBitmapBtn m_btnOk, m_btnCancel, m_btnClose, m_btnDefault;
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
  // Held Esc left the capture: the keys move the focus from now on.
  void OnCaptureLeft();
  // Handles one captured keystroke; false when the key has no usage.
  bool OnCapturedKey(int vk, std::uint32_t flags);
  void SetEditText(const std::wstring& text);
  void ChooseDefault();
};

}  // namespace vantrel::panels
