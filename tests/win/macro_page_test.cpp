// The macro page inside a stand-in main window: the captions it shows for
// the active slot, the key menu it opens (items, marks, placement), and
// what each choice stores in the key's assignment and change flags,
// through the real menu, the real shortcut dialog and the command handler.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gdi_tracker.h"
#include "model/key_functions.h"
#include "model/text.h"
#include "panels/macro_ctrl_panel.h"
#include "panels/macro_man.h"
#include "panels/shortcut_dialog.h"
#include "panels_fixture.h"
#include "shell_fixture.h"
#include "skin/ex_menu.h"
#include "skin/lang_strings.h"

using namespace vantrel;
namespace vt = vantrel::testing;
using panels::CDlgMacroCtrlPanel;
using panels::CDlgShortCut;

namespace {

std::wstring LangText(UINT id) {
  skin::TextTable t;
  skin::LoadLangStrings(id, 1, t);
  return t[0];
}

std::unique_ptr<MacroRecord> MakeMacro(const char16_t* name, int events, int repeat) {
  auto m = std::make_unique<MacroRecord>();
  std::memset(m.get(), 0, sizeof(MacroRecord));
  ToFixed(m->name, name);
  m->repeatCount = repeat;
  m->eventCount = events;
  for (int i = 0; i < events; ++i) {
    m->events[i] = {static_cast<std::uint8_t>(0x04 + i / 2),
                    i % 2 ? kMacroActionRelease : kMacroActionPress,
                    static_cast<std::uint16_t>(10 * i + 5)};
  }
  return m;
}

bool AllZero(const void* p, size_t n) {
  const auto* b = static_cast<const unsigned char*>(p);
  for (size_t i = 0; i < n; ++i)
    if (b[i]) return false;
  return true;
}

// One item of an open menu as the page built it.
struct SeenItem {
  UINT id;  // 0 for submenus
  std::wstring text;
  bool mark;
  bool popup;
};
using SeenMenu = std::vector<SeenItem>;

SeenMenu ReadMenu(HMENU menu) {
  SeenMenu items;
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_DATA | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    const auto* data = reinterpret_cast<const skin::MenuItem*>(info.dwItemData);
    SeenItem item{info.hSubMenu ? 0 : info.wID, L"", false, info.hSubMenu != nullptr};
    if (data) {
      item.text = data->text;
      item.mark = data->mark;
    }
    items.push_back(item);
  }
  return items;
}

std::vector<UINT> Ids(const SeenMenu& menu) {
  std::vector<UINT> ids;
  for (const SeenItem& i : menu) ids.push_back(i.id);
  return ids;
}

// Runs `inside` once the page's menu is up (from a timer in the menu's own
// loop), with the menu window; `inside` must close the menu.
void WhileMenuOpen(const std::function<void(HWND)>& inside, const std::function<void()>& open) {
  static const std::function<void(HWND)>* current = nullptr;
  current = &inside;
  struct Peek {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      HWND menu_window = FindWindowW(L"#32768", nullptr);
      if (!menu_window || !IsWindowVisible(menu_window) || !current) return;
      KillTimer(nullptr, id);
      (*current)(menu_window);
    }
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, &Peek::Tick);
  open();
  KillTimer(nullptr, timer);
  current = nullptr;
  vt::Pump();  // the chosen command, posted to the page
}

class MacroPage : public ::testing::Test {
 protected:
  void SetUp() override {
    vt::PrepareShellTest();
    vt::FactoryRecord(record);
    record.CurrentProfile = 2;
    ASSERT_TRUE(panel.CreateChild(host.hwnd()));
    MoveWindow(panel.hwnd(), 1, 100, 781, 267, TRUE);
    panel.PutSettingToControl();
  }
  KeyAssignment& key(int k) { return record.profiles[2].MacroKeyInfo[k]; }
  void Command(int k, UINT id) {
    panel.set_key_index(k);
    SendMessageW(panel.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
  }
  // Every change flag of the record, except (profile 2, key `k`) when k >= 0.
  int OtherFlags(int k) const {
    int n = 0;
    for (int p = 0; p < kFlagEntries; ++p)
      for (int e = 0; e < kKeyAssignments; ++e)
        if (!(p == 2 && e == k)) n += record.MacroKeyInfoChanged[p][e] != 0;
    return n;
  }
  std::wstring Caption(int k) const { return panel.m_keys[static_cast<size_t>(k)].text; }

  SettingsRecord record{};
  MacroStore store;
  MacroLibrary& library = store.library;
  vt::Host host;
  CDlgMacroCtrlPanel panel{record, store};
};

TEST_F(MacroPage, CaptionsFollowTheActiveSlot) {
  for (int k = 0; k < 6; ++k) EXPECT_EQ(Caption(k), L"Ctrl+" + std::to_wstring(k + 1)) << k;

  key(0).actionType = 3;
  ToFixed(key(0).macroName, u"Copy all");
  key(1).actionType = 6;
  key(1).keyCode = 178;
  key(2).actionType = 1;
  key(3).actionType = 2;
  key(3).modifiers = kModCtrl | kModAlt;
  key(3).keyCode = 0x4C;
  key(4).actionType = 9;
  key(4).modifiers = kModWin;
  key(4).keyCode = 0x07;
  key(5).actionType = 0;
  panel.PutSettingToControl();
  EXPECT_EQ(Caption(0), L"Copy all");
  EXPECT_EQ(Caption(1), LangText(504));
  EXPECT_EQ(Caption(2), LangText(525));
  EXPECT_EQ(Caption(3), L"Ctrl+Alt+Delete");
  EXPECT_EQ(Caption(4), LangText(518));
  EXPECT_EQ(Caption(5), L"");

  // Another profile: its own keys.
  record.CurrentProfile = 0;
  panel.PutSettingToControl();
  EXPECT_EQ(Caption(0), L"Ctrl+1");
}

TEST_F(MacroPage, FactoryDefaultOfKey2IsCtrl3) {
  key(2).actionType = 6;
  key(2).keyCode = 178;
  key(2).modifiers = 0;
  Command(2, 1001);
  EXPECT_EQ(key(2).functionCode, 48);
  EXPECT_EQ(key(2).actionType, 2);
  EXPECT_EQ(key(2).modifiers, 1);
  EXPECT_EQ(key(2).keyCode, 0x20);
  EXPECT_EQ(Caption(2), L"Ctrl+3");
  EXPECT_EQ(record.MacroKeyInfoChanged[2][2], 1);
  EXPECT_EQ(OtherFlags(2), 0);
}

TEST_F(MacroPage, BindingAMacroCopiesItsContentsAndAMediaFunctionClearsThem) {
  library.push_back(MakeMacro(u"Short", 3, 1));
  library.push_back(MakeMacro(u"Burst", 7, 9));
  Command(4, 1101);
  const MacroRecord& burst = *library[1];
  EXPECT_EQ(key(4).functionCode, 3);
  EXPECT_EQ(key(4).actionType, 3);
  EXPECT_EQ(FromFixed(key(4).macroName), u"Burst");
  EXPECT_EQ(key(4).eventCount, 7);
  EXPECT_EQ(std::memcmp(key(4).events, burst.events, sizeof key(4).events), 0);
  EXPECT_EQ(key(4).repeatCount, 9);
  EXPECT_EQ(key(4).macroIndex, 1);
  EXPECT_EQ(Caption(4), L"Burst");
  EXPECT_EQ(record.MacroKeyInfoChanged[2][4], 1);
  EXPECT_EQ(OtherFlags(4), 0);

  // Play/pause (1014): name, events and count go; index and repeat stay.
  Command(4, 1014);
  EXPECT_EQ(key(4).actionType, 6);
  EXPECT_EQ(key(4).keyCode, 176);
  EXPECT_EQ(key(4).eventCount, 0);
  EXPECT_TRUE(AllZero(key(4).events, sizeof key(4).events));
  EXPECT_TRUE(AllZero(key(4).macroName, sizeof key(4).macroName));
  EXPECT_EQ(key(4).macroIndex, 1);
  EXPECT_EQ(key(4).repeatCount, 9);
  EXPECT_EQ(Caption(4), LangText(505));
}

TEST_F(MacroPage, CommandsWithoutAChoiceChangeNothing) {
  library.push_back(MakeMacro(u"Only", 2, 1));
  const SettingsRecord before = record;
  struct Case {
    int key;
    UINT id;
  } cases[] = {
      {0, 1004},             // a gap in the command table
      {0, 1041}, {1, 1101},  // a macro beyond the library
      {1, 3999}, {6, 1001},  // no such key on this page
  };
  for (const Case& c : cases) Command(c.key, c.id);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

// The shortcut dialog opened by command 1002, driven by a script.
struct DialogRun {
  std::vector<std::function<void(CDlgShortCut&)>> actions;
  std::vector<std::wstring> edits;
  std::vector<std::array<bool, 5>> checked;
};

void RunCombination(HWND panel, int k, DialogRun& run,
                    const std::function<void(int, UINT)>& command) {
  CDlgShortCut* dlg = nullptr;
  std::deque<std::function<bool()>> steps;
  steps.push_back([&] {
    dlg = vt::OpenDialog<CDlgShortCut>(panel);
    return dlg != nullptr;
  });
  for (auto& a : run.actions)
    steps.push_back([&dlg, a] {
      a(*dlg);
      return true;
    });
  vt::Script script(std::move(steps), 5000);
  command(k, 1002);
  EXPECT_TRUE(script.finished());
}

std::function<void(CDlgShortCut&)> Capture(int vk) {
  return [=](CDlgShortCut& d) { SendMessageW(d.hwnd(), win::WM_CAPTUREDKEY, vk, 0); };
}
std::function<void(CDlgShortCut&)> Toggle(int t) {
  return [=](CDlgShortCut& d) {
    HWND h = d.m_toggles[static_cast<size_t>(t)].hwnd();
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  };
}
std::function<void(CDlgShortCut&)> Look(DialogRun& run) {
  return [&run](CDlgShortCut& d) {
    run.edits.push_back(vt::WindowText(d.m_keyEdit));
    std::array<bool, 5> c{};
    for (size_t t = 0; t < 5; ++t) c[t] = d.m_toggles[t].GetCheck();
    run.checked.push_back(c);
  };
}
std::function<void(CDlgShortCut&)> Press(skin::CBitmapBtn CDlgShortCut::*button) {
  return [=](CDlgShortCut& d) { vt::Click(d.hwnd(), (d.*button).hwnd()); };
}

TEST_F(MacroPage, KeyCombinationComesFromTheShortcutDialog) {
  auto command = [this](int k, UINT id) { Command(k, id); };
  // Key 1 is Ctrl+2: the dialog opens on it; Alt added, Delete captured.
  DialogRun ctrl_alt;
  ctrl_alt.actions = {Look(ctrl_alt), Toggle(3), Capture(VK_DELETE), Press(&CDlgShortCut::m_btnOk)};
  RunCombination(panel.hwnd(), 1, ctrl_alt, command);
  ASSERT_EQ(ctrl_alt.edits.size(), 1u);
  EXPECT_EQ(ctrl_alt.edits[0], L"2");
  EXPECT_EQ(ctrl_alt.checked[0], (std::array<bool, 5>{false, true, false, false, false}));
  EXPECT_EQ(key(1).functionCode, 2);
  EXPECT_EQ(key(1).actionType, 2);
  EXPECT_EQ(key(1).modifiers, kModCtrl | kModAlt);
  EXPECT_EQ(key(1).keyCode, 0x4C);
  EXPECT_EQ(Caption(1), L"Ctrl+Alt+Delete");
  EXPECT_EQ(record.MacroKeyInfoChanged[2][1], 1);

  // No modifiers wins over the Ctrl the key had; a bound macro goes.
  library.push_back(MakeMacro(u"Gone", 4, 2));
  Command(3, 1100);
  DialogRun bare;
  bare.actions = {Toggle(0), Capture('B'), Press(&CDlgShortCut::m_btnOk)};
  key(3).modifiers = kModCtrl;  // as a hand-edited file might leave it
  RunCombination(panel.hwnd(), 3, bare, command);
  EXPECT_EQ(key(3).modifiers, 0);
  EXPECT_EQ(key(3).keyCode, 0x05);
  EXPECT_EQ(key(3).eventCount, 0);
  EXPECT_TRUE(AllZero(key(3).macroName, sizeof key(3).macroName));
  EXPECT_EQ(Caption(3), L"B");
}

TEST_F(MacroPage, CancelledCombinationLeavesTheKeyAlone) {
  auto command = [this](int k, UINT id) { Command(k, id); };
  const SettingsRecord before = record;
  for (auto ending : {Press(&CDlgShortCut::m_btnCancel), Press(&CDlgShortCut::m_btnClose),
                      std::function<void(CDlgShortCut&)>(
                          [](CDlgShortCut& d) { PostMessageW(d.hwnd(), WM_CLOSE, 0, 0); })}) {
    DialogRun run;
    run.actions = {Capture('Z'), Toggle(4), ending};
    RunCombination(panel.hwnd(), 0, run, command);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
    EXPECT_EQ(Caption(0), L"Ctrl+1");
  }
}

TEST_F(MacroPage, KeyMenuOffersEveryChoiceBelowItsButton) {
  library.push_back(MakeMacro(u"One", 2, 1));
  library.push_back(MakeMacro(u"Two", 2, 1));
  SeenMenu top, macros, media, system;
  RECT menu_rect{}, button{};
  GetWindowRect(panel.m_keys[3].hwnd(), &button);
  WhileMenuOpen(
      [&](HWND w) {
        GetWindowRect(w, &menu_rect);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0));
        top = ReadMenu(menu);
        macros = ReadMenu(GetSubMenu(menu, 0));
        media = ReadMenu(GetSubMenu(menu, 1));
        system = ReadMenu(GetSubMenu(menu, 2));
        EndMenu();
      },
      [&] {
        vt::Click(panel.hwnd(), panel.m_keys[3].hwnd());
        vt::Pump();
      });

  EXPECT_EQ(menu_rect.left, button.left);
  EXPECT_EQ(menu_rect.top, button.bottom);
  EXPECT_EQ(panel.key_index(), 3);
  // The manager would preselect the key whose menu was opened.
  EXPECT_EQ(std::memcmp(&panels::EditedKeyAssignment(), &key(3), sizeof(KeyAssignment)), 0);

  ASSERT_EQ(top.size(), 7u);
  EXPECT_TRUE(top[0].popup && top[1].popup && top[2].popup);
  EXPECT_EQ(top[0].text, LangText(501));
  EXPECT_EQ(top[1].text, LangText(503));
  EXPECT_EQ(top[2].text, LangText(512));
  EXPECT_EQ(Ids(top), (std::vector<UINT>{0, 0, 0, 0, 1001, 1002, 1040}));
  EXPECT_EQ(top[4].text, LangText(523));
  EXPECT_EQ(Ids(macros), (std::vector<UINT>{1099, 0, 1100, 1101}));
  EXPECT_EQ(macros[3].text, L"Two");
  EXPECT_EQ(Ids(media), (std::vector<UINT>{1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020}));
  EXPECT_EQ(media[7].text, LangText(511));
  EXPECT_EQ(Ids(system),
            (std::vector<UINT>{1060, 1022, 1021, 1064, 1065, 1063, 1062, 1028, 1029, 1030}));
  for (size_t i = 0; i < system.size(); ++i)
    EXPECT_EQ(system[i].text, LangText(513 + static_cast<UINT>(i))) << i;
  // Dismissed: nothing chosen, nothing changed.
  EXPECT_EQ(OtherFlags(-1), 0);

  // Without macros the submenu holds the manager alone.
  library.clear();
  WhileMenuOpen(
      [&](HWND w) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0));
        macros = ReadMenu(GetSubMenu(menu, 0));
        EndMenu();
      },
      [&] { panel.OpenKeyMenu(0); });
  EXPECT_EQ(Ids(macros), (std::vector<UINT>{1099}));
}

TEST_F(MacroPage, MenuMarksTheKeysMacroWhateverItsLetterCase) {
  library.push_back(MakeMacro(u"Paste", 2, 1));
  library.push_back(MakeMacro(u"  COPY ", 2, 1));
  library.push_back(MakeMacro(u"Copy2", 2, 1));
  key(1).actionType = 3;
  ToFixed(key(1).macroName, u"copy");
  // Key 5 is no macro key, whatever name its fields still hold.
  ToFixed(key(5).macroName, u"copy");
  auto marks_of = [&](int k) {
    std::vector<bool> marks;
    WhileMenuOpen(
        [&](HWND w) {
          HMENU menu = reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0));
          for (const SeenItem& i : ReadMenu(GetSubMenu(menu, 0))) marks.push_back(i.mark);
          EndMenu();
        },
        [&] { panel.OpenKeyMenu(k); });
    return marks;
  };
  EXPECT_EQ(marks_of(1), (std::vector<bool>{false, false, false, true, false}));
  EXPECT_EQ(marks_of(5), (std::vector<bool>{false, false, false, false, false}));
}

TEST_F(MacroPage, ChoiceFromTheRealMenuReachesTheKey) {
  // Down to the media submenu, open it, take its first item.
  WhileMenuOpen(
      [](HWND w) {
        for (WPARAM vk : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN})
          PostMessageW(w, WM_KEYDOWN, vk, 0);
      },
      [&] {
        vt::Click(panel.hwnd(), panel.m_keys[5].hwnd());
        vt::Pump();
      });
  EXPECT_EQ(key(5).functionCode, 24);
  EXPECT_EQ(key(5).actionType, 6);
  EXPECT_EQ(key(5).keyCode, 178);
  EXPECT_EQ(Caption(5), LangText(504));
  EXPECT_EQ(record.MacroKeyInfoChanged[2][5], 1);
  EXPECT_EQ(OtherFlags(5), 0);

  // From the bottom up: Disabled, key combination, factory default.
  WhileMenuOpen(
      [](HWND w) {
        for (WPARAM vk : {VK_UP, VK_UP, VK_UP, VK_RETURN}) PostMessageW(w, WM_KEYDOWN, vk, 0);
      },
      [&] { panel.OpenKeyMenu(5); });
  EXPECT_EQ(key(5).actionType, 2);
  EXPECT_EQ(Caption(5), L"Ctrl+6");
}

TEST_F(MacroPage, MacroManagerCommandChangesNoKey) {
  library.push_back(MakeMacro(u"Kept", 2, 1));
  Command(0, 1100);
  const SettingsRecord before = record;
  vt::Script script({[&] {
    auto* manager = vt::OpenDialog<panels::CDlgMacroMan>(host.hwnd());
    if (!manager) return false;
    PostMessageW(manager->hwnd(), WM_CLOSE, 0, 0);
    return true;
  }});
  Command(0, 1099);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
  EXPECT_EQ(Caption(0), L"Kept");
}

// Delete is swallowed on the page; Enter, Space and Esc go on to its window.
TEST_F(MacroPage, SwallowsDeleteAndLeavesThePressingKeysToItsWindow) {
  for (UINT msg : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}) {
    for (int vk : {VK_DELETE, VK_RETURN, VK_ESCAPE, VK_SPACE, int{'A'}}) {
      MSG m{panel.m_keys[0].hwnd(), msg, static_cast<WPARAM>(vk), 0};
      EXPECT_EQ(win::PreTranslateChain(m), vk == VK_DELETE) << msg << " " << vk;
    }
  }
}

TEST_F(MacroPage, MenusAndCaptionsGiveBackEveryGdiObject) {
  library.push_back(MakeMacro(u"Paint", 2, 1));
  vt::GdiTracker::Install();
  auto open_and_close = [&] {
    WhileMenuOpen([](HWND) { EndMenu(); }, [&] { panel.OpenKeyMenu(2); });
    panel.PutSettingToControl();
    RedrawWindow(panel.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  };
  open_and_close();  // caches made once
  const size_t before = vt::GdiTracker::Live();
  for (int i = 0; i < 3; ++i) open_and_close();
  EXPECT_EQ(vt::GdiTracker::Live(), before);
}

}  // namespace
