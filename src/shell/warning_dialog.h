// CDlgWarning: the skinned confirm-or-cancel box. Its kind picks the texts:
// 0 the main window's "restore all profiles" warning, 1, 3 and 4 the macro
// manager's. Runs modally; 1 = OK.
#pragma once

#include <windows.h>

#include "skin/bitmap_btn.h"
#include "skin/lang_strings.h"
#include "skin/skinned_dialog.h"

namespace vantrel::shell {

class CDlgWarning : public skin::SkinnedDialog {
 public:
  CDlgWarning();

  int kind = 0;  // set before RunModal

  skin::CBitmapBtn m_btnOK, m_btnCancel, m_btnClose;
  const skin::TextTable& texts() const { return texts_; }
  // The entry the kind shows as its message (1, or 5 for kinds 3 and 4).
  size_t message_entry() const { return kind == 3 || kind == 4 ? 5 : 1; }

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  void PaintTexts(HDC dc) override;
  bool SwallowsKey(WPARAM vk) const override;

 private:
  skin::TextTable texts_;
};

}  // namespace vantrel::shell
