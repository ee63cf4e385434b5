#include "shell/main_window.h"

#include <chrono>
#include <string>
#include <thread>

#include "model/macro_store.h"
#include "model/profile_store.h"
#include "panels/adv_ctrl_panel.h"
#include "panels/macro_ctrl_panel.h"
#include "panels/main_ctrl_panel.h"
#include "shell/app_state.h"
#include "shell/data_directory.h"
#include "skin/ex_menu.h"
#include "skin/warning_dialog.h"
#include "win/dialog_templates.h"
#include "win/win_util.h"

namespace vantrel::shell {
namespace {

// Posted to itself at the end of start-up: arrives once the window is up.
constexpr UINT kStartedMessage = WM_APP + 0x40;
// Makes the pages not shown at start-up.
constexpr UINT_PTR kPagesTimer = 3;

struct ButtonSpec {
  const wchar_t* key;
  // Caption entry of the first table; -1 none; 100 + n: "%s %d" of entry 8
  // and n, the number of profile n (1..3) as the user counts it, n + 1.
  int entry;
  enum Layout { kDefault, kTab, kWrapped } layout;
};

constexpr ButtonSpec kButtonSpecs[kMainButtonCount] = {
    {L"1", 0, ButtonSpec::kTab},        {L"2", 1, ButtonSpec::kTab},
    {L"3", 2, ButtonSpec::kTab},        {L"4", 15, ButtonSpec::kTab},
    {L"25", 14, ButtonSpec::kDefault},  {L"10", 3, ButtonSpec::kWrapped},
    {L"6", 4, ButtonSpec::kDefault},    {L"7", 5, ButtonSpec::kDefault},
    {L"8", 6, ButtonSpec::kDefault},    {L"9", 7, ButtonSpec::kDefault},
    {L"11", 101, ButtonSpec::kDefault}, {L"12", 102, ButtonSpec::kDefault},
    {L"13", 103, ButtonSpec::kDefault}, {L"15", 9, ButtonSpec::kWrapped},
    {L"21", 11, ButtonSpec::kDefault},  {L"22", 12, ButtonSpec::kDefault},
    {L"20", 10, ButtonSpec::kDefault},  {L"16", -1, ButtonSpec::kDefault},
    {L"17", -1, ButtonSpec::kDefault},
};

constexpr int kProfileButtons[4] = {kProfile1, kProfile2, kProfile3, kProfile4};

std::wstring CaptionFor(const skin::TextTable& texts, int entry) {
  if (entry < 100) return skin::TextAt(texts, entry);
  wchar_t buffer[300];
  swprintf(buffer, 300, L"%ls %d", skin::TextAt(texts, 8).c_str(), entry - 100 + 1);
  return buffer;
}

}  // namespace

CTevrinDlg::CTevrinDlg()
    : SkinnedDialog(win::kMainTemplate, Drag::Self),
      m_link(*this, {LiveRecord(), BaselineRecord(), MacroStorage(), DataDirectory()}) {}

CTevrinDlg::~CTevrinDlg() {
  // Panels are child windows: destroy them while the parent still exists
  // (the base destroys the main window after the members went otherwise).
  if (hwnd()) DestroyWindow(hwnd());
}

bool CTevrinDlg::OnCreate(const CREATESTRUCTW&) {
  const skin::TextTable& texts = skin::Texts(101, 17);

  const wchar_t* keys[kMainButtonCount];
  skin::CBitmapBtn* buttons[kMainButtonCount];
  for (int k = 0; k < kMainButtonCount; ++k) {
    keys[k] = kButtonSpecs[k].key;
    buttons[k] = &m_buttons[k];
  }
  ApplySkin({L"Skins\\skin_Config.ini", keys, L"skins\\", L"Disable"}, buttons);

  for (int k = 0; k < kMainButtonCount; ++k) {
    const ButtonSpec& spec = kButtonSpecs[k];
    skin::CBitmapBtn& b = m_buttons[k];
    if (spec.layout == ButtonSpec::kTab) {
      b.font_height = 16;
      b.font_width = 6;
    } else if (spec.layout == ButtonSpec::kWrapped) {
      b.draw_flags = kDrawWordBreak;
      b.font_height = 20;
      b.font_width = 8;
    }
    if (spec.entry < 0) continue;
    b.text = CaptionFor(texts, spec.entry);
    b.SetTooltipText(b.text);
    b.Repaint();
  }
  // The tabs and the profile tiles are each a group the arrows walk.
  for (int t = 0; t < 4; ++t) {
    m_buttons[kTab1 + t].role = skin::ButtonRole::PageTab;
    m_buttons[kTab1 + t].set_focus_group(panels::kTabGroup);
  }
  for (int p : kProfileButtons) {
    m_buttons[p].role = skin::ButtonRole::Radio;
    m_buttons[p].set_focus_group(panels::kProfileTileGroup);
  }
  m_buttons[kMinimise].accessible_name = skin::TextAt(texts, 13);
  m_buttons[kClose].accessible_name = skin::CloseButtonName();
  return true;
}

bool CTevrinDlg::OnInitDialog() {
  m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  // The monitor gets its pause before its section is read. The first
  // page's windows, a third of the start-up, are made meanwhile instead of
  // after it; they are filled once the record is in.
  m_link.LaunchMonitor();
  const auto pause_end =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timing.launch_pause_ms);
  CreatePanels();
  std::this_thread::sleep_until(pause_end);

  win::DebugTrace(DataDirectory() + L"\n");
  SetWindowTextW(hwnd(), L"Vantrel");

  m_startup = m_link.LoadStartupRecord();
  SettingsRecord& live = LiveRecord();
  if (!m_startup.keyboard_plugged) PostMessageW(hwnd(), WM_CLOSE, 0, 0);
  // A library file that could not be read is not saved over (SaveMacros).
  if (!MacroStorage().unread) SyncMacroLibrary(Macros(), live);
  m_link.SaveMacros();

  win::DebugTrace(L"\nmain refreshallcontrol\n");
  RefreshAllControl();
  ShowPanel(0);
  ShowProfile(live.CurrentProfile);
  PostMessageW(hwnd(), kStartedMessage, 0, 0);
  // No control takes the keyboard focus (none is a tab stop): false spares
  // the dialog manager's walk over every child for one.
  return false;
}

void CTevrinDlg::CreatePanels() {
  SettingsRecord& live = LiveRecord();
  m_DlgMainCtrlPanel = std::make_unique<panels::CDlgMainCtrlPanel>(live);
  m_DlgMacroCtrlPanel = std::make_unique<panels::CDlgMacroCtrlPanel>(live, MacroStorage());
  m_DlgAdvCtrlPanel = std::make_unique<panels::CDlgAdvCtrlPanel>(live);
  m_DlgLightPanel = std::make_unique<panels::CDlgLightCtrlPanel>(live);
  m_panels = {m_DlgMainCtrlPanel.get(), m_DlgMacroCtrlPanel.get(), m_DlgAdvCtrlPanel.get(),
              m_DlgLightPanel.get()};
  // Only the page the window opens on is made now, and left for the caller
  // to fill; the other three follow as soon as the window is up (or when
  // first asked for). Each page is a skin of five pictures and its buttons:
  // together they were a third of the time to the window.
  MakePanelWindow(0);
}

bool CTevrinDlg::MakePanelWindow(int k) {
  panels::Panel* p = m_panels[k];
  if (!p || p->hwnd() || !hwnd()) return false;
  if (!p->CreateChild(hwnd())) return false;
  MoveWindow(p->hwnd(), 1, 100, 781, 267, FALSE);
  ShowWindow(p->hwnd(), k == m_visiblePanel ? SW_SHOW : SW_HIDE);
  return true;
}

panels::Panel* CTevrinDlg::EnsurePanel(int k) {
  if (k < 0 || k > 3) return nullptr;
  if (MakePanelWindow(k)) RefreshPanel(k);
  return m_panels[k];
}

void CTevrinDlg::CreateRemainingPanels() {
  for (int k = 0; k < 4; ++k) EnsurePanel(k);
}

void CTevrinDlg::RefreshPanel(int k) {
  static const wchar_t* const kTraces[4] = {L"\nm_DlgMainCtrlPanel.PutSettingToControl();\n",
                                            L"\nm_DlgMacroCtrlPanel.PutSettingToControl();\n",
                                            L"\nm_DlgAdvCtrlPanel.PutSettingToControl();\n",
                                            L"\nm_DlgLightPanel.PutSettingToControl();\n"};
  if (k < 0 || k > 3 || !m_panels[k] || !m_panels[k]->hwnd()) return;
  win::DebugTrace(kTraces[k]);
  m_panels[k]->PutSettingToControl();
}

void CTevrinDlg::RefreshAllControl() {
  // A page not made yet is filled when it is made.
  for (int k = 0; k < 4; ++k) RefreshPanel(k);
}

void CTevrinDlg::ReportStartup() {
  if (!m_startup.unreadable.empty())
    skin::Notify(hwnd(), skin::kNoticeNotRead, m_startup.unreadable);
  if (!m_startup.restored.empty()) skin::Notify(hwnd(), skin::kNoticeRestored, m_startup.restored);
  const ApplyOutcome& saved = m_link.last_outcome();
  if (!saved.failed.empty()) skin::Notify(hwnd(), skin::kNoticeNotSaved, saved.failed);
}

void CTevrinDlg::ShowPanel(int k) {
  if (k < 0 || k > 3) return;
  for (int t = 0; t < 4; ++t) m_buttons[kTab1 + t].SetCheck(t == k);
  m_visiblePanel = k;
  EnsurePanel(k);
  for (int t = 0; t < 4; ++t) {
    if (m_panels[t] && m_panels[t]->hwnd()) {
      ShowWindow(m_panels[t]->hwnd(), t == k ? SW_SHOW : SW_HIDE);
    }
  }
}

void CTevrinDlg::SelectProfile(int k) {
  LiveRecord().CurrentProfile = k;
  RefreshAllControl();
  ShowProfile(k);
}

void CTevrinDlg::ShowProfile(int k) {
  ShowProfileButtons(k);
  m_link.NotifyProfile(k);
}

void CTevrinDlg::ShowProfileButtons(int k) {
  if (k < 0 || k > 3) return;
  for (int p = 0; p < 4; ++p) m_buttons[kProfileButtons[p]].SetCheck(p == k);
}

void CTevrinDlg::RefreshLightingPanel() {
  if (m_DlgLightPanel && m_DlgLightPanel->hwnd()) m_DlgLightPanel->PutSettingToControl();
}

void CTevrinDlg::CloseWaiting() {
  m_DlgWaitting.OnOK();
  ReleaseCapture();
}

bool CTevrinDlg::SwallowsKey(WPARAM vk) const { return vk == VK_F1; }

// Timers 1 and 2 belong to the monitor link (closing the waiting window).
bool CTevrinDlg::OnTimer(UINT_PTR id) {
  if (id == kPagesTimer) {
    KillTimer(hwnd(), kPagesTimer);
    CreateRemainingPanels();
    return true;
  }
  return m_link.OnTimer(id);
}

bool CTevrinDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_APPLY_ALL_SETTING) {
    // Handled here, not before dispatch, so a notice that arrives while a
    // menu, a file dialog or a message box runs its own loop is not lost.
    // Both programs post; one sent by another program is refused.
    if (InSendMessage()) {
      win::DebugTrace(L"\nWM_APPLY_ALL_SETTING sent, not posted: ignored\n");
    } else {
      m_link.OnApplyAllSetting(wp, lp);
    }
    result = 0;
    return true;
  }
  if (msg == WM_ENABLE && wp) {
    // The dialog that held the keyboard's switches has closed.
    m_link.ReleaseHeldNotices();
    return false;
  }
  if (msg == kStartedMessage) {
    // Menus can appear only from here on. The menu hook is a hook on every
    // message sent on this thread, which under Wine costs a trip to the
    // window server per message: installed before start-up it doubled the
    // time to create the pages' two hundred windows.
    skin::InstallMenuHook();
    // The other pages once the window has painted: a timer message comes
    // after the first WM_PAINT.
    SetTimer(hwnd(), kPagesTimer, 1, nullptr);
    ReportStartup();
    return true;
  }
  if (msg == WM_QUERYDRAGICON) {
    result = reinterpret_cast<LRESULT>(m_hIcon);
    return true;
  }
  return false;
}

}  // namespace vantrel::shell
