// The macro page inside the real main window, end to end: a macro of the
// stored library is bound to a programmable key through the key's real
// menu, applied, and reaches the monitor (a stand-in in this process under
// the real section, mutex and window names) with its events and the key's
// change flag; after the macro's events are edited in the library, the
// next apply carries the new events on the key.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>

#include "model/macro_library.h"
#include "model/macro_store.h"
#include "model/settings_record.h"
#include "model/text.h"
#include "panels/macro_ctrl_panel.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell_fixture.h"

namespace vantrel {
namespace {

using testing::Click;
using testing::FakeMonitor;
using testing::Script;

constexpr int kKey = 2;

std::unique_ptr<MacroRecord> MakeMacro(const char16_t* name, int events, std::uint8_t first_key) {
  auto m = std::make_unique<MacroRecord>();
  std::memset(m.get(), 0, sizeof(MacroRecord));
  ToFixed(m->name, name);
  m->repeatCount = 3;
  m->eventCount = events;
  for (int i = 0; i < events; ++i) {
    m->events[i] = {static_cast<std::uint8_t>(first_key + i / 2),
                    i % 2 ? kMacroActionRelease : kMacroActionPress,
                    static_cast<std::uint16_t>(20 + i)};
  }
  return m;
}

TEST(MacroPageEndToEnd, BoundMacroAndItsLaterEditReachTheMonitor) {
  const auto dir = testing::PrepareShellTest();
  {
    MacroLibrary stored;
    stored.push_back(MakeMacro(u"Filler", 2, 0x1E));
    stored.push_back(MakeMacro(u"Burst", 6, 0x04));
    ASSERT_TRUE(SaveMacroLibrary(stored, dir / kMacroFileName));
  }
  ClearMacroLibrary(shell::Macros());
  FakeMonitor monitor;  // profile 1 is active
  auto dlg = std::make_unique<shell::CTevrinDlg>();
  dlg->timing = {0, 50};
  dlg->waiting().request_delay_ms = 30;
  win::SetMainWindow(dlg.get());

  panels::CDlgMacroCtrlPanel* page = nullptr;
  size_t notices = 0;
  KeyAssignment first{}, second{};
  std::int32_t first_flags[kFlagEntries][kKeyAssignments]{};
  std::int32_t second_flags[kFlagEntries][kKeyAssignments]{};
  std::uint32_t edited_events[kMacroEvents]{};
  auto apply = [&] {
    notices = monitor.notices.size();
    Click(dlg->hwnd(), dlg->button(shell::kApply).hwnd());
  };
  Script script({
      [&] {
        page = dynamic_cast<panels::CDlgMacroCtrlPanel*>(dlg->panel(1));
        if (!page) return false;
        dlg->ShowPanel(1);
        Click(page->hwnd(), page->m_keys[kKey].hwnd());  // opens the key's menu
        return true;
      },
      [&] {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return false;
        // Macro submenu, past the manager and the separator: "Burst".
        for (WPARAM vk : {VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN})
          PostMessageW(menu, WM_KEYDOWN, vk, 0);
        return true;
      },
      [&] {
        if (shell::LiveRecord().profiles[1].MacroKeyInfo[kKey].actionType != kActionTypeMacro)
          return false;
        apply();
        return true;
      },
      [&] {
        if (monitor.notices.size() <= notices) return false;
        first = monitor.section().profiles[1].MacroKeyInfo[kKey];
        std::memcpy(first_flags, monitor.section().MacroKeyInfoChanged, sizeof first_flags);
        // The manager's edit of the macro: other keys, other pauses.
        MacroRecord& burst = *shell::Macros().at(1);
        const auto replacement = MakeMacro(u"Burst", 4, 0x10);
        std::memcpy(burst.events, replacement->events, sizeof burst.events);
        burst.eventCount = 4;
        std::memcpy(edited_events, burst.events, sizeof edited_events);
        apply();
        return true;
      },
      [&] {
        if (monitor.notices.size() <= notices) return false;
        second = monitor.section().profiles[1].MacroKeyInfo[kKey];
        std::memcpy(second_flags, monitor.section().MacroKeyInfoChanged, sizeof second_flags);
        PostMessageW(dlg->hwnd(), WM_CLOSE, 0, 0);
        return true;
      },
  });
  dlg->RunModal(nullptr);
  EXPECT_TRUE(script.finished());
  win::SetMainWindow(nullptr);
  dlg.reset();
  testing::DrainQuit();

  // First apply: the key carries the stored macro, flagged alone.
  const auto burst = MakeMacro(u"Burst", 6, 0x04);
  EXPECT_EQ(first.actionType, kActionTypeMacro);
  EXPECT_EQ(first.functionCode, 3);
  EXPECT_EQ(FromFixed(first.macroName), u"Burst");
  EXPECT_EQ(first.macroIndex, 1);
  EXPECT_EQ(first.eventCount, 6);
  EXPECT_EQ(first.repeatCount, 3);
  EXPECT_EQ(std::memcmp(first.events, burst->events, sizeof first.events), 0);
  for (int p = 0; p < kFlagEntries; ++p)
    for (int k = 0; k < kKeyAssignments; ++k)
      EXPECT_EQ(first_flags[p][k], p == 1 && k == kKey ? 1 : 0) << p << " " << k;

  // Second apply: the library's edit reached the key, and the key is
  // flagged so the monitor writes the new macro to the keyboard.
  EXPECT_EQ(second.actionType, kActionTypeMacro);
  EXPECT_EQ(second.eventCount, 4);
  EXPECT_EQ(std::memcmp(second.events, edited_events, sizeof second.events), 0);
  for (int p = 0; p < kFlagEntries; ++p)
    for (int k = 0; k < kKeyAssignments; ++k)
      EXPECT_EQ(second_flags[p][k], p == 1 && k == kKey ? 1 : 0) << p << " " << k;
}

}  // namespace
}  // namespace vantrel
