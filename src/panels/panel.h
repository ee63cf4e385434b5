// The base of the feature pages the main window hosts: a skinned child
// dialog that edits the active profile slot of the settings record it is
// given, and fills its controls from that slot on PutSettingToControl.
//
//   CDlgAdvCtrlPanel adv(live_record);
//   adv.CreateChild(main_hwnd);                 // skin, buttons, outline
//   MoveWindow(adv.hwnd(), 1, 100, 781, 267, TRUE);
//   adv.PutSettingToControl();                  // after every record change
#pragma once

#include <windows.h>

#include <string>

#include "model/settings_record.h"
#include "skin/skinned_dialog.h"

namespace vantrel::panels {

class Panel : public skin::SkinnedDialog {
 public:
  // `title`: the lang.dll text a screen reader reads as the page's name.
  Panel(const win::DialogTemplate& t, Drag drag, SettingsRecord& record, UINT title);

  // Shows the active slot of the record in the panel's controls.
  virtual void PutSettingToControl() = 0;

  SettingsRecord& record() const { return record_; }

 protected:
  ProfileSlot& slot() const { return ActiveSlot(record_); }

 private:
  SettingsRecord& record_;
};

// Arrow-key groups of the main window and its pages (win/focus_nav.h).
enum FocusGroup : int {
  kKeyGroup = 1,
  kProgrammableKeyGroup,
  kPollingRateGroup,
  kTabGroup,
  kProfileTileGroup,
};

// Repaints a button at once, so a caption set from a menu command or a
// refresh is on screen before the next message is handled.
void RedrawNow(HWND hwnd);

}  // namespace vantrel::panels

namespace vantrel::panels {

// The two labels of the lighting and advanced pages, painted in the
// accent colour at (73, 100) and (435, 100).
void PaintPanelLabels(HDC dc, const std::wstring& left, const std::wstring& right);

}  // namespace vantrel::panels
