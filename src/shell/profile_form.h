// CDlgProfileMan: the small form that names the active profile and links it
// to a game executable. Data in: slot and mode (1 starts empty, 0 shows the
// slot's values). OK writes both fields into the slot; cancel and close
// leave it as it was.
#pragma once

#include <windows.h>

#include <string>

#include "model/settings_record.h"
#include "skin/bitmap_btn.h"
#include "skin/lang_strings.h"
#include "skin/skinned_dialog.h"
#include "win/gdi.h"
#include "win/labelled_control.h"

namespace vantrel::shell {

class CDlgProfileMan : public skin::SkinnedDialog {
 public:
  CDlgProfileMan();

  ProfileSlot* slot = nullptr;
  int mode = 0;

  // The browse button's step after the file dialog: refused silently when
  // another profile links `path` already; fills an empty name with `title`.
  void AcceptGameFile(const std::wstring& path, const std::wstring& title);
  void BrowseGameFile();

  skin::CBitmapBtn m_btnOK, m_btnCancel, m_btnClose, m_btnBrowse;
  HWND name_field() const { return m_name; }
  HWND path_field() const { return m_path; }

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnInitDialog() override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void PaintTexts(HDC dc) override;
  skin::CBitmapBtn* CancelButton() override { return &m_btnCancel; }

 private:
  // The fields sit in the skin's dark wells: their own font and colours,
  // alive as long as the controls.
  win::Font field_font_;
  win::Brush field_brush_;
  HWND m_name = nullptr;
  HWND m_path = nullptr;
  win::LabelledControl m_nameField, m_pathField;  // the two, named for screen readers
};

}  // namespace vantrel::shell
