// CDlgWaitting: the window shown during every apply. One second after it
// appears it asks the main window to run the apply (message 1224, lParam 2,
// wParam = mode); the main window closes it through OnOK when the monitor
// acknowledges or, without a monitor, on its own timer 1.
#pragma once

#include <windows.h>

#include "skin/lang_strings.h"
#include "skin/skinned_dialog.h"

namespace vantrel::shell {

inline constexpr UINT WM_APPLY_ALL_SETTING = WM_USER + 200;

class CDlgWaitting : public skin::SkinnedDialog {
 public:
  CDlgWaitting();

  int mode = 0;  // 0 apply, 1 restore defaults
  // The request's delay and the limit after which the window closes itself
  // when no acknowledgement arrives (tests shorten both).
  UINT request_delay_ms = 1000;
  UINT give_up_ms = 6000;

  void OnOK() override;

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnInitDialog() override;
  bool OnTimer(UINT_PTR id) override;
  bool OnMouse(const win::MouseEvent& e) override;
  void PaintTexts(HDC dc) override;
  bool SwallowsKey(WPARAM vk) const override;

 private:
  skin::TextTable texts_;
};

}  // namespace vantrel::shell
