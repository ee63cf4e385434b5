// The pages inside the real main window, end to end: remap a key, change the
// lighting and the polling rate, apply, and the monitor (a stand-in in this
// process, under the real section, mutex and window names) receives the
// edited record with exactly the flags of what was edited.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>

#include "model/settings_record.h"
#include "panels/adv_ctrl_panel.h"
#include "panels/key_assi.h"
#include "panels/light_ctrl_panel.h"
#include "panels/main_ctrl_panel.h"
#include "shell/main_window.h"
#include "shell_fixture.h"
#include "win/keyboard_capture.h"

namespace vantrel {
namespace {

using testing::Click;
using testing::FakeMonitor;
using testing::Script;

void Command(HWND panel, UINT id) { SendMessageW(panel, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

TEST(PagesEndToEnd, EditsReachTheMonitorWithExactlyTheirFlags) {
  testing::PrepareShellTest();
  FakeMonitor monitor;  // profile 1 is active
  auto dlg = std::make_unique<shell::CTevrinDlg>();
  dlg->timing = {0, 50};
  dlg->waiting().request_delay_ms = 30;
  win::SetMainWindow(dlg.get());

  auto* keys = dynamic_cast<panels::CDlgMainCtrlPanel*>(dlg->panel(0));
  auto* advanced = dynamic_cast<panels::CDlgAdvCtrlPanel*>(dlg->panel(2));
  auto* lighting = dynamic_cast<panels::CDlgLightCtrlPanel*>(dlg->panel(3));
  size_t notices_before_apply = 0;
  Script script({
      [&] {
        // The pages exist once the modal loop runs.
        keys = dynamic_cast<panels::CDlgMainCtrlPanel*>(dlg->panel(0));
        advanced = dynamic_cast<panels::CDlgAdvCtrlPanel*>(dlg->panel(2));
        lighting = dynamic_cast<panels::CDlgLightCtrlPanel*>(dlg->panel(3));
        if (!keys || !advanced || !lighting) return false;
        Click(keys->hwnd(), keys->key(0).hwnd());  // runs the key assignment
        return true;
      },
      [&] {
        auto* assign = testing::OpenDialog<panels::CDlgKeyAssi>(dlg->hwnd());
        if (!assign) return false;
        PostMessageW(assign->hwnd(), win::WM_CAPTUREDKEY, 'Q', 0);
        PostMessageW(assign->hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(assign->m_btnOk.hwnd()));
        return true;
      },
      [&] {
        if (testing::OpenDialog<panels::CDlgKeyAssi>(dlg->hwnd())) return false;
        dlg->ShowPanel(3);
        Command(lighting->hwnd(), 2007);  // mode 3
        Command(lighting->hwnd(), 2011);  // level 3
        dlg->ShowPanel(2);
        Click(advanced->hwnd(), advanced->m_btn1000Hz.hwnd());
        notices_before_apply = monitor.notices.size();
        Click(dlg->hwnd(), dlg->button(shell::kApply).hwnd());
        return true;
      },
      [&] {
        if (monitor.notices.size() <= notices_before_apply) return false;
        PostMessageW(dlg->hwnd(), WM_CLOSE, 0, 0);
        return true;
      },
  });
  dlg->RunModal(nullptr);
  EXPECT_TRUE(script.finished());
  win::SetMainWindow(nullptr);
  dlg.reset();
  testing::DrainQuit();

  const SettingsRecord& s = monitor.section();
  ASSERT_EQ(s.CurrentProfile, 1);
  const ProfileSlot& slot = s.profiles[1];
  EXPECT_EQ(slot.standardkey[0], 0x14);
  EXPECT_EQ(slot.LtEffectType, 3);
  EXPECT_EQ(slot.iLtPulsation, 3);
  EXPECT_EQ(slot.PollingRate, 2);
  EXPECT_EQ(slot.iResponTime, 1);
  // The other slots went out untouched.
  SettingsRecord factory{};
  ResetRecord(factory);
  ApplyFactoryDefaultsAll(factory);
  for (int p : {0, 2, 3}) {
    EXPECT_EQ(std::memcmp(&s.profiles[p], &factory.profiles[p], sizeof(ProfileSlot)), 0) << p;
  }

  // Exactly the flags of profile 1's three edited groups.
  for (int p = 0; p < kFlagEntries; ++p) {
    const int edited = p == 1 ? 1 : 0;
    EXPECT_EQ(s.StandardKeyChanged[p], edited) << p;
    EXPECT_EQ(s.LightingChanged[p], edited) << p;
    EXPECT_EQ(s.AdvancedChanged[p], edited) << p;
    EXPECT_EQ(s.ModifyKeyChanged[p], 0) << p;
    EXPECT_EQ(s.ProfileImported[p], 0) << p;
    EXPECT_EQ(s.DefaultsRestored[p], 0) << p;
    for (int k = 0; k < kKeyAssignments; ++k) EXPECT_EQ(s.MacroKeyInfoChanged[p][k], 0);
  }
  EXPECT_EQ(s.CurrentProfileChanged, 0);
  EXPECT_EQ(s.HddKeyboardChanged, 0);
}

}  // namespace
}  // namespace vantrel
