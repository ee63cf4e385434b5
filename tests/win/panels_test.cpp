// The keyboard, lighting and advanced pages inside a stand-in main window:
// what they show for a record, and what their clicks and menu commands
// store in it.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "gdi_tracker.h"
#include "model/key_codes.h"
#include "panels/adv_ctrl_panel.h"
#include "panels/light_ctrl_panel.h"
#include "panels/main_ctrl_panel.h"
#include "panels_fixture.h"
#include "skin/lang_strings.h"

using namespace vantrel;
using namespace vantrel::testing;
using S = Step;

namespace {

void Click(win::Window& panel, const skin::CBitmapBtn& button) {
  SendMessageW(panel.hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
               reinterpret_cast<LPARAM>(button.hwnd()));
}
void Command(win::Window& panel, UINT id) {
  SendMessageW(panel.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::wstring Tooltip(const skin::CBitmapBtn& button) { return button.tooltip_text(); }

std::wstring LangText(UINT id) {
  skin::TextTable t;
  skin::LoadLangStrings(id, 1, t);
  return t[0];
}

bool Swallows(win::Window& panel, UINT msg, WPARAM vk) {
  MSG m{panel.hwnd(), msg, vk, 0};
  return panel.PreTranslateMessage(m);
}

class Pages : public ::testing::Test {
 protected:
  void SetUp() override {
    UseShippedSkin();
    FactoryRecord(record);
  }
  SettingsRecord record{};
  Host host;
};

// ---- keyboard page --------------------------------------------------------

class KeyboardPage : public Pages {
 protected:
  void SetUp() override {
    Pages::SetUp();
    ASSERT_TRUE(panel.CreateChild(host.hwnd()));
    panel.PutSettingToControl();
  }
  int CheckedKeys() const {
    int n = 0;
    for (int i = 0; i < kKeyPositions; ++i) n += panel.key(i).GetCheck();
    return n;
  }
  // Clicks key `position` while the script drives the dialog it opens.
  Seen ClickKey(int position, std::vector<Step> steps) {
    DialogScript script(std::move(steps));
    Click(panel, panel.key(position));
    return script.seen();
  }
  panels::CDlgMainCtrlPanel panel{record};
};

TEST_F(KeyboardPage, KeyButtonsComeFromSkinKeys40To153) {
  // The shipped skin: key "40" is Esc at (22, 33), 29 x 29.
  EXPECT_EQ(panel.key_rect(0).left, 22);
  EXPECT_EQ(panel.key_rect(0).top, 33);
  EXPECT_EQ(panel.key_rect(0).right, 51);
  for (int i = 0; i < kKeyPositions; ++i) {
    ASSERT_NE(panel.key(i).hwnd(), nullptr) << i;
    EXPECT_GT(panel.key_rect(i).right, panel.key_rect(i).left) << "key " << 40 + i;
  }
}

TEST_F(KeyboardPage, AFreshProfileShowsEveryKeyNormal) { EXPECT_EQ(CheckedKeys(), 0); }

TEST_F(KeyboardPage, RemappedKeysShowPressedInTheActiveProfileOnly) {
  record.profiles[2].standardkey[5] = 0x04;
  panel.PutSettingToControl();
  EXPECT_EQ(CheckedKeys(), 0);
  record.CurrentProfile = 2;
  panel.PutSettingToControl();
  EXPECT_TRUE(panel.key(5).GetCheck());
  EXPECT_EQ(CheckedKeys(), 1);
}

TEST_F(KeyboardPage, AssigningStoresTheCodeShowsItAndRaisesTheFlag) {
  Seen seen = ClickKey(0, {{S::Key, 'Q', 0}, {S::Ok}});
  ASSERT_TRUE(seen.opened);
  EXPECT_EQ(seen.current_name, L"Esc");
  EXPECT_EQ(record.profiles[0].standardkey[0], 0x14);
  EXPECT_TRUE(panel.key(0).GetCheck());
  EXPECT_EQ(record.StandardKeyChanged[0], 1);

  // The factory code again: the normal look returns, the flag is raised anyway.
  record.StandardKeyChanged[0] = 0;
  ClickKey(0, {{S::Default}, {S::Ok}});
  EXPECT_EQ(record.profiles[0].standardkey[0], 0x29);
  EXPECT_FALSE(panel.key(0).GetCheck());
  EXPECT_EQ(record.StandardKeyChanged[0], 1);
}

TEST_F(KeyboardPage, TheActiveProfileIsTheOneEdited) {
  record.CurrentProfile = 3;
  ClickKey(31, {{S::Key, 'W', 0}, {S::Ok}});
  EXPECT_EQ(record.profiles[3].standardkey[31], 0x1A);
  EXPECT_EQ(record.profiles[0].standardkey[31], 0x14);
  EXPECT_EQ(record.StandardKeyChanged[3], 1);
  EXPECT_EQ(record.StandardKeyChanged[0], 0);
}

TEST_F(KeyboardPage, CancelCloseAndAnEmptyOkStoreNothing) {
  const Step::Kind endings[] = {S::Cancel, S::Close, S::WmClose};
  for (Step::Kind ending : endings) {
    Seen seen = ClickKey(31, {{S::Key, 'W', 0}, {ending}});
    EXPECT_TRUE(seen.opened);
    EXPECT_EQ(record.profiles[0].standardkey[31], 0x14) << ending;
  }
  ClickKey(31, {{S::Ok}});  // OK without a key: code 0
  EXPECT_EQ(record.profiles[0].standardkey[31], 0x14);
  EXPECT_EQ(record.StandardKeyChanged[0], 0);
  EXPECT_FALSE(panel.key(31).GetCheck());
}

TEST_F(KeyboardPage, AFullKeyMapOpensNothing) {
  // 31 reassigned positions still allow one more.
  for (int i = 0; i < 31; ++i) record.profiles[0].standardkey[i] = 0x04 + (i % 2);
  Seen seen = ClickKey(60, {{S::Key, 'Q', 0}, {S::Ok}});
  EXPECT_TRUE(seen.opened);
  EXPECT_EQ(record.profiles[0].standardkey[60], 0x14);
  ASSERT_TRUE(IsKeyMapFull(record, 0));

  // The 32nd change fills the map: no dialog opens, nothing is stored.
  record.StandardKeyChanged[0] = 0;
  seen = ClickKey(61, {{S::Key, 'Q', 0}, {S::Ok}});
  EXPECT_FALSE(seen.opened);
  EXPECT_EQ(record.profiles[0].standardkey[61], 0x19);
  EXPECT_EQ(record.StandardKeyChanged[0], 0);
  // Even giving a remapped key back is refused: the rule is asked first.
  seen = ClickKey(0, {{S::Default}, {S::Ok}});
  EXPECT_FALSE(seen.opened);
  EXPECT_EQ(record.profiles[0].standardkey[0], 0x04);
}

// A page takes no key itself: Enter, Space, Esc and the focus keys are its
// window's, which presses the focused control on release.
TEST_F(KeyboardPage, LeavesEnterEscSpaceAndTabToItsWindow) {
  for (UINT msg : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP})
    for (WPARAM vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB})
      EXPECT_FALSE(Swallows(panel, msg, vk));
}

// ---- lighting page --------------------------------------------------------

class LightingPage : public Pages {
 protected:
  void SetUp() override {
    Pages::SetUp();
    ASSERT_TRUE(panel.CreateChild(host.hwnd()));
    panel.PutSettingToControl();
  }
  panels::CDlgLightCtrlPanel panel{record};
};

TEST_F(LightingPage, MenuCommandsStoreTheValueOfTheirItem) {
  // The first mode item stores 2, the second 1: not the menu order.
  struct Case {
    UINT command;
    std::int32_t mode;
    UINT text_id;
  } cases[] = {{2005, 2, 1109}, {2006, 1, 1110}, {2007, 3, 1111}};
  for (const Case& c : cases) {
    Command(panel, c.command);
    EXPECT_EQ(record.profiles[0].LtEffectType, c.mode) << c.command;
    EXPECT_EQ(panel.m_btnMode.text, LangText(c.text_id)) << c.command;
    EXPECT_EQ(Tooltip(panel.m_btnMode), panel.m_btnMode.text) << c.command;
  }
  // 2008 stores mode 4 and leaves the caption as it is.
  Command(panel, 2008);
  EXPECT_EQ(record.profiles[0].LtEffectType, 4);
  EXPECT_EQ(panel.m_btnMode.text, LangText(1111));
}

TEST_F(LightingPage, LevelCommandsStoreOneToFive) {
  const wchar_t* const captions[] = {nullptr, L"20%", L"60%", L"100%", nullptr};
  for (int k = 0; k < 5; ++k) {
    Command(panel, 2009 + k);
    EXPECT_EQ(record.profiles[0].iLtPulsation, k + 1);
    const std::wstring want = captions[k] ? captions[k] : LangText(k == 0 ? 1103 : 1106);
    EXPECT_EQ(panel.m_btnLevel.text, want);
    EXPECT_EQ(Tooltip(panel.m_btnLevel), want);
  }
}

TEST_F(LightingPage, ValuesOutsideTheTablesShowEmptyOrEntryThree) {
  record.profiles[0].LtEffectType = 4;
  record.profiles[0].iLtPulsation = 9;
  panel.PutSettingToControl();
  EXPECT_EQ(panel.m_btnMode.text, L"");
  EXPECT_EQ(panel.m_btnLevel.text, LangText(1103));
  for (std::int32_t level : {1, 0, -1, 6}) {
    panel.SetLevelSelection(level);
    EXPECT_EQ(panel.m_btnLevel.text, LangText(1103)) << level;
  }
  // Shown, not stored: the record keeps what it had.
  EXPECT_EQ(record.profiles[0].LtEffectType, 4);
  EXPECT_EQ(record.profiles[0].iLtPulsation, 9);
}

TEST_F(LightingPage, FactoryProfilesShowTheirCaptions) {
  // Profile 1: mode 2 (entry 9), level 3 ("60%").
  record.CurrentProfile = 1;
  panel.PutSettingToControl();
  EXPECT_EQ(panel.m_btnMode.text, LangText(1109));
  EXPECT_EQ(panel.m_btnLevel.text, L"60%");
  EXPECT_EQ(Tooltip(panel.m_btnLevel), L"60%");
}

// Opens a button's menu and reads its items from a timer inside the menu's
// own loop, then dismisses it.
std::vector<UINT> MenuItemsOf(win::Window& panel, const skin::CBitmapBtn& button) {
  static std::vector<UINT> ids;
  ids.clear();
  struct Peek {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      HWND menu_window = FindWindowW(L"#32768", nullptr);
      if (!menu_window) return;
      KillTimer(nullptr, id);
      HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menu_window, MN_GETHMENU, 0, 0));
      for (int i = 0; menu && i < GetMenuItemCount(menu); ++i)
        ids.push_back(GetMenuItemID(menu, i));
      EndMenu();
    }
  };
  SetTimer(nullptr, 0, 20, &Peek::Tick);
  Click(panel, button);
  return ids;
}

TEST_F(LightingPage, MenusOfferTheirItemsInTableOrder) {
  EXPECT_EQ(MenuItemsOf(panel, panel.m_btnMode), (std::vector<UINT>{2005, 2006, 2007}));
  EXPECT_EQ(MenuItemsOf(panel, panel.m_btnLevel),
            (std::vector<UINT>{2009, 2010, 2011, 2012, 2013}));
  // Dismissed without a choice: nothing changed.
  EXPECT_EQ(record.profiles[0].LtEffectType, 1);
  EXPECT_EQ(record.profiles[0].iLtPulsation, 2);
}

TEST_F(LightingPage, RepaintsGiveBackTheirGdiObjects) {
  GdiTracker::Install();
  UpdateWindow(host.hwnd());
  const size_t before = GdiTracker::Live();
  for (UINT command : {2005u, 2010u, 2006u, 2013u}) {
    Command(panel, command);
    RedrawWindow(panel.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  EXPECT_EQ(GdiTracker::Live(), before);
}

// ---- advanced page --------------------------------------------------------

class AdvancedPage : public Pages {
 protected:
  void SetUp() override {
    Pages::SetUp();
    ASSERT_TRUE(panel.CreateChild(host.hwnd()));
    panel.PutSettingToControl();
  }
  std::int32_t rate() const { return record.profiles[0].PollingRate; }
  std::int32_t ms() const { return record.profiles[0].iResponTime; }
  panels::CDlgAdvCtrlPanel panel{record};
};

TEST_F(AdvancedPage, RateButtonsCarryTheirFixedTexts) {
  EXPECT_EQ(panel.m_btn500Hz.text, L"500 HZ");
  EXPECT_EQ(panel.m_btn1000Hz.text, L"1000 HZ");
  EXPECT_EQ(panel.m_btn500Hz.alignment, 2);
  EXPECT_EQ(panel.m_btn1000Hz.alignment, 2);
  // Factory profile: 500 Hz, 2 ms.
  EXPECT_TRUE(panel.m_btn500Hz.GetCheck());
  EXPECT_FALSE(panel.m_btn1000Hz.GetCheck());
  EXPECT_EQ(panel.m_btnResponse.text, L"2 ms");
}

TEST_F(AdvancedPage, RateButtonsSetTheResponseTime) {
  Click(panel, panel.m_btn1000Hz);
  EXPECT_EQ(rate(), 2);
  EXPECT_EQ(ms(), 1);
  EXPECT_EQ(panel.m_btnResponse.text, L"1 ms");
  EXPECT_EQ(Tooltip(panel.m_btnResponse), L"1 ms");
  EXPECT_TRUE(panel.m_btn1000Hz.GetCheck());
  EXPECT_FALSE(panel.m_btn500Hz.GetCheck());

  Click(panel, panel.m_btn500Hz);
  EXPECT_EQ(rate(), 1);
  EXPECT_EQ(ms(), 2);
  EXPECT_EQ(panel.m_btnResponse.text, L"2 ms");
  EXPECT_TRUE(panel.m_btn500Hz.GetCheck());
  EXPECT_FALSE(panel.m_btn1000Hz.GetCheck());
}

TEST_F(AdvancedPage, ResponseTimeMovesTheRateCheck) {
  Click(panel, panel.m_btn1000Hz);
  Command(panel, 2002);
  EXPECT_EQ(ms(), 2);
  EXPECT_EQ(rate(), 1);
  EXPECT_TRUE(panel.m_btn500Hz.GetCheck());
  EXPECT_FALSE(panel.m_btn1000Hz.GetCheck());
  Command(panel, 2001);
  EXPECT_EQ(ms(), 1);
  EXPECT_EQ(rate(), 2);
  EXPECT_TRUE(panel.m_btn1000Hz.GetCheck());
  EXPECT_FALSE(panel.m_btn500Hz.GetCheck());
}

TEST_F(AdvancedPage, FourAndEightMillisecondsLeaveTheRateAlone) {
  Click(panel, panel.m_btn1000Hz);
  for (auto [command, want] : {std::pair{2003u, 4}, std::pair{2004u, 8}}) {
    Command(panel, command);
    EXPECT_EQ(ms(), want);
    EXPECT_EQ(rate(), 2);
    EXPECT_TRUE(panel.m_btn1000Hz.GetCheck());
    EXPECT_EQ(panel.m_btnResponse.text, want == 4 ? L"4 ms" : L"8 ms");
  }
}

TEST_F(AdvancedPage, AnUnknownRateLeavesTheButtonsAndIsKept) {
  record.profiles[0].PollingRate = 7;
  record.profiles[0].iResponTime = -1;
  panel.PutSettingToControl();
  EXPECT_EQ(rate(), 7);
  EXPECT_TRUE(panel.m_btn500Hz.GetCheck());  // as it was
  EXPECT_EQ(panel.m_btnResponse.text, L"-1 ms");
}

TEST_F(AdvancedPage, MenuOffersOneAndTwoMilliseconds) {
  EXPECT_EQ(MenuItemsOf(panel, panel.m_btnResponse), (std::vector<UINT>{2001, 2002}));
  EXPECT_EQ(ms(), 2);
}

TEST_F(AdvancedPage, LeavesEnterEscSpaceAndTabToItsWindow) {
  for (WPARAM vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB})
    EXPECT_FALSE(Swallows(panel, WM_KEYDOWN, vk));
}

}  // namespace
