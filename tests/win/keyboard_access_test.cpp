// The program from the keyboard alone and through a screen reader's eyes:
// the real main window and its dialogs, keys queued as the keyboard queues
// them, the captures fed by injected keys, and every control read back with
// AccessibleObjectFromWindow.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/key_codes.h"
#include "model/text.h"
#include "panels/adv_ctrl_panel.h"
#include "panels/key_assi.h"
#include "panels/macro_ctrl_panel.h"
#include "panels/macro_man.h"
#include "panels/main_ctrl_panel.h"
#include "panels/shortcut_dialog.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/profile_form.h"
#include "shell_fixture.h"
#include "skin/warning_dialog.h"
#include "win/focus_nav.h"
#include "win/keyboard_capture.h"

namespace vantrel::shell {
namespace {

using testing::FakeMonitor;
using testing::Script;

constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What a screen reader reads of a window's client object.
struct Read {
  std::wstring name, value;
  long role = 0, state = 0;
};
Read ReadAccessible(HWND h) {
  Read r;
  IAccessible* acc = nullptr;
  if (FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, kIidAccessible,
                                        reinterpret_cast<void**>(&acc))) ||
      !acc)
    return r;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  if (acc->get_accName(self, &text) == S_OK && text) r.name = text;
  SysFreeString(text);
  text = nullptr;
  if (acc->get_accValue(self, &text) == S_OK && text) r.value = text;
  SysFreeString(text);
  VARIANT v{};
  if (acc->get_accRole(self, &v) == S_OK && v.vt == VT_I4) r.role = v.lVal;
  VariantInit(&v);
  if (acc->get_accState(self, &v) == S_OK && v.vt == VT_I4) r.state = v.lVal;
  acc->Release();
  return r;
}

// A screen reader's default action on `h` (a press, later, from the queue).
void DoDefaultAction(HWND h) {
  IAccessible* acc = nullptr;
  if (FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, kIidAccessible,
                                        reinterpret_cast<void**>(&acc))) ||
      !acc)
    return;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  EXPECT_EQ(acc->accDoDefaultAction(self), S_OK);
  acc->Release();
}

// A key pressed and released on the focused window, as the keyboard queues it.
void Press(UINT vk) {
  HWND target = GetFocus();
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(target, WM_KEYDOWN, vk, scan | 1);
  PostMessageW(target, WM_KEYUP, vk, scan | 1 | (LPARAM{3} << 30));
}

// Keys through the real keyboard path (the capture's hook sees them);
// `time` 0 is now.
INPUT Key(WORD vk, DWORD flags, DWORD time = 0) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = flags;
  in.ki.time = time;
  return in;
}
void Type(std::vector<INPUT> keys) {
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}
// A short Esc, then one held for a second and a half: the key Esc, then
// the way out of the capture.
void EscThenLeave() {
  const DWORD t = GetTickCount();
  Type({Key(VK_ESCAPE, 0, t), Key(VK_ESCAPE, KEYEVENTF_KEYUP, t + 100), Key(VK_ESCAPE, 0, t + 200),
        Key(VK_ESCAPE, 0, t + 900), Key(VK_ESCAPE, KEYEVENTF_KEYUP, t + 1700)});
}

std::wstring FocusName() { return ReadAccessible(GetFocus()).name; }

// The events a screen reader hears, as (event, window) pairs.
std::vector<std::pair<DWORD, HWND>> g_events;
void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND h, LONG, LONG, DWORD, DWORD) {
  g_events.emplace_back(event, h);
}
bool HeardEvent(DWORD event, HWND h) {
  return std::find(g_events.begin(), g_events.end(), std::make_pair(event, h)) != g_events.end();
}

// A step that presses `vk` until `done` holds, at most `limit` times.
std::function<bool()> PressUntil(UINT vk, std::function<bool()> done, int limit = 200) {
  auto presses = std::make_shared<int>(0);
  return [=] {
    if (done()) return true;
    if (++*presses > limit) {
      ADD_FAILURE() << "never reached after " << limit << " presses of " << vk;
      return true;
    }
    Press(vk);
    return false;
  };
}

// A step that presses Tab once per tab stop of `root()` and checks each was
// visited once and the walk came back where it began.
std::function<bool()> TabCycle(std::function<HWND()> root, const char* window) {
  struct State {
    std::vector<HWND> stops, seen;
    bool started = false;
  };
  auto st = std::make_shared<State>();
  return [=] {
    if (!st->started) {
      st->started = true;
      st->stops = win::TabStops(root());
      EXPECT_GE(st->stops.size(), 2u) << window;
      if (st->stops.empty()) return true;
      SetFocus(st->stops.front());
      Press(VK_TAB);
      return false;
    }
    st->seen.push_back(GetFocus());
    if (st->seen.size() < st->stops.size()) {
      Press(VK_TAB);
      return false;
    }
    std::vector<HWND> expected(st->stops.begin() + 1, st->stops.end());
    expected.push_back(st->stops.front());
    EXPECT_EQ(st->seen, expected) << window << ": Tab follows the reading order, each once";
    for (HWND h : st->stops) EXPECT_FALSE(ReadAccessible(h).name.empty()) << window;
    return true;
  };
}

class KeyboardAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::PrepareShellTest();
    dlg_ = std::make_unique<CTevrinDlg>();
    dlg_->timing = {0, 50};
    dlg_->waiting().request_delay_ms = 30;
    win::SetMainWindow(dlg_.get());
    g_events.clear();
    hook_ = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Heard, GetCurrentProcessId(), 0,
                            WINEVENT_OUTOFCONTEXT);
  }
  void TearDown() override {
    UnhookWinEvent(hook_);
    win::RemoveKeyboardCapture();
    win::SetMainWindow(nullptr);
    dlg_.reset();
    testing::DrainQuit();
  }
  HWND main() const { return dlg_->hwnd(); }
  panels::CDlgMainCtrlPanel* keys() {
    return static_cast<panels::CDlgMainCtrlPanel*>(dlg_->panel(0));
  }
  // The key of the keyboard page a screen reader names `name`.
  HWND KeyNamed(const wchar_t* name) {
    for (int i = 0; i < kKeyPositions; ++i)
      if (keys()->key(i).accessible_name == name) return keys()->key(i).hwnd();
    return nullptr;
  }
  // Tabs until `target()` has the focus; looked up when the step runs,
  // once the window is there.
  std::function<bool()> FocusOn(std::function<HWND()> target) {
    return PressUntil(VK_TAB, [target] { return GetFocus() == target(); });
  }
  template <typename T>
  T* Open() {
    return testing::OpenDialog<T>(main());
  }

  std::unique_ptr<CTevrinDlg> dlg_;
  HWINEVENTHOOK hook_ = nullptr;
};

// Tab, the arrows on the keys, Enter on a key, Esc captured as the new key,
// Esc held to leave, Enter on OK, Space on Apply: the monitor gets the key.
TEST_F(KeyboardAccessTest, RemapsAKeyFromTheKeyboardAloneAndTheMonitorGetsIt) {
  FakeMonitor monitor;
  int caps = -1;
  Script script(
      {[&] {
         for (int i = 0; i < kKeyPositions; ++i)
           if (keys()->key(i).accessible_name == L"Caps Lock") caps = i;
         return caps >= 0;
       },
       TabCycle([&] { return main(); }, "main window"),
       [&] {
         // The order a person reads the window in.
         const std::vector<HWND> stops = win::TabStops(main());
         auto at = [&](HWND h) { return std::find(stops.begin(), stops.end(), h) - stops.begin(); };
         const HWND in_order[] = {dlg_->button(kTab1).hwnd(),     dlg_->button(kTab4).hwnd(),
                                  dlg_->button(kRestore).hwnd(),  KeyNamed(L"Esc"),
                                  KeyNamed(L"Caps Lock"),         dlg_->button(kProfile1).hwnd(),
                                  dlg_->button(kProfile4).hwnd(), dlg_->button(kImport).hwnd(),
                                  dlg_->button(kOK).hwnd(),       dlg_->button(kApply).hwnd()};
         for (size_t k = 1; k < std::size(in_order); ++k)
           EXPECT_LT(at(in_order[k - 1]), at(in_order[k])) << k;
         SetFocus(dlg_->button(kTab1).hwnd());
         return true;
       },
       FocusOn([&] { return KeyNamed(L"Esc"); }),
       [&] {
         // A column, then a row, of the key picture.
         struct Step {
           UINT vk;
           const wchar_t* lands_on;
         };
         static const Step walk[] = {{VK_DOWN, L"`"},  {VK_DOWN, L"Tab"}, {VK_DOWN, L"Caps Lock"},
                                     {VK_RIGHT, L"A"}, {VK_RIGHT, L"S"},  {VK_UP, L"W"},
                                     {VK_LEFT, L"Q"},  {VK_DOWN, L"A"},   {VK_LEFT, L"Caps Lock"}};
         static size_t next = 0;
         if (next > 0) EXPECT_EQ(FocusName(), walk[next - 1].lands_on) << next;
         if (next == std::size(walk)) return true;
         Press(walk[next++].vk);
         return false;
       },
       [&] {
         EXPECT_EQ(GetFocus(), keys()->key(caps).hwnd()) << "on the key itself";
         EXPECT_TRUE(HeardEvent(EVENT_OBJECT_FOCUS, keys()->key(caps).hwnd()));
         Press(VK_RETURN);
         return true;
       },
       [&] {
         if (!Open<panels::CDlgKeyAssi>() || !win::KeyboardCaptureInstalled()) return false;
         EscThenLeave();
         return true;
       },
       [&] {
         auto* key = Open<panels::CDlgKeyAssi>();
         if (!key || win::KeyboardCaptureInstalled()) return false;
         EXPECT_EQ(key->m_newCode, 0x29) << "the short Esc is the new key";
         EXPECT_EQ(GetFocus(), key->m_btnOk.hwnd()) << "the held one left the capture";
         Press(VK_RETURN);
         return true;
       },
       [&] { return !Open<panels::CDlgKeyAssi>(); },
       FocusOn([&] { return dlg_->button(kApply).hwnd(); }),
       [&] {
         const Read caps_key = ReadAccessible(keys()->key(caps).hwnd());
         EXPECT_EQ(caps_key.name, L"Caps Lock");
         EXPECT_EQ(caps_key.value, L"Esc");
         EXPECT_TRUE(HeardEvent(EVENT_OBJECT_VALUECHANGE, keys()->key(caps).hwnd()));
         Press(VK_SPACE);
         return true;
       },
       [&] { return monitor.notices.size() >= 2 && !Open<win::Dialog>(); },
       FocusOn([&] { return dlg_->button(kCancel).hwnd(); }),
       [&] {
         Press(VK_ESCAPE);  // nothing: the main window has no Esc
         return true;
       },
       [&] {
         Press(VK_SPACE);
         return true;
       }});
  EXPECT_EQ(dlg_->RunModal(nullptr), IDCANCEL);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(monitor.section().profiles[monitor.section().CurrentProfile].standardkey[caps], 0x29);
}

// The macro manager from the keyboard: a new macro named, recorded with
// injected keys, the recording left by holding Esc, OK.
TEST_F(KeyboardAccessTest, CreatesAMacroFromTheKeyboardAlone) {
  FakeMonitor monitor;
  Macros().clear();
  panels::CDlgMacroMan* d = nullptr;
  auto manager = [&] { return d = Open<panels::CDlgMacroMan>(); };
  Script script({FocusOn([&] { return dlg_->button(kMacroManager).hwnd(); }),
                 [&] {
                   Press(VK_RETURN);
                   return true;
                 },
                 [&] { return manager() != nullptr; },
                 TabCycle([&] { return d->hwnd(); }, "macro manager"),
                 FocusOn([&] { return d->m_btnNew.hwnd(); }),
                 [&] {
                   Press(VK_SPACE);
                   return true;
                 },
                 [&] {
                   if (!d->m_macroList.editor()) return false;
                   for (const wchar_t* c = L"Keys"; *c; ++c)
                     PostMessageW(GetFocus(), WM_CHAR, *c, 1);
                   Press(VK_RETURN);
                   return true;
                 },
                 [&] { return !d->m_macroList.editor() && Macros().size() == 1; },
                 FocusOn([&] { return d->m_btnRecord.hwnd(); }),
                 [&] {
                   Press(VK_SPACE);
                   return true;
                 },
                 [&] {
                   if (!d->recording()) return false;
                   EXPECT_TRUE(ReadAccessible(d->m_btnOK.hwnd()).state & STATE_SYSTEM_UNAVAILABLE)
                       << "OK is unavailable while recording";
                   Type({Key('K', 0), Key('K', KEYEVENTF_KEYUP)});
                   EscThenLeave();
                   return true;
                 },
                 [&] {
                   if (d->recording()) return false;
                   EXPECT_EQ(GetFocus(), d->m_btnOK.hwnd());
                   Press(VK_RETURN);
                   return true;
                 },
                 [&] {
                   if (manager()) return false;
                   testing::Click(main(), dlg_->button(kApply).hwnd());
                   return true;
                 },
                 [&] { return monitor.notices.size() >= 2 && !Open<win::Dialog>(); },
                 [&] {
                   testing::Click(main(), dlg_->button(kCancel).hwnd());
                   return true;
                 }});
  dlg_->RunModal(nullptr);
  EXPECT_TRUE(script.finished());
  ASSERT_EQ(Macros().size(), 1u);
  EXPECT_EQ(FromFixed(Macros()[0]->name), u"Keys");
  // K pressed and released, then the short Esc pressed and released.
  ASSERT_EQ(Macros()[0]->eventCount, 4);
  EXPECT_EQ(Macros()[0]->events[0].keyCode, 0x0E);
  EXPECT_EQ(Macros()[0]->events[2].keyCode, 0x29);
}

// Every dialog: Tab walks each control once, a screen reader names every
// one, and Esc ends the dialog as Cancel does, changing nothing.
TEST_F(KeyboardAccessTest, EveryDialogCyclesWithTabAndEscCancelsIt) {
  FakeMonitor monitor;
  SettingsRecord before{};
  struct Dialog {
    const char* name;
    std::function<void()> open;          // from the main window
    std::function<win::Dialog*()> find;  // the dialog, once open
    bool captures;                       // leave the capture first
  };
  auto macro_page = [&] { return static_cast<panels::CDlgMacroCtrlPanel*>(dlg_->panel(1)); };
  const std::vector<Dialog> dialogs = {
      {"restore warning", [&] { testing::Click(main(), dlg_->button(kRestore).hwnd()); },
       [&] { return Open<skin::CDlgWarning>(); }, false},
      {"macro manager", [&] { testing::Click(main(), dlg_->button(kMacroManager).hwnd()); },
       [&] { return Open<panels::CDlgMacroMan>(); }, false},
      {"profile form", [&] { testing::Click(main(), dlg_->button(kProfileFormFilled).hwnd()); },
       [&] { return Open<CDlgProfileMan>(); }, false},
      {"key dialog", [&] { testing::Click(keys()->hwnd(), keys()->key(20).hwnd()); },
       [&] { return Open<panels::CDlgKeyAssi>(); }, true},
      {"shortcut dialog",
       [&] {
         macro_page()->set_key_index(0);
         PostMessageW(macro_page()->hwnd(), WM_COMMAND, 1002, 0);
       },
       [&] { return Open<panels::CDlgShortCut>(); }, true},
  };
  std::deque<std::function<bool()>> steps;
  for (const Dialog& dialog : dialogs) {
    steps.push_back([&, dialog] {
      before = LiveRecord();
      dialog.open();
      return true;
    });
    steps.push_back([&, dialog] {
      win::Dialog* d = dialog.find();
      if (!d) return false;
      if (dialog.captures) {
        if (!win::KeyboardCaptureInstalled()) return false;
        const DWORD t = GetTickCount();
        Type({Key(VK_ESCAPE, 0, t), Key(VK_ESCAPE, KEYEVENTF_KEYUP, t + 1200)});
      }
      return true;
    });
    steps.push_back([&, dialog] { return !win::KeyboardCaptureInstalled(); });
    steps.push_back(TabCycle([&, dialog] { return dialog.find()->hwnd(); }, dialog.name));
    steps.push_back([&, dialog] {
      const Read read = ReadAccessible(dialog.find()->hwnd());
      EXPECT_FALSE(read.name.empty()) << dialog.name;
      if (read.role == ROLE_SYSTEM_ALERT)
        EXPECT_TRUE(HeardEvent(EVENT_SYSTEM_ALERT, dialog.find()->hwnd())) << dialog.name;
      Press(VK_ESCAPE);
      return true;
    });
    steps.push_back([&, dialog] {
      if (dialog.find()) return false;
      EXPECT_EQ(std::memcmp(&before, &LiveRecord(), sizeof before), 0) << dialog.name;
      return true;
    });
  }
  steps.push_back([&] {
    testing::Click(main(), dlg_->button(kCancel).hwnd());
    return true;
  });
  Script script(std::move(steps), 30000);
  dlg_->RunModal(nullptr);
  EXPECT_TRUE(script.finished());
}

// Space on a control does what a click on it does.
TEST_F(KeyboardAccessTest, SpaceDoesWhatAClickDoes) {
  FakeMonitor monitor;
  auto adv = [&] { return static_cast<panels::CDlgAdvCtrlPanel*>(dlg_->panel(2)); };
  struct Case {
    const char* what;
    std::function<HWND()> control;
    std::function<bool()> done;
  };
  const std::vector<Case> cases = {
      {"a tab shows its page", [&] { return dlg_->button(kTab3).hwnd(); },
       [&] { return IsWindowVisible(adv()->hwnd()) != FALSE; }},
      {"a polling rate is chosen", [&] { return adv()->m_btn1000Hz.hwnd(); },
       [&] { return adv()->m_btn1000Hz.GetCheck() && !adv()->m_btn500Hz.GetCheck(); }},
      {"a profile tile switches the profile", [&] { return dlg_->button(kProfile2).hwnd(); },
       [&] { return LiveRecord().CurrentProfile == 1 && !Open<win::Dialog>(); }},
      {"the first tab comes back", [&] { return dlg_->button(kTab1).hwnd(); },
       [&] { return IsWindowVisible(keys()->hwnd()) != FALSE; }},
      {"a reader's default action is a click", nullptr,
       [&] { return IsWindowVisible(dlg_->panel(1)->hwnd()) != FALSE; }},
  };
  std::deque<std::function<bool()>> steps;
  for (const Case& c : cases) {
    steps.push_back([&, c] {
      if (!c.control) {
        DoDefaultAction(dlg_->button(kTab2).hwnd());
        return true;
      }
      SetFocus(c.control());
      Press(VK_SPACE);
      return true;
    });
    steps.push_back([&, c] { return c.done(); });
  }
  steps.push_back([&] {
    testing::Click(main(), dlg_->button(kCancel).hwnd());
    return true;
  });
  Script script(std::move(steps), 20000);
  dlg_->RunModal(nullptr);
  EXPECT_TRUE(script.finished());
}

// What a screen reader reads of the main window and its pages.
TEST_F(KeyboardAccessTest, ControlsReadTheirNamesRolesStatesAndValues) {
  FakeMonitor monitor;
  Script script({[&] {
    auto* macro_page = static_cast<panels::CDlgMacroCtrlPanel*>(dlg_->panel(1));
    auto* adv = static_cast<panels::CDlgAdvCtrlPanel*>(dlg_->panel(2));
    struct Expect {
      HWND window;
      const wchar_t* name;  // nullptr: any, not empty
      long role;
      long state;  // these bits set
      long not_state;
    } expected[] = {
        {dlg_->button(kTab1).hwnd(), L"Keyboard", ROLE_SYSTEM_PAGETAB, STATE_SYSTEM_SELECTED, 0},
        {dlg_->button(kTab2).hwnd(), L"Macros", ROLE_SYSTEM_PAGETAB, 0, STATE_SYSTEM_SELECTED},
        {dlg_->button(kProfile1).hwnd(), nullptr, ROLE_SYSTEM_RADIOBUTTON, 0, 0},
        {dlg_->button(kMinimise).hwnd(), L"Minimize", ROLE_SYSTEM_PUSHBUTTON, 0, 0},
        {dlg_->button(kClose).hwnd(), L"Close", ROLE_SYSTEM_PUSHBUTTON, 0, 0},
        {dlg_->button(kApply).hwnd(), L"Apply", ROLE_SYSTEM_PUSHBUTTON, 0, 0},
        {KeyNamed(L"Caps Lock"), L"Caps Lock", ROLE_SYSTEM_PUSHBUTTON, 0, 0},
        {macro_page->m_keys[0].hwnd(), L"Programmable key 1", ROLE_SYSTEM_BUTTONDROPDOWN, 0, 0},
        {adv->m_btn500Hz.hwnd(), nullptr, ROLE_SYSTEM_RADIOBUTTON, 0, 0},
        {adv->m_btnResponse.hwnd(), L"Response time", ROLE_SYSTEM_BUTTONDROPDOWN, 0, 0},
        {main(), L"Vantrel", ROLE_SYSTEM_DIALOG, 0, 0},
        {keys()->hwnd(), L"Keyboard", ROLE_SYSTEM_PROPERTYPAGE, 0, 0},
    };
    for (const Expect& e : expected) {
      const Read r = ReadAccessible(e.window);
      if (e.name) EXPECT_EQ(r.name, e.name);
      EXPECT_FALSE(r.name.empty());
      EXPECT_EQ(r.role, e.role) << r.name;
      EXPECT_EQ(r.state & e.state, e.state) << r.name;
      EXPECT_EQ(r.state & e.not_state, 0) << r.name;
    }
    // The active profile's tile is checked, a key unchanged reads itself.
    const int active = LiveRecord().CurrentProfile;
    const HWND tiles[] = {dlg_->button(kProfile1).hwnd(), dlg_->button(kProfile2).hwnd(),
                          dlg_->button(kProfile3).hwnd(), dlg_->button(kProfile4).hwnd()};
    EXPECT_TRUE(ReadAccessible(tiles[active]).state & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(ReadAccessible(KeyNamed(L"Caps Lock")).value, L"Caps Lock");
    EXPECT_EQ(ReadAccessible(macro_page->m_keys[0].hwnd()).value, macro_page->m_keys[0].text);
    // Every key has a name of its own.
    std::set<std::wstring> names;
    for (int i = 0; i < kKeyPositions; ++i)
      EXPECT_TRUE(names.insert(ReadAccessible(keys()->key(i).hwnd()).name).second)
          << "key " << i << " shares its name";
    EXPECT_EQ(names.size(), static_cast<size_t>(kKeyPositions));
    EXPECT_EQ(names.count(L""), 0u);
    testing::Click(main(), dlg_->button(kCancel).hwnd());
    return true;
  }});
  dlg_->RunModal(nullptr);
  EXPECT_TRUE(script.finished());
}

}  // namespace
}  // namespace vantrel::shell
