#include "panels/light_ctrl_panel.h"

#include "model/panel_rules.h"
#include "panels/choice_menu.h"
#include "skin/lang_strings.h"
#include "win/dialog_templates.h"
#include "win/win_util.h"

namespace vantrel::panels {
namespace {

const skin::TextTable& Texts() { return skin::Texts(1100, 14); }

std::wstring CaptionText(const PanelCaption& caption) {
  if (caption.text_entry >= 0)
    return skin::TextAt(Texts(), static_cast<size_t>(caption.text_entry));
  return win::ToWide(caption.fixed);
}

constexpr UINT kFirstCommand = 1004, kLastCommand = 4000;

}  // namespace

CDlgLightCtrlPanel::CDlgLightCtrlPanel(SettingsRecord& record)
    : Panel(win::kLightCtrlPanelTemplate, Drag::None, record, 1113) {}

bool CDlgLightCtrlPanel::OnCreate(const CREATESTRUCTW&) {
  Texts();
  static const wchar_t* const kKeys[] = {L"0", L"1"};
  skin::CBitmapBtn* buttons[] = {&m_btnMode, &m_btnLevel};
  ApplySkin({L"Skins\\Skin_light_control.ini", kKeys}, buttons);
  m_btnMode.role = m_btnLevel.role = skin::ButtonRole::DropDown;
  m_btnMode.accessible_name = skin::Text(1101);
  m_btnLevel.accessible_name = skin::Text(1102);
  return true;
}

void CDlgLightCtrlPanel::PutSettingToControl() {
  SetEffectSelection(slot().LtEffectType);
  SetLevelSelection(slot().iLtPulsation);
}

void CDlgLightCtrlPanel::ShowCaption(skin::CBitmapBtn& button, const std::wstring& caption) {
  button.text = caption;
  // An empty caption keeps the previous tooltip: a tooltip has no empty text.
  button.SetTooltipText(caption);
  RedrawNow(button.hwnd());
}

void CDlgLightCtrlPanel::SetEffectSelection(std::int32_t mode) {
  ShowCaption(m_btnMode, CaptionText(LightModeCaption(mode)));
}

void CDlgLightCtrlPanel::SetLevelSelection(std::int32_t level) {
  ShowCaption(m_btnLevel, CaptionText(LightLevelCaption(level)));
}

void CDlgLightCtrlPanel::ShowModeMenu() {
  const MenuChoice choices[] = {{2005, skin::TextAt(Texts(), 9)},
                                {2006, skin::TextAt(Texts(), 10)},
                                {2007, skin::TextAt(Texts(), 11)}};
  const int profile = ActiveProfileIndex(record());
  if (const UINT chosen = ShowChoiceMenu(hwnd(), m_btnMode.hwnd(), choices))
    OnMenuCommand(chosen, profile);
}

void CDlgLightCtrlPanel::ShowLevelMenu() {
  const MenuChoice choices[] = {{2009, skin::TextAt(Texts(), 3)},
                                {2010, L"20%"},
                                {2011, L"60%"},
                                {2012, L"100%"},
                                {2013, skin::TextAt(Texts(), 6)}};
  const int profile = ActiveProfileIndex(record());
  if (const UINT chosen = ShowChoiceMenu(hwnd(), m_btnLevel.hwnd(), choices))
    OnMenuCommand(chosen, profile);
}

void CDlgLightCtrlPanel::OnMenuCommand(UINT id, int profile) {
  ProfileSlot& target = record().profiles[profile];
  const bool shown = profile == ActiveProfileIndex(record());
  const LightCommand cmd = LightMenuCommand(static_cast<int>(id));
  if (cmd.field == LightField::Mode) {
    target.LtEffectType = cmd.value;
    if (cmd.show && shown) SetEffectSelection(cmd.value);
  } else if (cmd.field == LightField::Level) {
    target.iLtPulsation = cmd.value;
    if (cmd.show && shown) SetLevelSelection(cmd.value);
  }
}

bool CDlgLightCtrlPanel::OnCommand(HWND control, UINT id, UINT code) {
  if (control && control == m_btnMode.hwnd()) {
    ShowModeMenu();
  } else if (control && control == m_btnLevel.hwnd()) {
    ShowLevelMenu();
  } else if (!control && id >= kFirstCommand && id <= kLastCommand) {
    OnMenuCommand(id, ActiveProfileIndex(record()));
    return true;
  }
  return Panel::OnCommand(control, id, code);
}

void CDlgLightCtrlPanel::PaintTexts(HDC dc) {
  PaintPanelLabels(dc, skin::TextAt(Texts(), 1), skin::TextAt(Texts(), 2));
}

}  // namespace vantrel::panels
