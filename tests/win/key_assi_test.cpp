// The key assignment dialog under its real keyboard capture: what it shows,
// which usage a captured key gives, the Default button, its three endings,
// and that the keyboard belongs to everyone again once it is gone.
#include "panels/key_assi.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "gdi_tracker.h"
#include "panels_fixture.h"

using namespace vantrel;
using namespace vantrel::testing;
using S = Step;

namespace {

struct Outcome {
  INT_PTR result;
  int new_code;
  Seen seen;
};

Outcome RunDialog(int position, std::uint8_t current, std::vector<Step> steps) {
  panels::CDlgKeyAssi dlg;
  dlg.m_keyPosition = position;
  dlg.m_currentCode = current;
  DialogScript script(std::move(steps));
  INT_PTR result = dlg.RunModal(nullptr);
  return {result, dlg.m_newCode, script.seen()};
}

class KeyAssi : public ::testing::Test {
 protected:
  void SetUp() override { UseShippedSkin(); }
};

TEST_F(KeyAssi, ShowsTheCurrentKeyAndTakesTheCapturedOne) {
  Outcome r = RunDialog(0, 0x29, {{S::Snapshot}, {S::Key, 'Q', 0}, {S::Snapshot}, {S::Ok}});
  ASSERT_TRUE(r.seen.opened);
  EXPECT_EQ(r.seen.current_name, L"Esc");
  ASSERT_EQ(r.seen.edit_texts.size(), 2u);
  EXPECT_EQ(r.seen.edit_texts[0], L"Esc");
  EXPECT_EQ(r.seen.edit_texts[1], L"Q");
  EXPECT_EQ(r.result, IDOK);
  EXPECT_EQ(r.new_code, 0x14);
}

TEST_F(KeyAssi, CapturedKeysGiveTheirUsageAndName) {
  struct Case {
    int vk;
    UINT flags;
    const wchar_t* name;
    int usage;
  } cases[] = {
      {VK_RETURN, 0x01, L"Num Enter", 0x58},  // keypad Enter: the extended flag
      {VK_RETURN, 0x81, L"Num Enter", 0x58},  // and its release
      {VK_RETURN, 0x00, L"Enter", 0x28},
      {VK_HOME, 0x00, L"Home", 0x4A},  // keypad 7 without Num Lock
      {VK_LSHIFT, 0x00, L"Shift", 0xE1},
      {VK_F12, 0x80, L"F12", 0x45},
  };
  for (const Case& c : cases) {
    Outcome r = RunDialog(5, 0x3E, {{S::Key, c.vk, c.flags}, {S::Snapshot}, {S::Ok}});
    ASSERT_EQ(r.seen.edit_texts.size(), 1u);
    EXPECT_EQ(r.seen.edit_texts[0], c.name) << c.vk;
    EXPECT_EQ(r.new_code, c.usage) << c.vk;
  }
}

TEST_F(KeyAssi, KeysWithoutAUsageAreIgnoredAndTheLastKeyWins) {
  // 0x15 has no row in the key table: the edit and the choice stay.
  Outcome r = RunDialog(0, 0x29,
                        {{S::Key, 'A', 0},
                         {S::Key, 0x15, 0},
                         {S::Snapshot},
                         {S::Key, 'B', 0x80},
                         {S::Snapshot},
                         {S::Ok}});
  ASSERT_EQ(r.seen.edit_texts.size(), 2u);
  EXPECT_EQ(r.seen.edit_texts[0], L"A");
  EXPECT_EQ(r.seen.new_codes[0], 0x04);
  EXPECT_EQ(r.seen.edit_texts[1], L"B");
  EXPECT_EQ(r.new_code, 0x05);
}

TEST_F(KeyAssi, DefaultProposesTheFactoryKey) {
  // Position 31 is Q, even when it holds A now.
  Outcome q = RunDialog(31, 0x04, {{S::Default}, {S::Snapshot}, {S::Ok}});
  EXPECT_EQ(q.seen.edit_texts.at(0), L"Q");
  EXPECT_EQ(q.new_code, 0x14);
  // Positions 108..113 have no factory key: nothing happens.
  Outcome none = RunDialog(110, 0x04, {{S::Default}, {S::Snapshot}, {S::Ok}});
  EXPECT_EQ(none.seen.edit_texts.at(0), L"A");
  EXPECT_EQ(none.new_code, 0);
}

TEST_F(KeyAssi, EndingsAndTheirResults) {
  struct Case {
    Step::Kind ending;
    INT_PTR result;
  } cases[] = {{S::Ok, IDOK}, {S::Cancel, IDCANCEL}, {S::Close, -1}, {S::WmClose, IDCANCEL}};
  for (const Case& c : cases) {
    Outcome r = RunDialog(0, 0x29, {{c.ending}});
    EXPECT_EQ(r.result, c.result) << c.ending;
    EXPECT_EQ(r.new_code, 0) << c.ending;  // OK without a key chooses nothing
  }
}

TEST_F(KeyAssi, MouseButtonCodesOpenWithAnEmptyEdit) {
  Outcome r = RunDialog(0, 0xF2, {{S::Snapshot}, {S::Cancel}});
  EXPECT_EQ(r.seen.current_name, L"R-Button");
  EXPECT_EQ(r.seen.edit_texts.at(0), L"");
  // A code without a name leaves the red label empty.
  Outcome unnamed = RunDialog(0, 0x32, {{S::Snapshot}, {S::Cancel}});
  EXPECT_EQ(unnamed.seen.current_name, L"");
  EXPECT_EQ(unnamed.seen.edit_texts.at(0), L"");
}

TEST_F(KeyAssi, GivesBackEveryGdiObjectItMade) {
  GdiTracker::Install();
  RunDialog(0, 0x29, {{S::Ok}});  // fonts, pictures and caches made once
  const size_t before = GdiTracker::Live();
  for (int i = 0; i < 3; ++i) {
    RunDialog(31, 0x14, {{S::Key, 'W', 0}, {S::Snapshot}, {S::Default}, {S::Cancel}});
  }
  EXPECT_EQ(GdiTracker::Live(), before);
}

// A window of our own that counts the characters it is typed.
class TypingTarget : public win::Window {
 public:
  TypingTarget() { Create(WS_POPUP | WS_VISIBLE, 0, nullptr, {0, 0, 100, 100}, L"Typing"); }
  int keys = 0;

 protected:
  bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
    if (msg != WM_KEYDOWN) return false;
    ++keys;
    result = 0;
    return true;
  }
};

void TypeQ() {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = 'Q';
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

TEST_F(KeyAssi, RealKeystrokesAreCapturedAndReleasedAfterwards) {
  TypingTarget target;
  SetForegroundWindow(target.hwnd());
  SetFocus(target.hwnd());
  Pump();
  TypeQ();
  Sleep(50);
  Pump();
  ASSERT_GT(target.keys, 0) << "injected keys do not reach a focused window at all";

  struct Typist {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      TypeQ();
    }
  };
  // Type once the dialog runs, then look and press OK.
  target.keys = 0;
  const UINT_PTR typing = SetTimer(nullptr, 0, 150, &Typist::Tick);
  panels::CDlgKeyAssi dlg;
  dlg.m_keyPosition = 0;
  dlg.m_currentCode = 0x29;
  struct Later {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      EnumThreadWindows(
          GetCurrentThreadId(),
          [](HWND h, LPARAM) -> BOOL {
            if (auto* d = dynamic_cast<panels::CDlgKeyAssi*>(win::Window::FromHandle(h))) {
              PostSteps(*d, {{S::Ok}});
              return FALSE;
            }
            return TRUE;
          },
          0);
    }
  };
  SetTimer(nullptr, 0, 500, &Later::Tick);
  EXPECT_EQ(dlg.RunModal(nullptr), IDOK);
  KillTimer(nullptr, typing);
  EXPECT_EQ(dlg.m_newCode, 0x14);
  Pump();
  EXPECT_EQ(target.keys, 0) << "a captured key also reached another window";

  // Gone with the dialog: keys reach the focused window again.
  SetForegroundWindow(target.hwnd());
  SetFocus(target.hwnd());
  TypeQ();
  Sleep(50);
  Pump();
  EXPECT_GT(target.keys, 0);
}

}  // namespace
