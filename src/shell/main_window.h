// CTevrinDlg: the program's main window. A skinned, borderless dialog run
// modally by the application object; its loop is the program's only message
// loop. It hosts the four pages, holds the nineteen skinned buttons, runs
// every apply through the waiting window and keeps the link to the monitor.
//
// Split by concern: main_window.cpp (creation, start-up, pages, profiles,
// painting), main_window_commands.cpp (the buttons); the monitor link
// (section, mutex and message 1224) is its own unit, monitor_link.h, which
// reaches this window through MonitorLinkHost.
#pragma once

#include <windows.h>

#include <array>
#include <filesystem>
#include <memory>

#include "model/settings_record.h"
#include "panels/light_ctrl_panel.h"
#include "panels/panel.h"
#include "shell/monitor_link.h"
#include "shell/wait_dialog.h"
#include "skin/bitmap_btn.h"
#include "skin/lang_strings.h"
#include "skin/skinned_dialog.h"

namespace vantrel::shell {

// The nineteen buttons, in the order their "BUTTONPOS" keys are read.
enum MainButton : int {
  kTab1,
  kTab2,
  kTab3,
  kTab4,
  kRestore,
  kProfile1,
  kProfileFormEmpty,
  kImport,
  kExport,
  kProfileFormFilled,
  kProfile2,
  kProfile3,
  kProfile4,
  kMacroManager,
  kApply,
  kCancel,
  kOK,
  kMinimise,
  kClose,
  kMainButtonCount
};

class CTevrinDlg : public skin::SkinnedDialog, private MonitorLinkHost {
 public:
  CTevrinDlg();
  ~CTevrinDlg() override;

 private:
  MonitorLink m_link;  // ahead of `timing`, which names its timings

 public:
  // Timings of the link; tests shorten them.
  MonitorLink::Timing& timing = m_link.timing;

  void ShowPanel(int k);
  void SelectProfile(int k);
  void ShowProfile(int k);
  void RefreshAllControl() override;
  void ImportProfile();
  void ExportProfile();
  // A complete backup: asks first, then replaces the four profiles and the
  // library in the live record, every profile's flags raised for the next
  // apply. A damaged one changes nothing and says so.
  void ImportBackup(const std::filesystem::path& file);
  void ApplySetting(int mode) { m_link.ApplySetting(mode); }

  skin::CBitmapBtn& button(int k) { return m_buttons[k]; }
  // Page k, made first if it is not yet (nullptr outside 0..3).
  panels::Panel* panel(int k) { return EnsurePanel(k); }
  CDlgWaitting& waiting() { return m_DlgWaitting; }
  int visible_panel() const { return m_visiblePanel; }
  bool link_open() const { return m_link.open(); }
  MonitorLink& link() { return m_link; }

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnInitDialog() override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  bool OnTimer(UINT_PTR id) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool SwallowsKey(WPARAM vk) const override;

 private:
  // Makes the page objects and the first page's window, not filled.
  void CreatePanels();
  // Makes page k's window when it has none; true when it was made now.
  bool MakePanelWindow(int k);
  // Page k, made and filled from the live record if it was not made yet.
  panels::Panel* EnsurePanel(int k);
  void CreateRemainingPanels();
  void RefreshPanel(int k);
  // Runs the waiting window (the apply happens while it is shown), then
  // tells the user what the apply could not do. True when it all went well.
  bool RunWaiting(int mode);
  // The stored files the start-up could not read, or put back.
  void ReportStartup();
  void RestoreDefaults();
  void OpenMacroManager();
  void OpenProfileForm(int mode);

  // MonitorLinkHost.
  HWND LinkWindow() const override { return hwnd(); }
  void ShowProfileButtons(int profile) override;
  void RefreshLightingPanel() override;
  void CloseWaiting() override;
  bool TakeApplyRequest(WPARAM mode) override { return m_DlgWaitting.TakeRequest(mode); }
  // Our dialogs (and the system's file dialogs) disable this window while
  // they run.
  bool HoldKeyboardNotices() const override { return !IsWindowEnabled(hwnd()); }

  std::array<skin::CBitmapBtn, kMainButtonCount> m_buttons;
  HICON m_hIcon = nullptr;

  std::unique_ptr<panels::Panel> m_DlgMainCtrlPanel, m_DlgMacroCtrlPanel, m_DlgAdvCtrlPanel;
  std::unique_ptr<panels::CDlgLightCtrlPanel> m_DlgLightPanel;
  std::array<panels::Panel*, 4> m_panels{};
  int m_visiblePanel = -1;

  CDlgWaitting m_DlgWaitting;
  StartupRecord m_startup{};
};

}  // namespace vantrel::shell
