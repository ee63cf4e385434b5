// The shortcut dialog under its real keyboard capture: which key code and
// name a captured key gives, how the no-modifiers toggle overrides the four
// others without forgetting them, its endings, and that the keyboard is
// everyone's again once it has gone.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "gdi_tracker.h"
#include "model/key_functions.h"
#include "panels/shortcut_dialog.h"
#include "panels_fixture.h"
#include "shell_fixture.h"
#include "win/keyboard_capture.h"

using namespace vantrel;
using vantrel::panels::CDlgShortCut;

namespace {

// What the dialog showed at one moment.
struct Look {
  std::wstring edit;
  int key_code;
  std::array<bool, 5> checked;
  std::array<bool, 5> enabled;
  bool capturing;
};

struct Outcome {
  INT_PTR result = 0;
  Combination combination;
  std::vector<Look> looks;
  bool finished = false;
};

using Action = std::function<void(CDlgShortCut&, Outcome&)>;

Action Key(int vk, UINT flags) {
  return [=](CDlgShortCut& d, Outcome&) {
    SendMessageW(d.hwnd(), win::WM_CAPTUREDKEY, static_cast<WPARAM>(vk), flags);
  };
}
// A click on a toggle as the mouse gives it: press and release.
Action Toggle(int k) {
  return [=](CDlgShortCut& d, Outcome&) {
    HWND t = d.m_toggles[static_cast<size_t>(k)].hwnd();
    SendMessageW(t, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(t, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  };
}
Action Snapshot() {
  return [](CDlgShortCut& d, Outcome& o) {
    Look look{vantrel::testing::WindowText(d.m_keyEdit),
              d.combination.keyCode,
              {},
              {},
              win::KeyboardCaptureInstalled()};
    for (size_t k = 0; k < 5; ++k) {
      look.checked[k] = d.m_toggles[k].GetCheck();
      look.enabled[k] = IsWindowEnabled(d.m_toggles[k].hwnd()) != 0;
    }
    o.looks.push_back(look);
  };
}
Action Press(skin::CBitmapBtn CDlgShortCut::*button) {
  return [=](CDlgShortCut& d, Outcome&) { vantrel::testing::Click(d.hwnd(), (d.*button).hwnd()); };
}
Action Ok() { return Press(&CDlgShortCut::m_btnOk); }
Action WmClose() {
  return [](CDlgShortCut& d, Outcome&) { PostMessageW(d.hwnd(), WM_CLOSE, 0, 0); };
}

Combination Preset(std::uint8_t key_code, std::uint8_t modifiers) {
  KeyAssignment key{};
  key.keyCode = key_code;
  key.modifiers = modifiers;
  return CombinationOf(key);
}

// Runs the dialog with `preset` and carries out the actions in turn, one
// per timer tick once the dialog is up.
Outcome RunDialog(Combination preset, std::vector<Action> actions) {
  CDlgShortCut dlg;
  dlg.combination = preset;
  Outcome out;
  std::deque<std::function<bool()>> steps;
  for (Action& a : actions) {
    steps.push_back([&dlg, &out, a] {
      if (!dlg.is_modal_running() || !IsWindowVisible(dlg.hwnd())) return false;
      a(dlg, out);
      return true;
    });
  }
  {
    vantrel::testing::Script script(std::move(steps), 5000);
    out.result = dlg.RunModal(nullptr);
    out.finished = script.finished();
  }
  out.combination = dlg.combination;
  return out;
}

class ShortcutDialog : public ::testing::Test {
 protected:
  void SetUp() override { vantrel::testing::UseShippedSkin(); }
};

TEST_F(ShortcutDialog, ShowsThePresetAndTakesTheKeyLastTouched) {
  // Ctrl+Win+Esc preset; A pressed and released.
  Outcome r = RunDialog(Preset(0x29, kModCtrl | kModWin),
                        {Snapshot(), Key('A', 0x00), Key('A', 0x80), Snapshot(), Ok()});
  ASSERT_TRUE(r.finished);
  ASSERT_EQ(r.looks.size(), 2u);
  EXPECT_EQ(r.looks[0].edit, L"Esc");
  EXPECT_EQ(r.looks[0].checked, (std::array<bool, 5>{false, true, false, false, true}));
  EXPECT_EQ(r.looks[0].enabled, (std::array<bool, 5>{true, true, true, true, true}));
  EXPECT_TRUE(r.looks[0].capturing);
  EXPECT_EQ(r.looks[1].edit, L"A");
  EXPECT_EQ(r.result, CDlgShortCut::kResultOk);
  EXPECT_EQ(r.combination.keyCode, 0x04);
  EXPECT_EQ(CombinationModifiers(r.combination), kModCtrl | kModWin);
}

TEST_F(ShortcutDialog, CapturedKeysGiveTheirCodeAndName) {
  struct Case {
    int vk;
    UINT flags;
    const wchar_t* name;
    int code;
  } cases[] = {
      {VK_RETURN, 0x01, L"Num Enter", 0x58},  // keypad Enter: the extended flag
      {VK_RETURN, 0x81, L"Num Enter", 0x58},  // and its release
      {VK_RETURN, 0x00, L"Enter", 0x28},
      {VK_LSHIFT, 0x00, L"Shift", 0xE1},  // a modifier alone is the key
      {VK_RCONTROL, 0x81, L"Right Ctrl", 0xE4},
      {VK_DELETE, 0x01, L"Delete", 0x4C},
      {VK_HELP, 0x00, L"Help", 0},  // named, but no code: code 0, name still shown
  };
  for (const Case& c : cases) {
    // Starts from B, so a key that left the code alone would show.
    Outcome r = RunDialog(Preset(0x05, 0), {Key(c.vk, c.flags), Snapshot(), Ok()});
    ASSERT_EQ(r.looks.size(), 1u) << c.vk;
    EXPECT_EQ(r.looks[0].edit, c.name) << c.vk;
    EXPECT_EQ(r.combination.keyCode, c.code) << c.vk;
    // Modifier keys captured as the key add no modifier bits.
    EXPECT_EQ(CombinationModifiers(r.combination), 0) << c.vk;
  }
}

TEST_F(ShortcutDialog, NoModifiersOverridesTheOthersWithoutForgettingThem) {
  // Ctrl+Alt preset; no modifiers on: the four go grey and unchecked, and
  // OK gives modifiers 0 although the Ctrl and Alt flags are still set.
  Outcome none = RunDialog(Preset(0x4C, kModCtrl | kModAlt), {Toggle(0), Snapshot(), Ok()});
  ASSERT_TRUE(none.finished);
  const Look& grey = none.looks.at(0);
  EXPECT_EQ(grey.checked, (std::array<bool, 5>{true, false, false, false, false}));
  EXPECT_EQ(grey.enabled, (std::array<bool, 5>{true, false, false, false, false}));
  EXPECT_EQ(CombinationModifiers(none.combination), 0);
  EXPECT_EQ(none.combination.flags[1], 1);
  EXPECT_EQ(none.combination.flags[3], 1);

  // Off again: the four come back with their earlier states; Shift added.
  Outcome back =
      RunDialog(Preset(0x4C, kModCtrl | kModAlt),
                {Toggle(0), Toggle(0), Snapshot(), Toggle(2), Toggle(1), Snapshot(), Ok()});
  ASSERT_EQ(back.looks.size(), 2u);
  EXPECT_EQ(back.looks[0].checked, (std::array<bool, 5>{false, true, false, true, false}));
  EXPECT_EQ(back.looks[0].enabled, (std::array<bool, 5>{true, true, true, true, true}));
  EXPECT_EQ(back.looks[1].checked, (std::array<bool, 5>{false, false, true, true, false}));
  EXPECT_EQ(CombinationModifiers(back.combination), kModShift | kModAlt);
}

TEST_F(ShortcutDialog, EveryEndingButOkIsACancelAndGivesTheKeyboardBack) {
  struct Case {
    Action ending;
    INT_PTR result;
  } cases[] = {{Ok(), CDlgShortCut::kResultOk},
               {Press(&CDlgShortCut::m_btnCancel), CDlgShortCut::kResultCancel},
               {Press(&CDlgShortCut::m_btnClose), CDlgShortCut::kResultCancel},
               {WmClose(), CDlgShortCut::kResultCancel}};
  for (const Case& c : cases) {
    Outcome r = RunDialog(Preset(0x29, 0), {Key('Q', 0), Snapshot(), c.ending});
    EXPECT_EQ(r.result, c.result);
    EXPECT_TRUE(r.looks.at(0).capturing);
    EXPECT_FALSE(win::KeyboardCaptureInstalled()) << c.result;
  }
}

void TypeLeftShift() {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = VK_LSHIFT;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

TEST_F(ShortcutDialog, RealShiftThroughTheHookBecomesTheKey) {
  bool typed = false;
  Outcome r;
  CDlgShortCut dlg;
  dlg.combination = Preset(0x05, 0);
  vantrel::testing::Script script({[&] {
                                     if (!dlg.is_modal_running()) return false;
                                     TypeLeftShift();
                                     typed = true;
                                     return true;
                                   },
                                   [&] {
                                     // The hook posts from its own callback: wait until it arrived.
                                     if (dlg.combination.keyCode == 0x05) return false;
                                     Snapshot()(dlg, r);
                                     vantrel::testing::Click(dlg.hwnd(), dlg.m_btnOk.hwnd());
                                     return true;
                                   }},
                                  5000);
  EXPECT_EQ(dlg.RunModal(nullptr), CDlgShortCut::kResultOk);
  ASSERT_TRUE(typed);
  ASSERT_TRUE(script.finished());
  EXPECT_EQ(dlg.combination.keyCode, 0xE1);
  EXPECT_EQ(r.looks.at(0).edit, L"Shift");
}

TEST_F(ShortcutDialog, GivesBackEveryGdiObjectItMade) {
  vantrel::testing::GdiTracker::Install();
  RunDialog(Preset(0x29, 0), {Ok()});  // fonts, brushes and caches made once
  const size_t before = vantrel::testing::GdiTracker::Live();
  for (int i = 0; i < 3; ++i) {
    RunDialog(Preset(0x29, kModCtrl), {Key('W', 0), Toggle(0), Snapshot(), Toggle(0), WmClose()});
  }
  EXPECT_EQ(vantrel::testing::GdiTracker::Live(), before);
}

}  // namespace
