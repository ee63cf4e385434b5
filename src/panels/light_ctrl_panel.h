// CDlgLightCtrlPanel: the lighting page. Two skinned buttons open popup
// menus for the lighting mode and level of the active profile; each
// button's caption (and tooltip) shows the stored choice.
#pragma once

#include <windows.h>

#include <cstdint>

#include "model/settings_record.h"
#include "panels/panel.h"
#include "skin/bitmap_btn.h"

namespace vantrel::panels {

class CDlgLightCtrlPanel : public Panel {
 public:
  explicit CDlgLightCtrlPanel(SettingsRecord& record);

  void PutSettingToControl() override;
  // The two setters the main window's refresh uses: they show a value
  // (LtEffectType, iLtPulsation) without storing it.
  void SetEffectSelection(std::int32_t mode);
  void SetLevelSelection(std::int32_t level);

  skin::CBitmapBtn m_btnMode, m_btnLevel;

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  void PaintTexts(HDC dc) override;

 private:
  void ShowModeMenu();
  void ShowLevelMenu();
  // Menu commands 2005..2013 (1004..4000 are this page's range) on
  // `profile`: the one that was active when the menu opened.
  void OnMenuCommand(UINT id, int profile);
  void ShowCaption(skin::CBitmapBtn& button, const std::wstring& caption);
};

}  // namespace vantrel::panels
