// The main window end to end in this process: start-up with and without a
// monitor, profile buttons, apply and OK through the waiting window, the
// restore warning, the keys no window reacts to.
#include "shell/main_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "model/ini_file.h"
#include "model/macro_store.h"
#include "model/profile_store.h"
#include "model/text.h"
#include "panels/key_assi.h"
#include "panels/light_ctrl_panel.h"
#include "panels/macro_man.h"
#include "panels/main_ctrl_panel.h"
#include "shell/app_state.h"
#include "shell_fixture.h"
#include "skin/ex_menu.h"
#include "skin/warning_dialog.h"
#include "win/keyboard_capture.h"
#include "win/window.h"

namespace vantrel::shell {
namespace {

using namespace vantrel::skin;

namespace fs = std::filesystem;
using testing::Click;
using testing::FakeMonitor;
using testing::Script;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = testing::PrepareShellTest();
    dlg_ = std::make_unique<CTevrinDlg>();
    dlg_->timing = {0, 50};
    dlg_->waiting().request_delay_ms = 30;
    win::SetMainWindow(dlg_.get());
  }
  void TearDown() override {
    win::SetMainWindow(nullptr);
    dlg_.reset();
    testing::DrainQuit();
  }
  INT_PTR Run() { return dlg_->RunModal(nullptr); }
  HWND main() const { return dlg_->hwnd(); }
  bool WaitingShown() const {
    HWND w = FindWindowW(nullptr, L"Waiting");
    return w && IsWindowVisible(w);
  }

  fs::path data_;
  std::unique_ptr<CTevrinDlg> dlg_;
};

TEST_F(MainWindowTest, StartsCentredShapedOnTheFirstPageAndTellsTheMonitorItsProfile) {
  skin::RemoveMenuHook();  // an earlier test's window may have installed it
  FakeMonitor monitor;
  // The first page is made before the monitor's record is read: it must
  // still show that record, in the monitor's profile.
  monitor.section().profiles[1].standardkey[5] = 0x14;
  monitor.section().profiles[0].standardkey[7] = 0x14;
  Script script({[&] {
    RECT r, work;
    GetWindowRect(main(), &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(main(), rgn), ERROR) << "outline from the mask";
    DeleteObject(rgn);
    wchar_t title[32]{};
    GetWindowTextW(main(), title, 32);
    EXPECT_STREQ(title, L"Vantrel");
    EXPECT_EQ(dlg_->visible_panel(), 0);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(IsWindowVisible(dlg_->panel(k)->hwnd()) != 0, k == 0) << k;
      RECT pr;
      GetWindowRect(dlg_->panel(k)->hwnd(), &pr);
      EXPECT_EQ(pr.right - pr.left, 781);
      EXPECT_EQ(pr.bottom - pr.top, 267);
    }
    EXPECT_TRUE(dlg_->button(kProfile2).GetCheck()) << "the monitor's profile 1";
    const auto& keys = static_cast<panels::CDlgMainCtrlPanel&>(*dlg_->panel(0));
    EXPECT_TRUE(keys.key(5).GetCheck()) << "remapped in profile 1";
    EXPECT_FALSE(keys.key(7).GetCheck()) << "remapped in profile 0 only";
    EXPECT_TRUE(dlg_->button(kTab1).GetCheck());
    EXPECT_EQ(dlg_->button(kProfile2).text, L"Profile 2");
    // Menus get their frame from the hook the window installs once it is up.
    EXPECT_TRUE(skin::MenuHookInstalled());
    Click(main(), dlg_->button(kClose).hwnd());
    return true;
  }});
  EXPECT_EQ(Run(), IDCANCEL);
  ASSERT_EQ(monitor.notices.size(), 1u);
  EXPECT_EQ(monitor.notices[0].wp, 2u);
  EXPECT_EQ(monitor.notices[0].lp, 1);
  EXPECT_FALSE(fs::exists(data_ / L"config.ini")) << "close saves nothing";
}

TEST_F(MainWindowTest, StartsTheMonitorExeFromItsOwnFolderWhenNoMonitorRuns) {
  const fs::path marker = data_ / L"pelox_started";
  Script script({[&] { return fs::exists(marker); },
                 [&] {
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
  EXPECT_FALSE(dlg_->link_open());
}

TEST_F(MainWindowTest, EndsByItselfWhenTheMonitorSaysNoKeyboardIsPlugged) {
  FakeMonitor monitor(0);
  const DWORD start = GetTickCount();
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_LT(GetTickCount() - start, 3000u);
}

TEST_F(MainWindowTest, ProfileButtonsSelectAtOnceAndCancelKeepsTheStoredProfile) {
  FakeMonitor monitor;
  fs::create_directories(data_);
  std::string config_before;
  Script script({[&] {
                   // Make config.ini exist, with profile 1 (the monitor's) active.
                   Click(main(), dlg_->button(kApply).hwnd());
                   return true;
                 },
                 [&] { return !WaitingShown() && monitor.notices.size() == 2; },
                 [&] {
                   config_before = testing::FileBytes(data_ / L"config.ini");
                   Click(main(), dlg_->button(kProfile3).hwnd());
                   return true;
                 },
                 [&] {
                   if (monitor.notices.size() < 3) return false;
                   EXPECT_EQ(monitor.notices[2].wp, 2u);
                   EXPECT_EQ(monitor.notices[2].lp, 2);
                   EXPECT_EQ(monitor.notices[2].section_profile, 1) << "no apply yet";
                   EXPECT_EQ(LiveRecord().CurrentProfile, 2);
                   const int buttons[] = {kProfile1, kProfile2, kProfile3, kProfile4};
                   for (int p = 0; p < 4; ++p)
                     EXPECT_EQ(dlg_->button(buttons[p]).GetCheck(), p == 2);
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_FALSE(config_before.empty());
  EXPECT_EQ(testing::FileBytes(data_ / L"config.ini"), config_before);
}

TEST_F(MainWindowTest, ApplyPublishesBeforeNotifyingAndOkEndsTheProgram) {
  FakeMonitor monitor;
  bool waiting_seen = false;
  Script script({[&] {
                   ActiveSlot(LiveRecord()).LtEffectType = 4;  // an edit to publish
                   Click(main(), dlg_->button(kOK).hwnd());
                   return true;
                 },
                 [&] { return waiting_seen = WaitingShown(); }});
  Run();
  EXPECT_TRUE(waiting_seen);
  ASSERT_EQ(monitor.notices.size(), 2u);
  const FakeMonitor::Notice& apply = monitor.notices[1];
  EXPECT_EQ(apply.wp, 0u);
  EXPECT_EQ(apply.lp, 0);
  EXPECT_TRUE(apply.config_written) << "files are saved before the notice";
  EXPECT_EQ(monitor.section().profiles[1].LtEffectType, 4);
  EXPECT_EQ(monitor.section().LightingChanged[1], 1);
  EXPECT_TRUE(fs::exists(data_ / L"config" / L"Default3.gkp"));
  EXPECT_TRUE(fs::exists(data_ / L"sequence.dat"));
}

TEST_F(MainWindowTest, ApplyWithoutMonitorSavesAndTimerOneClosesTheWaitingWindow) {
  Script script({[&] {
                   fs::remove_all(data_);  // saving makes the folders it needs
                   Click(main(), dlg_->button(kApply).hwnd());
                   return true;
                 },
                 [&] { return WaitingShown(); }, [&] { return !WaitingShown(); },
                 [&] {
                   EXPECT_TRUE(fs::exists(data_ / L"config.ini"));
                   EXPECT_TRUE(fs::exists(data_ / L"config" / L"Default0.gkp"));
                   EXPECT_EQ(std::memcmp(&LiveRecord(), &BaselineRecord(), sizeof(SettingsRecord)),
                             0);
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
}

TEST_F(MainWindowTest, WaitingWindowGivesUpWhenTheMonitorNeverAnswers) {
  FakeMonitor monitor(1, /*acknowledge=*/false);
  dlg_->timing.ack_wait_ms = 100;
  Script script({[&] {
                   Click(main(), dlg_->button(kApply).hwnd());
                   return true;
                 },
                 [&] { return WaitingShown(); }, [&] { return !WaitingShown(); },
                 [&] {
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
}

TEST_F(MainWindowTest, RestoreDefaultsOnlyAfterTheWarningsOk) {
  FakeMonitor monitor;
  auto press = [&](bool ok) {
    return [&, ok] {
      auto* warning = testing::OpenDialog<CDlgWarning>(main());
      if (!warning) return false;
      EXPECT_EQ(warning->kind, 0);
      Click(warning->hwnd(), ok ? warning->m_btnOK.hwnd() : warning->m_btnCancel.hwnd());
      return true;
    };
  };
  Script script({[&] {
                   ActiveSlot(LiveRecord()).PollingRate = 2;
                   Click(main(), dlg_->button(kRestore).hwnd());
                   return true;
                 },
                 press(false),
                 [&] {
                   if (testing::OpenDialog<CDlgWarning>(main())) return false;
                   EXPECT_EQ(monitor.notices.size(), 1u);
                   EXPECT_EQ(ActiveSlot(LiveRecord()).PollingRate, 2);
                   Click(main(), dlg_->button(kRestore).hwnd());
                   return true;
                 },
                 press(true), [&] { return monitor.notices.size() == 2 && !WaitingShown(); },
                 [&] {
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  Run();
  ASSERT_EQ(monitor.notices.size(), 2u);
  EXPECT_EQ(monitor.notices[1].wp, 1u);
  const SettingsRecord& s = monitor.section();
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(s.DefaultsRestored[p], 1) << p;
    EXPECT_EQ(s.StandardKeyChanged[p], 1) << p;
  }
  auto factory = std::make_unique<SettingsRecord>();
  ResetRecord(*factory);
  ApplyFactoryDefaultsAll(*factory);
  EXPECT_EQ(s.profiles[1].PollingRate, factory->profiles[1].PollingRate);
}

// Enter, Esc, Space and F1 never reach a control as keys: the window takes
// them (pressing the focused control on release; F1 does nothing).
TEST_F(MainWindowTest, EnterEscSpaceAndF1AreTakenByTheWindow) {
  Script script({[&] {
                   HWND targets[] = {main(), dlg_->button(kApply).hwnd(), dlg_->panel(0)->hwnd()};
                   for (HWND target : targets) {
                     for (UINT vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_F1}) {
                       for (UINT m : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN}) {
                         MSG msg{target, m, vk, 0};
                         EXPECT_TRUE(win::PreTranslateChain(msg)) << vk << " " << m;
                       }
                     }
                     MSG other{target, WM_KEYDOWN, 'A', 0};
                     EXPECT_FALSE(win::PreTranslateChain(other));
                   }
                   Click(main(), dlg_->button(kRestore).hwnd());
                   return true;
                 },
                 [&] {
                   auto* warning = testing::OpenDialog<CDlgWarning>(main());
                   if (!warning) return false;
                   for (UINT vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_F1}) {
                     MSG msg{warning->m_btnOK.hwnd(), WM_KEYDOWN, vk, 0};
                     EXPECT_TRUE(win::PreTranslateChain(msg)) << vk;
                   }
                   Click(warning->hwnd(), warning->m_btnClose.hwnd());
                   return true;
                 },
                 [&] {
                   if (testing::OpenDialog<CDlgWarning>(main())) return false;
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
}

// The platform's file dialog of this thread, once it is up.
HWND FileDialog() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM lp) {
        wchar_t cls[16]{};
        GetClassNameW(h, cls, 16);
        if (IsWindowVisible(h) && std::wstring(cls) == L"#32770") *reinterpret_cast<HWND*>(lp) = h;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Types `path` into the file dialog's name field and confirms it.
std::function<bool()> ChooseFile(fs::path path) {
  path.make_preferred();  // the dialog takes backslashes only
  return [path] {
    HWND dlg = FileDialog();
    if (!dlg) return false;
    // The name field: an edit (edt1) or, in the explorer style, a combo box (cmb13).
    for (int id : {0x480, 0x47c}) SetDlgItemTextW(dlg, id, path.wstring().c_str());
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    return true;
  };
}

TEST_F(MainWindowTest, ExportAndImportThroughTheFileDialogs) {
  const fs::path exported = data_ / L"My.gkp";
  const fs::path text = data_ / L"notes.txt";
  std::u16string name_before_import;
  Script script({[&] {
                   ToFixed(ActiveSlot(LiveRecord()).ProFileName, u"Exported name");
                   Click(main(), dlg_->button(kExport).hwnd());
                   return true;
                 },
                 ChooseFile(exported),
                 [&] {
                   if (FileDialog() || !fs::exists(exported)) return false;
                   IniFile config(data_ / L"config.ini");
                   config.Load();
                   EXPECT_EQ(config.ReadString(u"Profile1", u"FileName", u"", 64), u"My");
                   EXPECT_TRUE(fs::exists(data_ / L"config" / L"My.gkp"));
                   std::ofstream(text) << "[Setting]\nProFileName=Hijack\n";
                   ToFixed(ActiveSlot(LiveRecord()).ProFileName, u"Changed");
                   Click(main(), dlg_->button(kImport).hwnd());
                   return true;
                 },
                 ChooseFile(text),
                 [&] {
                   if (FileDialog()) return false;
                   EXPECT_EQ(FromFixed(ActiveSlot(LiveRecord()).ProFileName), u"Changed");
                   EXPECT_EQ(LiveRecord().ProfileImported[0], 0);
                   Click(main(), dlg_->button(kImport).hwnd());
                   return true;
                 },
                 ChooseFile(exported),
                 [&] {
                   if (FileDialog()) return false;
                   EXPECT_EQ(FromFixed(ActiveSlot(LiveRecord()).ProFileName), u"Exported name");
                   EXPECT_EQ(LiveRecord().ProfileImported[0], 1);
                   EXPECT_EQ(LiveRecord().ProfileImported[1], 0);
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
}

// ---- Keys and notices reach the window they are for ----------------------

// A key pressed and released as the keyboard queues it: through the modal
// loop and its filters, not straight to the window procedure.
void PostKey(HWND target, UINT vk) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(target, WM_KEYDOWN, vk, scan | 1);
  PostMessageW(target, WM_KEYUP, vk, scan | 1 | (LPARAM{3} << 30));
}
void PostChars(HWND target, const wchar_t* text) {
  for (; *text; ++text) PostMessageW(target, WM_CHAR, *text, 1);
}
std::wstring WindowText(HWND hwnd) {
  wchar_t buf[64]{};
  GetWindowTextW(hwnd, buf, 64);
  return buf;
}
int Lines(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }

TEST_F(MainWindowTest, MacroManagerEditorsTakeSpaceEnterAndEscUnderTheMainWindow) {
  FakeMonitor monitor;
  auto paused = std::make_unique<MacroRecord>();
  ToFixed(paused->name, u"Paused");
  paused->events[0] = {0x04, 1, 30};  // A down, then a 30 ms pause
  paused->events[1] = {0x04, 2, 0};
  paused->eventCount = 2;
  Macros().clear();
  Macros().push_back(std::move(paused));
  ASSERT_TRUE(SaveMacroLibrary(Macros(), MacroFile()));
  panels::CDlgMacroMan* d = nullptr;
  int pause_lines = 0;
  auto manager = [&] { return d = testing::OpenDialog<panels::CDlgMacroMan>(main()); };
  auto type = [&](const wchar_t* text) {
    return [&, text] {
      PostChars(d->m_macroList.editor(), text);
      return true;
    };
  };
  Script script({[&] {
                   Click(main(), dlg_->button(kMacroManager).hwnd());
                   return true;
                 },
                 [&] {
                   if (!manager()) return false;
                   Click(d->hwnd(), d->m_btnNew.hwnd());
                   return true;
                 },
                 [&] { return d->m_macroList.editor() != nullptr; }, type(L"Rapid"),
                 [&] {
                   PostKey(d->m_macroList.editor(), VK_SPACE);
                   return true;
                 },
                 type(L"fire"),
                 [&] {
                   EXPECT_EQ(WindowText(d->m_macroList.editor()), L"Rapid fire");
                   PostKey(d->m_macroList.editor(), VK_RETURN);
                   return true;
                 },
                 [&] {
                   if (d->m_macroList.editor()) return false;
                   EXPECT_EQ(Macros().size(), 2u) << "Enter committed the name";
                   Click(d->hwnd(), d->m_btnNew.hwnd());
                   return true;
                 },
                 [&] { return d->m_macroList.editor() != nullptr; }, type(L"Dropped"),
                 [&] {
                   PostKey(d->m_macroList.editor(), VK_ESCAPE);
                   return true;
                 },
                 [&] {
                   if (d->m_macroList.editor()) return false;
                   EXPECT_EQ(Macros().size(), 2u) << "Esc gave the new name up";
                   EXPECT_EQ(Lines(d->m_macroList.hwnd()), 2);
                   // The pause of "Paused": its editor cancelled by Esc.
                   SendMessageW(d->m_macroList.hwnd(), LB_SETCURSEL, 0, 0);
                   d->SelectMacro(0);
                   pause_lines = Lines(d->m_eventList.hwnd());
                   d->RunEventCommand(panels::CDlgMacroMan::kCmdEdit, 1);
                   return d->m_eventList.editor() != nullptr;
                 },
                 [&] {
                   PostChars(d->m_eventList.editor(), L"9");
                   PostKey(d->m_eventList.editor(), VK_ESCAPE);
                   return true;
                 },
                 [&] {
                   if (d->m_eventList.editor()) return false;
                   EXPECT_EQ(Lines(d->m_eventList.hwnd()), pause_lines) << "the pause line is back";
                   EXPECT_EQ(d->current_macro()->events[0].delayMs, 30);
                   Click(d->hwnd(), d->m_btnOK.hwnd());
                   return true;
                 },
                 [&] {
                   if (manager()) return false;
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
  MacroLibrary stored;
  LoadMacroLibrary(stored, MacroFile());
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(FromFixed(stored[1]->name), u"Rapid fire");
}

// A keyboard-side switch and an acknowledgement posted while a loop we do
// not own runs (a popup menu, the file dialog) or while one of our dialogs
// runs: each is acted on, once the window can show it.
TEST_F(MainWindowTest, NoticesAreActedOnWhateverLoopRuns) {
  FakeMonitor monitor(1, /*acknowledge=*/false);
  dlg_->timing.ack_wait_ms = 10000;  // only the acknowledgement closes it
  HWND main_hwnd = nullptr;
  auto post = [&](WPARAM wp, LPARAM lp) { PostMessageW(main_hwnd, WM_APPLY_ALL_SETTING, wp, lp); };
  auto shows = [&](int p) {
    const int buttons[] = {kProfile1, kProfile2, kProfile3, kProfile4};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(dlg_->button(buttons[k]).GetCheck(), k == p) << k;
    EXPECT_EQ(LiveRecord().CurrentProfile, p);
  };
  auto menu_window = [] { return FindWindowW(L"#32768", nullptr); };
  Script script({[&] {
                   main_hwnd = main();
                   dlg_->ShowPanel(3);
                   auto* lighting = static_cast<panels::CDlgLightCtrlPanel*>(dlg_->panel(3));
                   Click(lighting->hwnd(), lighting->m_btnMode.hwnd());  // the mode menu opens
                   return true;
                 },
                 [&] {
                   if (!menu_window()) return false;
                   post(3, 20);
                   return true;
                 },
                 [&] {
                   if (LiveRecord().CurrentProfile != 3) return false;
                   EndMenu();
                   return true;
                 },
                 [&] {
                   if (menu_window()) return false;
                   shows(3);
                   // The acknowledgement of an apply, with a menu over the waiting window.
                   Click(main(), dlg_->button(kApply).hwnd());
                   return true;
                 },
                 [&] { return monitor.notices.size() >= 2 && WaitingShown(); },
                 [&] {
                   HMENU menu = CreatePopupMenu();
                   AppendMenuW(menu, MF_STRING, 1, L"item");
                   HWND waiting = FindWindowW(nullptr, L"Waiting");
                   SetForegroundWindow(waiting);
                   TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, waiting,
                                  nullptr);  // runs the steps below
                   DestroyMenu(menu);
                   return true;
                 },
                 [&] {
                   if (!menu_window()) return false;
                   post(0, 1);
                   return true;
                 },
                 [&] {
                   // Taken inside the menu's loop; the waiting window goes once its
                   // own loop runs again.
                   if (dlg_->link().awaiting_ack()) return false;
                   EndMenu();
                   return true;
                 },
                 [&] {
                   if (WaitingShown()) return false;
                   Click(main(), dlg_->button(kExport).hwnd());
                   return true;
                 },
                 [&] {
                   if (!FileDialog()) return false;
                   post(0, 20);  // held: the dialog may be exporting the profile shown
                   return true;
                 },
                 [&] {
                   EXPECT_EQ(LiveRecord().CurrentProfile, 3);
                   PostMessageW(FileDialog(), WM_COMMAND, IDCANCEL, 0);
                   return true;
                 },
                 [&] {
                   if (FileDialog() || LiveRecord().CurrentProfile != 0) return false;
                   shows(0);
                   Click(main(), dlg_->button(kMacroManager).hwnd());
                   return true;
                 },
                 [&] {
                   auto* manager = testing::OpenDialog<panels::CDlgMacroMan>(main());
                   if (!manager) return false;
                   post(2, 20);
                   post(1, 30);  // lighting code 1 is mode 2, in the profile switched to
                   Click(manager->hwnd(), manager->m_btnCancel.hwnd());
                   return true;
                 },
                 [&] {
                   if (testing::OpenDialog<panels::CDlgMacroMan>(main())) return false;
                   shows(2);
                   EXPECT_EQ(LiveRecord().profiles[2].LtEffectType, 2);
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
}

// The key dialog writes the profile it was opened on; the keyboard's
// switch that came meanwhile follows when it closes.
TEST_F(MainWindowTest, AKeyDialogWritesTheProfileItWasOpenedOn) {
  FakeMonitor monitor;  // profile 1 is active
  const std::uint8_t before2 = monitor.section().profiles[2].standardkey[10];
  Script script({[&] {
                   auto* keys = static_cast<panels::CDlgMainCtrlPanel*>(dlg_->panel(0));
                   Click(keys->hwnd(), keys->key(10).hwnd());
                   return true;
                 },
                 [&] {
                   auto* key = testing::OpenDialog<panels::CDlgKeyAssi>(main());
                   if (!key) return false;
                   PostMessageW(main(), WM_APPLY_ALL_SETTING, 2, 20);
                   PostMessageW(key->hwnd(), win::WM_CAPTUREDKEY, 'Q', 0);
                   return true;
                 },
                 [&] {
                   auto* key = testing::OpenDialog<panels::CDlgKeyAssi>(main());
                   if (!key || key->m_newCode == 0) return false;
                   EXPECT_EQ(LiveRecord().CurrentProfile, 1) << "held while the dialog runs";
                   Click(key->hwnd(), key->m_btnOk.hwnd());
                   return true;
                 },
                 [&] {
                   if (testing::OpenDialog<panels::CDlgKeyAssi>(main())) return false;
                   if (LiveRecord().CurrentProfile != 2) return false;
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(LiveRecord().profiles[1].standardkey[10], 0x14) << "Q, in the profile opened on";
  EXPECT_EQ(LiveRecord().StandardKeyChanged[1], 1);
  EXPECT_EQ(LiveRecord().profiles[2].standardkey[10], before2);
  EXPECT_EQ(LiveRecord().StandardKeyChanged[2], 0);
}

// Apply requests come from our own waiting window only, once.
TEST_F(MainWindowTest, AStrayApplyRequestRestoresNothing) {
  FakeMonitor monitor;
  Script script({[&] {
                   ActiveSlot(LiveRecord()).PollingRate = 2;
                   PostMessageW(main(), WM_APPLY_ALL_SETTING, 1, 2);  // "restore", from anyone
                   PostMessageW(main(), WM_APPLY_ALL_SETTING, 0, 2);
                   return true;
                 },
                 [&] {
                   EXPECT_EQ(ActiveSlot(LiveRecord()).PollingRate, 2);
                   EXPECT_EQ(monitor.notices.size(), 1u) << "nothing published";
                   EXPECT_FALSE(fs::exists(data_ / L"config.ini"));
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
}

// ---- Nothing the user saved is lost or reported done when it failed -------

// A file held by another program: share 0 (nothing opens it) or read-only
// sharing (it reads, but nothing replaces it).
class HeldFile {
 public:
  HeldFile(const fs::path& path, DWORD share)
      : h_(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HeldFile() { Release(); }
  void Release() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }
  bool held() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

// Presses OK on the notice of `text` that names `file`, over the main
// window of `test`.
std::function<bool()> AcknowledgeNotice(const std::unique_ptr<CTevrinDlg>& dlg, UINT text,
                                        const wchar_t* file) {
  return [&dlg, text, file] {
    auto* notice = testing::OpenDialog<CDlgWarning>(dlg->hwnd());
    if (!notice) return false;
    EXPECT_EQ(notice->kind, CDlgWarning::kNotice);
    const std::wstring want = NoticeMessage(text, {fs::path(file ? file : L"")});
    EXPECT_EQ(notice->message, want);
    Click(notice->hwnd(), notice->m_btnOK.hwnd());
    return true;
  };
}

TEST_F(MainWindowTest, FilesHeldAtStartUpAreToldAndNeverReplaced) {
  // The stored files of an earlier run, then two of them held without sharing.
  {
    auto r = std::make_unique<SettingsRecord>();
    ResetRecord(*r);
    ApplyFactoryDefaultsAll(*r);
    r->KeyboardPlugIn = 1;
    ToFixed(r->profiles[2].ProFileName, u"Held profile");
    ASSERT_TRUE(SaveAllProfiles(*r, ProfilePaths{data_}));
    MacroLibrary library;
    library.push_back(std::make_unique<MacroRecord>());
    ToFixed(library[0]->name, u"Held macro");
    ASSERT_TRUE(SaveMacroLibrary(library, data_ / L"sequence.dat"));
  }
  const fs::path profile = data_ / L"config" / L"Default2.gkp";
  const std::string profile_before = testing::FileBytes(profile);
  const std::string macros_before = testing::FileBytes(data_ / L"sequence.dat");
  HeldFile held_profile(profile, 0), held_macros(data_ / L"sequence.dat", 0);
  ASSERT_TRUE(held_profile.held() && held_macros.held());
  Script script({[&] {
                   auto* notice = testing::OpenDialog<CDlgWarning>(main());
                   if (!notice) return false;
                   EXPECT_EQ(notice->message,
                             NoticeMessage(kNoticeNotRead, {L"Default2.gkp", L"sequence.dat"}));
                   Click(notice->hwnd(), notice->m_btnOK.hwnd());
                   return true;
                 },
                 [&] {
                   if (testing::OpenDialog<CDlgWarning>(main())) return false;
                   ActiveSlot(LiveRecord()).iRGBGreen = 9;  // an edit elsewhere
                   Click(main(), dlg_->button(kApply).hwnd());
                   return true;
                 },
                 [&] { return WaitingShown(); }, [&] { return !WaitingShown(); },
                 [&] {
                   EXPECT_EQ(testing::OpenDialog<CDlgWarning>(main()), nullptr)
                       << "leaving the unread files alone is no failure";
                   Click(main(), dlg_->button(kMacroManager).hwnd());
                   return true;
                 },
                 AcknowledgeNotice(dlg_, kNoticeMacrosNotRead, nullptr),
                 [&] {
                   if (testing::OpenDialog<CDlgWarning>(main())) return false;
                   EXPECT_EQ(testing::OpenDialog<panels::CDlgMacroMan>(main()), nullptr);
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  Run();
  EXPECT_TRUE(script.finished());
  held_profile.Release();
  held_macros.Release();
  EXPECT_EQ(testing::FileBytes(profile), profile_before);
  EXPECT_EQ(testing::FileBytes(data_ / L"sequence.dat"), macros_before);
}

TEST_F(MainWindowTest, AFailedSaveIsToldKeepsOkFromEndingAndIsWrittenOnceFree) {
  FakeMonitor monitor;
  {
    Script warm({[&] {
                   Click(main(), dlg_->button(kApply).hwnd());  // every stored file exists then
                   return true;
                 },
                 [&] { return monitor.notices.size() == 2 && !WaitingShown(); },
                 [&] {
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
    Run();
    ASSERT_TRUE(warm.finished());
  }
  testing::DrainQuit();
  dlg_ = std::make_unique<CTevrinDlg>();
  dlg_->timing = {0, 50};
  dlg_->waiting().request_delay_ms = 30;
  win::SetMainWindow(dlg_.get());

  const fs::path file = data_ / L"config" / L"Default1.gkp";
  HeldFile held(file, FILE_SHARE_READ);  // as sync and backup tools hold files
  ASSERT_TRUE(held.held());
  Script script({[&] {
                   ActiveSlot(LiveRecord()).iRGBGreen = 77;
                   Click(main(), dlg_->button(kOK).hwnd());
                   return true;
                 },
                 AcknowledgeNotice(dlg_, kNoticeNotSaved, L"Default1.gkp"),
                 [&] {
                   if (testing::OpenDialog<CDlgWarning>(main())) return false;
                   EXPECT_TRUE(IsWindowVisible(main())) << "OK did not end the program";
                   EXPECT_EQ(monitor.section().profiles[1].iRGBGreen, 77) << "published";
                   held.Release();
                   Click(main(), dlg_->button(kApply).hwnd());  // nothing else changed
                   return true;
                 },
                 [&] { return WaitingShown(); }, [&] { return !WaitingShown(); },
                 [&] {
                   EXPECT_EQ(testing::OpenDialog<CDlgWarning>(main()), nullptr);
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
  ProfileSlot saved{};
  LoadProfileFile(saved, file);
  EXPECT_EQ(saved.iRGBGreen, 77);
}

// The save dialog's question whether to replace an existing file: yes.
bool AnswerYes() {
  HWND ask = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM lp) {
        if (IsWindowVisible(h) && GetDlgItem(h, IDYES)) *reinterpret_cast<HWND*>(lp) = h;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&ask));
  if (ask) PostMessageW(ask, WM_COMMAND, IDYES, 0);
  return ask != nullptr;
}

TEST_F(MainWindowTest, ExportRefusesTheStoredProfilesAndKeepsAFileItCouldNotReplace) {
  const std::string old = "[Setting]\r\nPollingRate=7\r\n";
  const fs::path kept = data_ / L"Kept.gkp", stored = data_ / L"config" / L"Default1.gkp";
  fs::create_directories(stored.parent_path());
  std::ofstream(kept, std::ios::binary) << old;
  auto slot = std::make_unique<ProfileSlot>();
  ApplyFactoryDefaults(*slot, 1);
  ASSERT_TRUE(SaveProfileFile(*slot, stored));
  const std::string stored_before = testing::FileBytes(stored);
  auto held = std::make_unique<HeldFile>(kept, FILE_SHARE_READ);
  auto export_to = [&](const fs::path& file) {
    return std::deque<std::function<bool()>>{[&] {
                                               Click(main(), dlg_->button(kExport).hwnd());
                                               return true;
                                             },
                                             ChooseFile(file), AnswerYes};
  };
  std::deque<std::function<bool()>> steps = export_to(stored);
  steps.push_back(AcknowledgeNotice(dlg_, kNoticeExportStored, nullptr));
  for (auto& step : export_to(kept)) steps.push_back(step);
  steps.push_back(AcknowledgeNotice(dlg_, kNoticeExportFailed, L"Kept.gkp"));
  steps.push_back([&] {
    if (testing::OpenDialog<CDlgWarning>(main())) return false;
    Click(main(), dlg_->button(kCancel).hwnd());
    return true;
  });
  Script script(std::move(steps));
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
  held.reset();
  EXPECT_EQ(testing::FileBytes(kept), old);
  EXPECT_EQ(testing::FileBytes(stored), stored_before);
}

// A complete backup through the real dialogs: exported as its own type,
// imported after a warning whose Cancel changes nothing.
TEST_F(MainWindowTest, ACompleteBackupGoesOutAndComesBackThroughTheDialogs) {
  const fs::path file = data_ / L"all.vbak";
  auto answer = [&](bool ok) {
    return [&, ok] {
      auto* ask = testing::OpenDialog<CDlgWarning>(main());
      if (!ask) return false;
      EXPECT_EQ(ask->kind, CDlgWarning::kRestoreBackup);
      Click(ask->hwnd(), ok ? ask->m_btnOK.hwnd() : ask->m_btnCancel.hwnd());
      return true;
    };
  };
  auto import = [&] {
    Click(main(), dlg_->button(kImport).hwnd());
    return true;
  };
  Script script({[&] {
                   for (int p = 0; p < 4; ++p)
                     ToFixed(LiveRecord().profiles[p].ProFileName, u"Saved " + ToU16Decimal(p));
                   Click(main(), dlg_->button(kExport).hwnd());
                   return true;
                 },
                 ChooseFile(file),
                 [&] {
                   if (FileDialog() || !fs::exists(file)) return false;
                   for (int p = 0; p < 4; ++p)
                     ToFixed(LiveRecord().profiles[p].ProFileName, u"Changed");
                   return import();
                 },
                 ChooseFile(file), answer(false),
                 [&] {
                   if (testing::OpenDialog<CDlgWarning>(main())) return false;
                   EXPECT_EQ(FromFixed(LiveRecord().profiles[2].ProFileName), u"Changed");
                   EXPECT_EQ(LiveRecord().ProfileImported[2], 0);
                   return import();
                 },
                 ChooseFile(file), answer(true),
                 [&] {
                   if (testing::OpenDialog<CDlgWarning>(main())) return false;
                   for (int p = 0; p < 4; ++p) {
                     EXPECT_EQ(FromFixed(LiveRecord().profiles[p].ProFileName),
                               u"Saved " + ToU16Decimal(p));
                     EXPECT_EQ(LiveRecord().ProfileImported[p], 1) << p;
                   }
                   Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_TRUE(script.finished());
}

}  // namespace
}  // namespace vantrel::shell
