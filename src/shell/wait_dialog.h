// CDlgWaitting: the window shown during every apply. One second after it
// appears it asks the main window to run the apply (message 1224, lParam 2,
// wParam = mode); the monitor link closes it through OnOK when the monitor
// acknowledges, when the acknowledgement is overdue (timer 2) or, without a
// publication, on timer 1.
#pragma once

#include <windows.h>

#include "shell/monitor_link.h"
#include "skin/lang_strings.h"
#include "skin/skinned_dialog.h"

namespace vantrel::shell {

class CDlgWaitting : public skin::SkinnedDialog {
 public:
  CDlgWaitting();

  int mode = 0;  // 0 apply, 1 restore defaults
  // The request's delay (tests shorten it).
  UINT request_delay_ms = 1000;

  void OnOK() override;
  // True once after the window, shown, asked for an apply of `mode`: only
  // that request starts an apply or a restore.
  bool TakeRequest(WPARAM mode);

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnInitDialog() override;
  bool OnTimer(UINT_PTR id) override;
  bool OnMouse(const win::MouseEvent& e) override;
  void PaintTexts(HDC dc) override;
  bool SwallowsKey(WPARAM vk) const override;

 private:
  bool requested_ = false;  // asked and not yet taken
};

}  // namespace vantrel::shell
