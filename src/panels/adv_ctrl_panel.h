// CDlgAdvCtrlPanel: the advanced page. The polling rate (500 Hz or
// 1000 Hz buttons) and the response time (a popup menu behind a third
// button) of the active profile; the two are tied: 500 Hz goes with 2 ms,
// 1000 Hz with 1 ms.
#pragma once

#include <windows.h>

#include "model/settings_record.h"
#include "panels/panel.h"
#include "skin/bitmap_btn.h"

namespace vantrel::panels {

class CDlgAdvCtrlPanel : public Panel {
 public:
  explicit CDlgAdvCtrlPanel(SettingsRecord& record);

  void PutSettingToControl() override;

  skin::CBitmapBtn m_btn500Hz, m_btn1000Hz, m_btnResponse;

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  void PaintTexts(HDC dc) override;

 private:
  // PollingRate 1 checks 500 Hz, 2 checks 1000 Hz; any other stored value
  // leaves both buttons as they were.
  void ShowPollingRate();
  void ShowResponseTime();
  void ShowResponseMenu();
  // Menu commands 2001..2004 (and 1003..4000 are this panel's range) on
  // `profile`: the one that was active when the menu opened.
  void OnResponseCommand(UINT command, int profile);
};

}  // namespace vantrel::panels
