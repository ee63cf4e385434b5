// The macro manager driven for real inside its modal loop: recording (posted
// captured keys and real keystrokes through the keyboard capture), the macro
// list's names and deletions with their warnings, the repeat toggle and
// field, the event list's menu edits, and what OK and Cancel leave in
// "sequence.dat".
#include "panels/macro_man.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gdi_tracker.h"
#include "model/macro_edit.h"
#include "model/macro_recorder.h"
#include "model/macro_store.h"
#include "model/text.h"
#include "shell/app_state.h"
#include "skin/warning_dialog.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"

using namespace vantrel;
using panels::CDlgMacroMan;

namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kUsageA = 0x04, kUsageB = 0x05, kUsageC = 0x06, kUsageQ = 0x14;

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Pumps until `done` or about two seconds passed.
bool PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 200 && !done(); ++i) {
    Pump();
    Sleep(10);
  }
  return done();
}

std::wstring Text(HWND hwnd) {
  wchar_t buf[256] = {};
  GetWindowTextW(hwnd, buf, 256);
  return buf;
}

struct Line {
  std::wstring text;
  std::uint32_t data;
};
std::vector<Line> Lines(HWND list) {
  std::vector<Line> out;
  const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t buf[128] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
    out.push_back({buf, static_cast<std::uint32_t>(SendMessageW(list, LB_GETITEMDATA, i, 0))});
  }
  return out;
}

std::vector<MacroEvent> Events(const MacroRecord& m) {
  return {m.events, m.events + MacroEventCount(m)};
}
MacroEvent Down(std::uint8_t code, std::uint16_t delay = 0) { return {code, 1, delay}; }
MacroEvent Up(std::uint8_t code, std::uint16_t delay = 0) { return {code, 2, delay}; }
::testing::AssertionResult SameEvents(const std::vector<MacroEvent>& got,
                                      const std::vector<MacroEvent>& want) {
  bool same = got.size() == want.size();
  for (size_t i = 0; same && i < got.size(); ++i) same = SameEvent(got[i], want[i]);
  if (same) return ::testing::AssertionSuccess();
  auto show = [](const std::vector<MacroEvent>& v) {
    std::string s;
    for (const MacroEvent& e : v)
      s += std::to_string(e.keyCode) + "/" + std::to_string(e.action) + "/" +
           std::to_string(e.delayMs) + " ";
    return s;
  };
  return ::testing::AssertionFailure() << "got " << show(got) << ", want " << show(want);
}

std::unique_ptr<MacroRecord> Macro(const char16_t* name, std::vector<MacroEvent> events = {},
                                   int repeat = 0) {
  auto m = std::make_unique<MacroRecord>();
  ToFixed(m->name, name);
  for (size_t i = 0; i < events.size(); ++i) m->events[i] = events[i];
  m->eventCount = static_cast<int>(events.size());
  m->repeatCount = repeat;
  return m;
}

// A skinned button's click, as the dialog receives it.
void Click(CDlgMacroMan& dlg, skin::CBitmapBtn& button) {
  SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
               reinterpret_cast<LPARAM>(button.hwnd()));
}

// Answers every warning box that opens on this thread with OK or Cancel and
// notes its kind.
class WarningAnswerer {
 public:
  explicit WarningAnswerer(bool ok) : ok_(ok) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 10, &Tick);
  }
  ~WarningAnswerer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  std::vector<int> kinds;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current_) return;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM) -> BOOL {
          auto* w = dynamic_cast<skin::CDlgWarning*>(win::Window::FromHandle(h));
          if (!w || !w->is_modal_running() || !IsWindowVisible(h)) return TRUE;
          if (h == current_->answered_) return FALSE;
          current_->answered_ = h;
          current_->kinds.push_back(w->kind);
          HWND button = current_->ok_ ? w->m_btnOK.hwnd() : w->m_btnCancel.hwnd();
          PostMessageW(h, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
          return FALSE;
        },
        0);
  }
  inline static WarningAnswerer* current_ = nullptr;
  bool ok_;
  HWND answered_ = nullptr;
  UINT_PTR timer_ = 0;
};

// Runs the steps inside the dialog's own modal loop, one per timer tick so
// that what a step posts is handled by that loop before the next step. The
// last step ends the dialog (or the dialog is cancelled after it).
using StepFn = std::function<void(CDlgMacroMan&)>;
class Driver {
 public:
  Driver(CDlgMacroMan& dlg, std::vector<StepFn> steps) : dlg_(dlg), steps_(std::move(steps)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 15, &Tick);
  }
  ~Driver() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Driver* self = current_;
    // A step that opened a nested loop (a warning) is still running, or
    // the dialog's popup menu is up.
    // Steps start once the dialog is initialised and shown: loading its
    // pictures may pump messages while it is still being created.
    if (!self || self->busy_ || !self->dlg_.is_modal_running() || !self->dlg_.hwnd() ||
        !IsWindowVisible(self->dlg_.hwnd()))
      return;
    if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) return;
    // A warning the dialog opened disables it until answered.
    if (!IsWindowEnabled(self->dlg_.hwnd())) return;
    self->busy_ = true;
    if (self->next_ < self->steps_.size()) {
      self->steps_[self->next_++](self->dlg_);
    } else if (self->dlg_.recording()) {
      ADD_FAILURE() << "still recording at the end";
      Click(self->dlg_, self->dlg_.m_btnRecord);
    } else {
      self->dlg_.End(IDCANCEL);
    }
    self->busy_ = false;
  }
  inline static Driver* current_ = nullptr;
  CDlgMacroMan& dlg_;
  std::vector<StepFn> steps_;
  size_t next_ = 0;
  bool busy_ = false;
  UINT_PTR timer_ = 0;
};

INT_PTR RunDialog(CDlgMacroMan& dlg, std::vector<StepFn> steps) {
  Driver driver(dlg, std::move(steps));
  return dlg.RunModal(nullptr);
}

// A toggle flips itself on release and then tells the dialog.
void Toggle(skin::CBitmapBtn& button) { SendMessageW(button.hwnd(), BM_CLICK, 0, 0); }

void Key(CDlgMacroMan& dlg, int vk, UINT flags) {
  SendMessageW(dlg.hwnd(), win::WM_CAPTUREDKEY, vk, flags);
}
// A context-menu command with event-list line `line` selected.
void Menu(CDlgMacroMan& dlg, UINT id, int line) {
  SendMessageW(dlg.m_eventList.hwnd(), LB_SETCURSEL, line, 0);
  SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}
void SelectMacroLine(CDlgMacroMan& dlg, int line) {
  SendMessageW(dlg.m_macroList.hwnd(), LB_SETCURSEL, line, 0);
  SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(CDlgMacroMan::kMacroListId, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(dlg.m_macroList.hwnd()));
}
// Types `text` into the open in-place editor of `list` and commits with Enter.
void TypeIntoEditor(skin::CListBoxEx& list, const wchar_t* text) {
  ASSERT_NE(list.editor(), nullptr);
  SetWindowTextW(list.editor(), text);
  SendMessageW(list.editor(), WM_KEYUP, VK_RETURN, 0);
  Pump();  // the commit notice is posted
}
void SetRepeatText(CDlgMacroMan& dlg, const wchar_t* text) {
  SetWindowTextW(dlg.repeat_field(), text);  // EN_CHANGE
}

class MacroMan : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    wchar_t tmp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"VANTREL_TEST_TMP", tmp, MAX_PATH);
    data_dir_ = fs::path(tmp[0] ? tmp : L"C:\\windows\\temp") / L"macro_man_test";
    SetEnvironmentVariableW(L"VANTREL_DATA_DIR", data_dir_.wstring().c_str());
    win::SetApplicationDirectory(VANTREL_DIST_DIR);
  }
  void SetUp() override {
    std::error_code ec;
    fs::remove_all(data_dir_, ec);
    fs::create_directories(data_dir_, ec);
    ProcessMacroRecorderState() = {};
    panels::EditedKeyAssignment() = {};
    keys_ = std::make_unique<SettingsRecord>();
  }
  void TearDown() override {
    EXPECT_FALSE(win::KeyboardCaptureInstalled()) << "the keyboard was not given back";
  }
  CDlgMacroMan& Dialog() {
    dlg_ = std::make_unique<CDlgMacroMan>(library_);
    dlg_->keys = keys_.get();
    return *dlg_;
  }

  inline static fs::path data_dir_;
  MacroLibrary library_;
  std::unique_ptr<SettingsRecord> keys_;
  std::unique_ptr<CDlgMacroMan> dlg_;
};

TEST_F(MacroMan, RecordingReplacesAllEventsAndRecordAfterTheLastAppends) {
  library_.push_back(Macro(u"Combo", {Down(kUsageB, 40), Up(kUsageB)}));
  CDlgMacroMan& dlg = Dialog();
  bool disabled_while_recording = false;
  std::wstring caption_while_recording;
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
                    ASSERT_EQ(Lines(d.m_eventList.hwnd()).size(), 3u);  // B, 40 ms, B
                    Click(d, d.m_btnRecord);
                    ASSERT_TRUE(d.recording());
                    EXPECT_TRUE(win::KeyboardCaptureInstalled());
                    EXPECT_TRUE(Lines(d.m_eventList.hwnd()).empty());
                    EXPECT_TRUE(d.m_btnRecord.GetCheck());
                    caption_while_recording = d.m_btnRecord.text;
                    disabled_while_recording = !IsWindowEnabled(d.m_btnOK.hwnd()) &&
                                               !IsWindowEnabled(d.m_btnCancel.hwnd()) &&
                                               !IsWindowEnabled(d.m_btnClose.hwnd()) &&
                                               !IsWindowEnabled(d.m_btnNew.hwnd()) &&
                                               !IsWindowEnabled(d.m_btnDelete.hwnd()) &&
                                               !IsWindowEnabled(d.m_macroList.hwnd());
                    Key(d, 'A', 0x00);
                    Key(d, 'A', 0x00);  // a held key repeats its press: dropped
                    Key(d, 'A', 0x80);
                    // The list follows the recording.
                    EXPECT_EQ(Lines(d.m_eventList.hwnd()).size(), 2u);
                    Click(d, d.m_btnRecord);
                    EXPECT_FALSE(d.recording());
                    EXPECT_FALSE(d.m_btnRecord.GetCheck());
                    EXPECT_TRUE(IsWindowEnabled(d.m_btnOK.hwnd()));
                    EXPECT_TRUE(IsWindowEnabled(d.m_macroList.hwnd()));
                  },
                  [&](CDlgMacroMan& d) {
                    EXPECT_TRUE(SameEvents(Events(*library_[0]), {Down(kUsageA), Up(kUsageA)}));
                    // "Record after" on the last line appends.
                    Menu(d, CDlgMacroMan::kCmdRecordAfter, 1);
                    ASSERT_TRUE(d.recording());
                    Key(d, 'C', 0x00);
                    Key(d, 'C', 0x80);
                    Click(d, d.m_btnRecord);
                    // "Record before" on the first event goes in front of it.
                    Menu(d, CDlgMacroMan::kCmdRecordBefore, 0);
                    ASSERT_TRUE(d.recording());
                    Key(d, 'B', 0x00);
                    Click(d, d.m_btnRecord);
                  }});
  EXPECT_TRUE(disabled_while_recording);
  EXPECT_EQ(caption_while_recording, L"Stop");
  EXPECT_TRUE(SameEvents(Events(*library_[0]),
                         {Down(kUsageB), Down(kUsageA), Up(kUsageA), Down(kUsageC), Up(kUsageC)}));
}

TEST_F(MacroMan, RecordDoesNothingWithoutAMacroAndStopsItselfAtFiftyEvents) {
  CDlgMacroMan& dlg = Dialog();
  bool recorded_without_macro = true;
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
              Click(d, d.m_btnRecord);
              recorded_without_macro = d.recording();
            }});
  EXPECT_FALSE(recorded_without_macro);

  library_.push_back(Macro(u"Long"));
  CDlgMacroMan& again = Dialog();
  bool stopped = false;
  RunDialog(again, {[&](CDlgMacroMan& d) {
              Click(d, d.m_btnRecord);
              for (int i = 0; i < 30; ++i) {  // 60 presses and releases of changing keys
                Key(d, 'A' + i % 26, 0x00);
                Key(d, 'A' + i % 26, 0x80);
              }
              stopped = !d.recording() && IsWindowEnabled(d.m_btnOK.hwnd()) &&
                        GetFocus() == d.m_eventList.hwnd();
            }});
  EXPECT_TRUE(stopped);
  EXPECT_EQ(library_[0]->eventCount, 50);
}

void Type(WORD vk, bool release) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof(INPUT));
}

TEST_F(MacroMan, RealKeystrokesAreRecordedWithTheirPauseWhenDelaysAreOn) {
  library_.push_back(Macro(u"Typed"));
  CDlgMacroMan& dlg = Dialog();
  bool got = false;
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
              EXPECT_FALSE(d.recorder().record_delays);  // off in every new dialog
              Toggle(d.m_btnDelays);
              EXPECT_TRUE(d.recorder().record_delays);
              Click(d, d.m_btnRecord);
              Type('Q', false);
              PumpUntil([&] { return d.recorder().count >= 1; });
              Sleep(60);
              Type('Q', true);
              got = PumpUntil([&] { return d.recorder().count >= 2; });
              Click(d, d.m_btnRecord);
            }});
  ASSERT_TRUE(got) << "the injected keystrokes never reached the capture";
  ASSERT_EQ(library_[0]->eventCount, 2);
  EXPECT_EQ(library_[0]->events[0].keyCode, kUsageQ);
  EXPECT_EQ(library_[0]->events[0].action, 1);
  // The pause between press and release, measured while delays are on.
  EXPECT_GE(library_[0]->events[0].delayMs, 40);
  EXPECT_LT(library_[0]->events[0].delayMs, 5000);
  EXPECT_EQ(library_[0]->events[1].action, 2);
  EXPECT_EQ(library_[0]->events[1].delayMs, 0);
}

TEST_F(MacroMan, NewNamesAreTrimmedAndCaseOnlyDuplicatesRefused) {
  library_.push_back(Macro(u"Reload"));
  CDlgMacroMan& dlg = Dialog();
  WarningAnswerer answer(true);
  std::vector<std::wstring> after_dup;
  int selected_after_dup = -2;
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
                    Click(d, d.m_btnNew);
                    TypeIntoEditor(d.m_macroList, L"  Spray ");
                  },
                  [&](CDlgMacroMan& d) {
                    Click(d, d.m_btnNew);
                    TypeIntoEditor(d.m_macroList, L"RELOAD");
                  },
                  [&](CDlgMacroMan& d) {
                    for (const Line& l : Lines(d.m_macroList.hwnd())) after_dup.push_back(l.text);
                    selected_after_dup = d.selected_macro();
                    // A name of spaces only is dropped without a word.
                    Click(d, d.m_btnNew);
                    TypeIntoEditor(d.m_macroList, L"   ");
                  }});
  ASSERT_EQ(library_.size(), 2u);
  EXPECT_EQ(MacroName(*library_[1]), u"Spray");
  EXPECT_EQ(library_[1]->eventCount, 0);
  EXPECT_EQ(library_[1]->repeatCount, 0);
  EXPECT_EQ(answer.kinds, std::vector<int>{4});
  EXPECT_EQ(after_dup, (std::vector<std::wstring>{L"Reload", L"Spray"}));
  EXPECT_EQ(selected_after_dup, 1);
}

TEST_F(MacroMan, NoHundredthMacro) {
  for (int i = 0; i < kMacroLibraryMax; ++i)
    library_.push_back(Macro((u"M" + ToU16Decimal(i)).c_str()));
  CDlgMacroMan& dlg = Dialog();
  HWND editor = nullptr;
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
              Click(d, d.m_btnNew);
              editor = d.m_macroList.editor();
            }});
  EXPECT_EQ(editor, nullptr);
  EXPECT_EQ(library_.size(), 99u);
}

TEST_F(MacroMan, OnlyAKeyWithTheExactNameBlocksDeleting) {
  library_.push_back(Macro(u"Reload"));
  library_.push_back(Macro(u"Spray"));
  ToFixed(keys_->profiles[2].MacroKeyInfo[3].macroName, u"reload");  // case differs
  ToFixed(keys_->profiles[1].MacroKeyInfo[0].macroName, u"Spray");
  {
    WarningAnswerer cancel(false);
    RunDialog(Dialog(), {[&](CDlgMacroMan& d) { Click(d, d.m_btnDelete); }});
    EXPECT_EQ(cancel.kinds, std::vector<int>{1});  // asked, not refused
    EXPECT_EQ(library_.size(), 2u);
  }
  {
    WarningAnswerer ok(true);
    int selected = -2;
    RunDialog(Dialog(), {[&](CDlgMacroMan& d) { Click(d, d.m_btnDelete); },
                         [&](CDlgMacroMan& d) {
                           selected = d.selected_macro();
                           Click(d, d.m_btnDelete);  // "Spray" is on a key
                         }});
    EXPECT_EQ(ok.kinds, (std::vector<int>{1, 3}));
    ASSERT_EQ(library_.size(), 1u);
    EXPECT_EQ(MacroName(*library_[0]), u"Spray");
    EXPECT_EQ(selected, 0);
  }
  // The Delete key in a list deletes the selected macro the same way.
  keys_ = std::make_unique<SettingsRecord>();
  WarningAnswerer ok(true);
  int lines = -1;
  RunDialog(Dialog(),
            {[&](CDlgMacroMan& d) { PostMessageW(d.m_eventList.hwnd(), WM_KEYDOWN, VK_DELETE, 0); },
             [&](CDlgMacroMan& d) {
               lines = static_cast<int>(SendMessageW(d.m_macroList.hwnd(), LB_GETCOUNT, 0, 0));
             }});
  EXPECT_TRUE(library_.empty());
  EXPECT_EQ(lines, 0);
}

TEST_F(MacroMan, RepeatFieldIsClampedAtOnceAndTheToggleDecidesWhatIsStored) {
  library_.push_back(Macro(u"Off", {}, 0));
  library_.push_back(Macro(u"Five", {}, 5));
  CDlgMacroMan& dlg = Dialog();
  struct Seen {
    std::wstring field;
    bool checked;
    std::int32_t stored;
  };
  std::vector<Seen> seen;
  auto look = [&](CDlgMacroMan& d) {
    seen.push_back({Text(d.repeat_field()), d.m_btnRepeat.GetCheck(), library_[0]->repeatCount});
  };
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
              look(d);  // 0: shown as 1, toggle off
              SetRepeatText(d, L"0");
              look(d);
              SetRepeatText(d, L"");
              look(d);
              SetRepeatText(d, L"300");
              look(d);  // 255 shown, still stored as off
              Toggle(d.m_btnRepeat);
              look(d);  // on: the field's value
              SetRepeatText(d, L"7");
              look(d);
              SelectMacroLine(d, 1);
              SelectMacroLine(d, 0);
              look(d);  // read back as on, 7
              Toggle(d.m_btnRepeat);
              look(d);  // off stores 0
              SelectMacroLine(d, 1);
              SelectMacroLine(d, 0);
              look(d);  // read back as off
            }});
  const std::vector<Seen> want = {{L"1", false, 0},   {L"1", false, 0},    {L"1", false, 0},
                                  {L"255", false, 0}, {L"255", true, 255}, {L"7", true, 7},
                                  {L"7", true, 7},    {L"7", false, 0},    {L"1", false, 0}};
  ASSERT_EQ(seen.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(seen[i].field, want[i].field) << i;
    EXPECT_EQ(seen[i].checked, want[i].checked) << i;
    EXPECT_EQ(seen[i].stored, want[i].stored) << i;
  }
  EXPECT_EQ(library_[1]->repeatCount, 5);  // only the selected macro changes
}

TEST_F(MacroMan, PauseLinesAndTheirEditing) {
  library_.push_back(Macro(u"Paused", {Down(kUsageA, 30), Up(kUsageA)}));
  CDlgMacroMan& dlg = Dialog();
  std::vector<Line> before, after, after_esc;
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
                    before = Lines(d.m_eventList.hwnd());
                    Menu(d, CDlgMacroMan::kCmdEdit, 0);  // not a pause line: nothing
                    EXPECT_EQ(d.m_eventList.editor(), nullptr);
                    Menu(d, CDlgMacroMan::kCmdEdit, 1);
                    TypeIntoEditor(d.m_eventList, L"250");
                  },
                  [&](CDlgMacroMan& d) {
                    after = Lines(d.m_eventList.hwnd());
                    Menu(d, CDlgMacroMan::kCmdEdit, 1);
                    TypeIntoEditor(d.m_eventList, L"0");  // clamped to 1
                    // Esc drops the line from the list; the pause stays and
                    // is shown again.
                    Menu(d, CDlgMacroMan::kCmdEdit, 1);
                    SendMessageW(d.m_eventList.editor(), WM_KEYUP, VK_ESCAPE, 0);
                  },
                  [&](CDlgMacroMan& d) {
                    PumpUntil([&] { return Lines(d.m_eventList.hwnd()).size() == 3; });
                    after_esc = Lines(d.m_eventList.hwnd());
                  }});
  ASSERT_EQ(before.size(), 3u);
  EXPECT_EQ(before[0].text, L"A");
  EXPECT_EQ(before[0].data, (1u << 16) | 138u);
  EXPECT_EQ(before[1].text, L"30 ms");
  EXPECT_EQ(before[1].data, (1u << 16) | 140u);
  EXPECT_EQ(before[2].data, (2u << 16) | 139u);
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(after[1].text, L"250 ms");
  EXPECT_EQ(after[1].data, before[1].data);
  ASSERT_EQ(after_esc.size(), 3u);
  EXPECT_EQ(after_esc[1].text, L"1 ms");
  EXPECT_TRUE(SameEvents(Events(*library_[0]), {Down(kUsageA, 1), Up(kUsageA)}));
}

TEST_F(MacroMan, InsertDelayAndDeleteAndTheirRefusals) {
  library_.push_back(Macro(u"Edit", {Down(kUsageA), Up(kUsageA, 5), Down(kUsageB), Up(kUsageB)}));
  CDlgMacroMan& dlg = Dialog();
  int selected = -1;
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
              // Lines: A 0, A 1, 5 ms 2, B 3, B 4.
              Menu(d, CDlgMacroMan::kCmdInsertDelay, 0);  // the first event
              Menu(d, CDlgMacroMan::kCmdInsertDelay, 2);  // a pause line
              Menu(d, CDlgMacroMan::kCmdInsertDelay, 3);  // event 1 has a pause already
              EXPECT_TRUE(SameEvents(Events(*library_[0]),
                                     {Down(kUsageA), Up(kUsageA, 5), Down(kUsageB), Up(kUsageB)}));
              Menu(d, CDlgMacroMan::kCmdInsertDelay, 1);
              selected = static_cast<int>(SendMessageW(d.m_eventList.hwnd(), LB_GETCURSEL, 0, 0));
              // Lines: A 0, 1 ms 1, A 2, 5 ms 3, B 4, B 5.
              Menu(d, CDlgMacroMan::kCmdDelete, 3);  // a pause line clears the pause
              Menu(d, CDlgMacroMan::kCmdDelete, 4);  // an event line removes the event
            }});
  EXPECT_EQ(selected, 1);  // the new pause line
  EXPECT_TRUE(SameEvents(Events(*library_[0]), {Down(kUsageA, 1), Up(kUsageA), Down(kUsageB)}));
}

TEST_F(MacroMan, MouseInsertionsAndTheirLimits) {
  library_.push_back(Macro(u"Mouse", {Down(kUsageA), Up(kUsageA)}));
  library_.push_back(Macro(u"Full", std::vector<MacroEvent>(49, Down(kUsageB))));
  CDlgMacroMan& dlg = Dialog();
  std::vector<Line> lines;
  int full_count_after_click = -1;
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
              Menu(d, CDlgMacroMan::MouseCommand(0, 2), 1);   // left click before "A up"
              Menu(d, CDlgMacroMan::MouseCommand(4, 1), -1);  // button 5 release appended
              lines = Lines(d.m_eventList.hwnd());
              SelectMacroLine(d, 1);
              Menu(d, CDlgMacroMan::MouseCommand(1, 2), 0);  // a click needs two slots: refused
              full_count_after_click = library_[1]->eventCount;
              Menu(d, CDlgMacroMan::MouseCommand(1, 0), 0);  // a press fits
              Menu(d, CDlgMacroMan::MouseCommand(1, 1), 0);  // at 50: refused
            }});
  EXPECT_TRUE(SameEvents(Events(*library_[0]),
                         {Down(kUsageA), {240, 1, 0}, {240, 2, 0}, Up(kUsageA), {244, 2, 0}}));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1].text, L"L-Button Down");
  EXPECT_EQ(lines[1].data, (2u << 16) | 143u);
  EXPECT_EQ(lines[4].text, L"Button 5 Up");
  EXPECT_EQ(full_count_after_click, 49);
  EXPECT_EQ(library_[1]->eventCount, 50);
  EXPECT_TRUE(SameEvent(library_[1]->events[0], {241, 1, 0}));
}

TEST_F(MacroMan, CommandsWithoutAMacroChangeNothing) {
  CDlgMacroMan& dlg = Dialog();
  bool recording = true;
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
              for (UINT id : {CDlgMacroMan::kCmdRecordBefore, CDlgMacroMan::kCmdInsertDelay,
                              CDlgMacroMan::MouseCommand(0, 2), CDlgMacroMan::kCmdDelete})
                Menu(d, id, -1);
              recording = d.recording();
              EXPECT_EQ(SendMessageW(d.m_eventList.hwnd(), LB_GETCOUNT, 0, 0), 0);
            }});
  EXPECT_FALSE(recording);
  EXPECT_TRUE(library_.empty());
}

TEST_F(MacroMan, TheEventMenuIsShownAndItsChoiceCarriedOut) {
  library_.push_back(Macro(u"Menu", {Down(kUsageA), Up(kUsageA)}));
  CDlgMacroMan& dlg = Dialog();
  struct Chooser {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      HWND menu = FindWindowW(L"#32768", nullptr);
      if (!menu || !IsWindowVisible(menu)) return;
      KillTimer(nullptr, id);
      // Down three times reaches "Insert delay".
      for (int i = 0; i < 3; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    }
  };
  RunDialog(dlg, {[&](CDlgMacroMan& d) {
                    SendMessageW(d.m_eventList.hwnd(), LB_SETCURSEL, 1, 0);
                    SetTimer(nullptr, 0, 20, &Chooser::Tick);
                    PostMessageW(d.m_eventList.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON,
                                 MAKELPARAM(5, 5));
                  },
                  [](CDlgMacroMan&) {}});
  EXPECT_TRUE(SameEvents(Events(*library_[0]), {Down(kUsageA, 1), Up(kUsageA)}));
}

TEST_F(MacroMan, OpensOnTheMacroOfTheKeyWhoseMenuWasOpenedLast) {
  library_.push_back(Macro(u"First"));
  library_.push_back(Macro(u"Reload all"));
  library_.push_back(Macro(u"Reload"));
  KeyAssignment& key = panels::EditedKeyAssignment();
  key.actionType = kActionTypeMacro;
  ToFixed(key.macroName, u"reload");
  int selected = -1, line = -1;
  RunDialog(Dialog(), {[&](CDlgMacroMan& d) {
              selected = d.selected_macro();
              line = static_cast<int>(SendMessageW(d.m_macroList.hwnd(), LB_GETCURSEL, 0, 0));
            }});
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(line, 2);
}

// Enter and Esc belong to an open editor: Enter commits the name and the
// dialog stays.
TEST_F(MacroMan, EnterInTheNameEditorCommitsAndTheDialogStays) {
  library_.push_back(Macro(u"Keys"));
  CDlgMacroMan& dlg = Dialog();
  bool running = false;
  INT_PTR result = RunDialog(dlg, {[&](CDlgMacroMan& d) {
                                     Click(d, d.m_btnNew);
                                     SetWindowTextW(d.m_macroList.editor(), L"Typed");
                                     // Enter in the editor commits the name.
                                     PostMessageW(d.m_macroList.editor(), WM_KEYDOWN, VK_RETURN, 0);
                                     PostMessageW(d.m_macroList.editor(), WM_KEYUP, VK_RETURN, 0);
                                   },
                                   [&](CDlgMacroMan& d) {
                                     running = d.is_modal_running();
                                     Click(d, d.m_btnOK);
                                   }});
  EXPECT_TRUE(running);
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(library_.size(), 2u);
  EXPECT_EQ(MacroName(*library_[1]), u"Typed");
}

// A thread timer finds the manager that RunMacroManager creates itself.
struct Script {
  static CDlgMacroMan* Find() {
    CDlgMacroMan* found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
          auto* d = dynamic_cast<CDlgMacroMan*>(win::Window::FromHandle(h));
          if (!d || !d->is_modal_running()) return TRUE;
          *reinterpret_cast<CDlgMacroMan**>(lp) = d;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }
  inline static bool ok = false;
  inline static bool busy = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    CDlgMacroMan* d = busy ? nullptr : Find();
    if (!d) return;
    busy = true;
    KillTimer(nullptr, id);
    Click(*d, d->m_btnDelete);  // "Keep" is selected first; the answer is OK
    Click(*d, d->m_btnNew);
    TypeIntoEditor(d->m_macroList, L"Added");
    SelectMacroLine(*d, 0);
    Click(*d, d->m_btnRecord);
    // Another key each run: a first key equal to the last one handled
    // (same key, same flags) is dropped as a held key's repeat.
    Key(*d, ok ? 'C' : 'B', 0);
    Click(*d, d->m_btnRecord);
    Click(*d, ok ? d->m_btnOK : d->m_btnCancel);
    busy = false;
  }
};

TEST_F(MacroMan, OkSavesAndAnyOtherEndingReloads) {
  MacroLibrary& lib = shell::Macros();
  ClearMacroLibrary(lib);
  lib.push_back(Macro(u"Keep", {Down(kUsageA), Up(kUsageA)}));
  lib.push_back(Macro(u"Gone"));
  ASSERT_TRUE(SaveMacroLibrary(lib, shell::MacroFile()));
  ResetRecord(shell::LiveRecord());

  auto names = [](const MacroLibrary& l) {
    std::vector<std::u16string> out;
    for (const auto& m : l) out.push_back(MacroName(*m));
    return out;
  };

  {
    WarningAnswerer yes(true);
    Script::ok = false;
    SetTimer(nullptr, 0, 15, &Script::Tick);
    EXPECT_FALSE(panels::RunMacroManager(nullptr, shell::MacroStorage(), shell::LiveRecord()));
  }
  EXPECT_EQ(names(lib), (std::vector<std::u16string>{u"Keep", u"Gone"}));
  EXPECT_TRUE(SameEvents(Events(*lib[0]), {Down(kUsageA), Up(kUsageA)}));

  {
    WarningAnswerer yes(true);
    Script::ok = true;
    SetTimer(nullptr, 0, 15, &Script::Tick);
    EXPECT_TRUE(panels::RunMacroManager(nullptr, shell::MacroStorage(), shell::LiveRecord()));
  }
  MacroLibrary saved;
  LoadMacroLibrary(saved, shell::MacroFile());
  EXPECT_EQ(names(saved), (std::vector<std::u16string>{u"Gone", u"Added"}));
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_TRUE(SameEvents(Events(*saved[0]), {Down(kUsageC)}));
  ClearMacroLibrary(lib);
}

TEST_F(MacroMan, GivesBackEveryGdiObjectItMade) {
  library_.push_back(Macro(u"Gdi", {Down(kUsageA, 30), Up(kUsageA), {240, 1, 0}}));
  vantrel::testing::GdiTracker::Install();
  RunDialog(Dialog(), {[](CDlgMacroMan&) {}});  // fonts, pictures and caches made once
  const size_t before = vantrel::testing::GdiTracker::Live();
  for (int i = 0; i < 3; ++i) {
    RunDialog(Dialog(), {[](CDlgMacroMan& d) {
                Menu(d, CDlgMacroMan::kCmdInsertDelay, 2);
                UpdateWindow(d.m_eventList.hwnd());
                UpdateWindow(d.hwnd());
              }});
  }
  EXPECT_EQ(vantrel::testing::GdiTracker::Live(), before);
}

}  // namespace
