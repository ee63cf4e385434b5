#include "panels/adv_ctrl_panel.h"

#include "model/panel_rules.h"
#include "panels/choice_menu.h"
#include "skin/lang_strings.h"
#include "win/dialog_templates.h"
#include "win/win_util.h"

namespace vantrel::panels {
namespace {

const skin::TextTable& Texts() { return skin::Texts(300, 9); }

// Commands of this panel's range: the menu offers 2001 and 2002 only, but
// 2003 and 2004 (4 ms and 8 ms) are accepted as well.
constexpr UINT kFirstCommand = 1003, kLastCommand = 4000;

}  // namespace

CDlgAdvCtrlPanel::CDlgAdvCtrlPanel(SettingsRecord& record)
    : Panel(win::kAdvCtrlPanelTemplate, Drag::Parent, record, 308) {}

bool CDlgAdvCtrlPanel::OnCreate(const CREATESTRUCTW&) {
  Texts();
  static const wchar_t* const kKeys[] = {L"1", L"0", L"20"};
  skin::CBitmapBtn* buttons[] = {&m_btn500Hz, &m_btn1000Hz, &m_btnResponse};
  ApplySkin({L"Skins\\Skin_color_control.ini", kKeys}, buttons);
  m_btn500Hz.text = L"500 HZ";
  m_btn500Hz.alignment = 2;
  m_btn1000Hz.text = L"1000 HZ";
  m_btn1000Hz.alignment = 2;
  for (skin::CBitmapBtn* rate : {&m_btn500Hz, &m_btn1000Hz}) {
    rate->role = skin::ButtonRole::Radio;
    rate->set_focus_group(kPollingRateGroup);
    rate->Repaint();
  }
  m_btnResponse.role = skin::ButtonRole::DropDown;
  m_btnResponse.accessible_name = skin::Text(303);
  return true;
}

void CDlgAdvCtrlPanel::PutSettingToControl() {
  ShowPollingRate();
  ShowResponseTime();
}

void CDlgAdvCtrlPanel::ShowPollingRate() {
  const std::int32_t rate = slot().PollingRate;
  if (rate != 1 && rate != 2) return;
  m_btn500Hz.SetCheck(rate == 1);
  m_btn1000Hz.SetCheck(rate == 2);
}

void CDlgAdvCtrlPanel::ShowResponseTime() {
  m_btnResponse.text = win::ToWide(ResponseTimeText(slot().iResponTime));
  m_btnResponse.alignment = 0;
  m_btnResponse.SetTooltipText(m_btnResponse.text);
  RedrawNow(m_btnResponse.hwnd());
}

void CDlgAdvCtrlPanel::ShowResponseMenu() {
  const int profile = ActiveProfileIndex(record());
  const MenuChoice choices[] = {{kResponse1ms, L"1 ms"}, {kResponse2ms, L"2 ms"}};
  if (const UINT chosen = ShowChoiceMenu(hwnd(), m_btnResponse.hwnd(), choices))
    OnResponseCommand(chosen, profile);
}

void CDlgAdvCtrlPanel::OnResponseCommand(UINT command, int profile) {
  ProfileSlot& target = record().profiles[profile];
  const AdvancedCommand cmd = AdvancedMenuCommand(static_cast<int>(command));
  if (cmd.known) {
    target.iResponTime = cmd.response_time;
    if (cmd.rate_index >= 0) target.PollingRate = cmd.rate_index + 1;
  }
  if (profile == ActiveProfileIndex(record())) PutSettingToControl();
}

bool CDlgAdvCtrlPanel::OnCommand(HWND control, UINT id, UINT code) {
  if (control && control == m_btn500Hz.hwnd()) {
    OnResponseCommand(kResponse2ms, ActiveProfileIndex(record()));
  } else if (control && control == m_btn1000Hz.hwnd()) {
    OnResponseCommand(kResponse1ms, ActiveProfileIndex(record()));
  } else if (control && control == m_btnResponse.hwnd()) {
    ShowResponseMenu();
  } else if (!control && id >= kFirstCommand && id <= kLastCommand) {
    OnResponseCommand(id, ActiveProfileIndex(record()));
    return true;
  }
  return Panel::OnCommand(control, id, code);
}

void CDlgAdvCtrlPanel::PaintTexts(HDC dc) {
  PaintPanelLabels(dc, skin::TextAt(Texts(), 1), skin::TextAt(Texts(), 3));
}

}  // namespace vantrel::panels
