#include "panels/macro_man.h"

#include <algorithm>
#include <vector>

#include "model/macro_edit.h"
#include "model/macro_store.h"
#include "model/text.h"
#include "skin/lang_strings.h"
#include "skin/paint_text.h"
#include "skin/warning_dialog.h"
#include "win/dialog_templates.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"

namespace vantrel::panels {
namespace {

const skin::TextTable& Texts() { return MacroManagerTexts(); }

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTitleWhite = RGB(253, 253, 253);
constexpr COLORREF kListAccent = 0x0A51B2;
constexpr int kRecordIdle = 6, kRecordStop = 7;
constexpr RECT kRepeatFieldRect{269, 357, 269 + 88, 357 + 17};

// The warning box of the given kind, owned by the manager; 1 = confirmed.
INT_PTR Warn(HWND owner, int kind) {
  skin::CDlgWarning warning;
  warning.kind = kind;
  return warning.RunModal(owner);
}

int ListCount(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }

bool IsKeyMessage(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP;
}

}  // namespace

const skin::TextTable& MacroManagerTexts() { return skin::Texts(900, 26); }

KeyAssignment& EditedKeyAssignment() {
  static KeyAssignment key{};
  return key;
}

CDlgMacroMan::CDlgMacroMan(MacroLibrary& library)
    : SkinnedDialog(win::kMacroManagerTemplate, Drag::Self),
      library_(library),
      recorder_({.install = [this] { win::InstallKeyboardCapture(hwnd()); },
                 .remove = [] { win::RemoveKeyboardCapture(); }}) {
  // Every dialog starts without pause recording and with an empty buffer.
  recorder_.record_delays = false;
  recorder_.Clear();
  recorder_.insert_position = -1;
}

CDlgMacroMan::~CDlgMacroMan() = default;

bool CDlgMacroMan::OnCreate(const CREATESTRUCTW&) {
  const skin::TextTable& texts = Texts();
  static const wchar_t* const kKeys[] = {L"1", L"2",  L"3",  L"4",  L"5",  L"7", L"8",
                                         L"9", L"12", L"15", L"13", L"14", L"6", L"11"};
  skin::CBitmapBtn* buttons[] = {&m_btnOK,     &m_btnCancel, &m_btnClose,  &m_btnNew,
                                 &m_btnDelete, &m_btnRecord, &m_btnDelays, &m_btnRepeat,
                                 &m_lblMacros, &m_lblEvents, &m_lblDelays, &m_lblRepeat};
  const std::vector<SkinButtonPos> pos =
      ApplySkin({L"Skins\\skin_macro_manager.ini", kKeys}, buttons);
  struct Caption {
    skin::CBitmapBtn& button;
    size_t entry;
    bool label;
  } captions[] = {{m_btnOK, 10, false},    {m_btnCancel, 11, false}, {m_btnNew, 2, false},
                  {m_btnDelete, 3, false}, {m_btnRecord, 6, false},  {m_lblMacros, 4, true},
                  {m_lblEvents, 1, true},  {m_lblDelays, 5, true},   {m_lblRepeat, 9, true}};
  for (const Caption& c : captions) {
    c.button.text = skin::TextAt(texts, c.entry);
    if (c.label) {
      // Labels keep white text in every look: they are never pressed.
      c.button.text_colour = c.button.hover_text_colour = c.button.pressed_text_colour = kWhite;
      c.button.font_weight = 400;
    } else {
      c.button.SetTooltipText(c.button.text);
    }
    c.button.Repaint();
  }
  m_btnDelays.toggle_mode = true;
  m_btnRepeat.toggle_mode = true;

  list_brush_.reset(CreateSolidBrush(RGB(0, 0, 0)));
  struct List {
    skin::CListBoxEx& list;
    size_t key;
    UINT id;
  } lists[] = {{m_macroList, 12, kMacroListId}, {m_eventList, 13, kEventListId}};
  for (const List& l : lists) {
    RECT r{};
    if (l.key < pos.size())
      r = {pos[l.key].left, pos[l.key].top, pos[l.key].right, pos[l.key].bottom};
    if (!l.list.Create(hwnd(), r, l.id)) continue;
    l.list.list_id = static_cast<int>(l.id);
    l.list.text_colour = l.list.selected_text_colour = kWhite;
    l.list.selection_colour = kListAccent;
    l.list.background = list_brush_.get();
  }
  return true;
}

bool CDlgMacroMan::OnInitDialog() {
  FillMacroList();
  const int first = PreselectedMacro(library_, EditedKeyAssignment());
  SendMessageW(m_macroList.hwnd(), LB_SETCURSEL, first, 0);
  SelectMacro(first);
  m_repeat = GetDlgItem(hwnd(), kRepeatFieldId);
  if (m_repeat) {
    MoveWindow(m_repeat, kRepeatFieldRect.left, kRepeatFieldRect.top,
               kRepeatFieldRect.right - kRepeatFieldRect.left,
               kRepeatFieldRect.bottom - kRepeatFieldRect.top, TRUE);
    SetRepeatField(repeat_value_);
  }
  SetFocus(m_macroList.hwnd());
  return false;  // the focus is placed
}

bool CDlgMacroMan::PreTranslateMessage(MSG& msg) {
  if (!IsKeyMessage(msg.message)) return false;
  const WPARAM vk = msg.wParam;
  if (vk != VK_RETURN && vk != VK_ESCAPE && vk != VK_SPACE && vk != VK_DELETE) return false;
  const HWND target = msg.hwnd;
  // The in-place editors commit on Enter and cancel on Esc: those keys are
  // theirs, like Space and Delete while typing a name or a pause.
  if (target && (target == m_macroList.editor() || target == m_eventList.editor())) return false;
  if (vk == VK_DELETE &&
      (target == m_repeat || target == m_macroList.hwnd() || target == m_eventList.hwnd()))
    return false;
  return true;
}

bool CDlgMacroMan::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_CTLCOLORLISTBOX) {
    // What the list draws itself (the focus mark of an empty list) shows
    // on its black background, not as a white bar.
    SetBkColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
    SetTextColor(reinterpret_cast<HDC>(wp), kWhite);
  }
  if (skin::CListBoxEx::ReflectCtlColor(msg, wp, lp, result)) return true;
  switch (msg) {
    case skin::kListEditCommitted:
      if (lp == kMacroListId) OnNameEdited(static_cast<int>(wp));
      if (lp == kEventListId) OnPauseEdited(static_cast<int>(wp));
      break;
    case skin::kListEditCancelled:
      // A new name given up: the list shows the macro still selected.
      if (lp == kMacroListId) SendMessageW(m_macroList.hwnd(), LB_SETCURSEL, selected_, 0);
      if (lp == kEventListId) OnPauseEditCancelled();
      break;
    case skin::kListRightClick:
      if (lp == kEventListId && !recording()) ShowEventMenu();
      break;
    case skin::kListDeletePressed:
      if (!recording()) DeleteSelectedMacro();
      break;
    case win::WM_CAPTUREDKEY:
      OnCapturedKey(wp, lp);
      break;
    default:
      return false;
  }
  result = 0;
  return true;
}

bool CDlgMacroMan::OnCommand(HWND control, UINT id, UINT code) {
  if (!control) {
    // Context-menu choices: no control, notification 0.
    if (code == 0 && id >= kCmdRecordBefore && id <= MouseCommand(4, 2)) {
      RunEventCommand(id, static_cast<int>(SendMessageW(m_eventList.hwnd(), LB_GETCURSEL, 0, 0)));
      return true;
    }
    return SkinnedDialog::OnCommand(control, id, code);
  }
  if (control == m_repeat) {
    if (code == EN_CHANGE || code == EN_KILLFOCUS) OnRepeatFieldChange();
    return true;
  }
  if (control == m_macroList.hwnd()) {
    if (code == LBN_SELCHANGE)
      SelectMacro(static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0)));
    return true;
  }
  if (code != BN_CLICKED) return SkinnedDialog::OnCommand(control, id, code);
  if (control == m_btnOK.hwnd()) {
    End(IDOK);
  } else if (control == m_btnCancel.hwnd() || control == m_btnClose.hwnd()) {
    End(IDCANCEL);
  } else if (control == m_btnNew.hwnd()) {
    NewMacro();
  } else if (control == m_btnDelete.hwnd()) {
    DeleteSelectedMacro();
  } else if (control == m_btnRecord.hwnd()) {
    OnRecordButton();
  } else if (control == m_btnDelays.hwnd()) {
    recorder_.record_delays = m_btnDelays.GetCheck();
  } else if (control == m_btnRepeat.hwnd()) {
    OnRepeatToggle();
  } else {
    return SkinnedDialog::OnCommand(control, id, code);
  }
  return true;
}

void CDlgMacroMan::OnDestroy() {
  // However the window goes, the keyboard is given back.
  if (recording()) recorder_.StopRecording();
  SkinnedDialog::OnDestroy();
}

void CDlgMacroMan::PaintTexts(HDC dc) {
  const skin::TextTable& texts = Texts();
  skin::DrawSkinText(dc, skin::TextAt(texts, 0), 24, 800, kTitleWhite, {2, 12, 386, 57},
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  skin::DrawSkinText(dc, skin::TextAt(texts, 8), 15, 400, kTitleWhite, {290, 155, 368, 311},
                     DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// ---- Macro list -----------------------------------------------------------

void CDlgMacroMan::FillMacroList() {
  HWND list = m_macroList.hwnd();
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const auto& macro : library_) m_macroList.AddItem(win::ToWide(MacroName(*macro)), 0);
}

void CDlgMacroMan::SelectMacro(int index) {
  const bool valid = index >= 0 && index < static_cast<int>(library_.size());
  selected_ = valid ? index : -1;
  current_ = valid ? library_[static_cast<size_t>(index)].get() : nullptr;
  recorder_.selected = current_;
  if (HWND list = m_macroList.hwnd();
      list && static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) != selected_)
    SendMessageW(list, LB_SETCURSEL, selected_, 0);
  if (current_) {
    recorder_.LoadFrom(*current_);
    repeat_value_ = current_->repeatCount;
    repeat_enabled_ = current_->repeatCount != 0;
  } else {
    recorder_.count = 0;
    repeat_value_ = 1;
    repeat_enabled_ = false;
  }
  line_to_select_ = -1;
  event_to_select_ = recorder_.count - 1;
  RebuildEventList();
  // A hand-edited file may hold any count; the field shows 1..255.
  repeat_value_ = std::clamp(repeat_value_, 1, 255);
  SetRepeatField(repeat_value_);
  m_btnRepeat.SetCheck(repeat_enabled_);
}

void CDlgMacroMan::SelectClampedLine(int line) {
  const int count = ListCount(m_macroList.hwnd());
  if (count <= 0)
    line = -1;
  else if (line >= count)
    line = count - 1;
  SendMessageW(m_macroList.hwnd(), LB_SETCURSEL, line, 0);
  SelectMacro(line);
}

void CDlgMacroMan::NewMacro() {
  HWND list = m_macroList.hwnd();
  if (!list || ListCount(list) >= kMacroLibraryMax) return;
  if (!m_macroList.AddItemAndEdit()) return;
  SendMessageW(list, LB_SETTOPINDEX, ListCount(list) - 1, 0);
}

void CDlgMacroMan::OnNameEdited(int line) {
  HWND list = m_macroList.hwnd();
  // Only the line after the library's macros is a new name; the others are
  // not edited in place.
  if (line != static_cast<int>(library_.size()) || line >= ListCount(list)) return;
  const std::u16string name(Trim(win::ToU16(win::ListItemText(list, line))));
  // A name of spaces only is no name: dropped like an empty one.
  const bool taken = !name.empty() && MacroNameTaken(library_, name);
  if (name.empty() || taken || library_.size() >= static_cast<size_t>(kMacroLibraryMax)) {
    if (taken) Warn(hwnd(), 4);
    SendMessageW(list, LB_DELETESTRING, line, 0);
    SelectClampedLine(line);
    return;
  }
  auto macro = std::make_unique<MacroRecord>();  // zero-filled: no events, repeat off
  ToFixed(macro->name, name);
  library_.push_back(std::move(macro));
  // The list shows the name as stored (trimmed).
  SendMessageW(list, LB_DELETESTRING, line, 0);
  SendMessageW(list, LB_INSERTSTRING, line, reinterpret_cast<LPARAM>(win::ToWide(name).c_str()));
  SendMessageW(list, LB_SETCURSEL, line, 0);
  SelectMacro(line);
}

void CDlgMacroMan::DeleteSelectedMacro() {
  HWND list = m_macroList.hwnd();
  const int line = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
  if (line < 0 || line >= static_cast<int>(library_.size())) return;
  const std::u16string name = MacroName(*library_[static_cast<size_t>(line)]);
  if (keys && MacroNameInUse(*keys, name)) {
    Warn(hwnd(), 3);
    return;
  }
  if (Warn(hwnd(), 1) != IDOK) return;
  SendMessageW(list, LB_DELETESTRING, line, 0);
  library_.erase(library_.begin() + line);
  current_ = nullptr;  // freed with its record
  recorder_.selected = nullptr;
  SelectClampedLine(line);
}

// ---- Recording ------------------------------------------------------------

void CDlgMacroMan::OnRecordButton() {
  if (recording()) {
    StopRecording();
    return;
  }
  if (!current_) return;
  // A plain recording replaces every event of the macro.
  SendMessageW(m_eventList.hwnd(), LB_RESETCONTENT, 0, 0);
  recorder_.Clear();
  recorder_.insert_position = -1;
  StartRecording();
}

void CDlgMacroMan::StartRecording() {
  if (!current_ || recording()) return;
  recorder_.StartRecording();
  EnableClosingControls(false);
  SetFocus(hwnd());
  m_btnRecord.SetCheck(true);
  m_btnRecord.text = skin::TextAt(Texts(), kRecordStop);
  m_btnRecord.Repaint();
}

void CDlgMacroMan::StopRecording() {
  if (!recording()) return;
  recorder_.StopRecording();  // stores the buffer in the macro
  OnRecordingStopped();
}

void CDlgMacroMan::OnRecordingStopped() {
  EnableClosingControls(true);
  m_btnRecord.SetCheck(false);
  m_btnRecord.text = skin::TextAt(Texts(), kRecordIdle);
  m_btnRecord.Repaint();
}

void CDlgMacroMan::EnableClosingControls(bool enable) {
  for (skin::CBitmapBtn* b : {&m_btnOK, &m_btnCancel, &m_btnClose, &m_btnNew, &m_btnDelete}) {
    if (b->hwnd()) EnableWindow(b->hwnd(), enable);
  }
  if (m_macroList.hwnd()) EnableWindow(m_macroList.hwnd(), enable);
  if (enable && m_eventList.hwnd()) EnableWindow(m_eventList.hwnd(), TRUE);
}

void CDlgMacroMan::OnCapturedKey(WPARAM vk, LPARAM flags) {
  const CaptureResult r = recorder_.OnCapturedKey(
      static_cast<std::uint32_t>(vk), static_cast<std::uint32_t>(flags), GetTickCount());
  if (r == CaptureResult::Ignored) return;
  if (r == CaptureResult::Full) {
    // The 50th event stopped the recorder (and stored the buffer).
    OnRecordingStopped();
    SetFocus(m_eventList.hwnd());
  }
  event_to_select_ = recorder_.select_after_redraw;
  line_to_select_ = -1;
  RebuildEventList();
}

// ---- Repeat count ---------------------------------------------------------
//
// The toggle and the field meet in the macro's repeatCount: switching repeat
// off stores 0, so the macro reads back as "repeat off"; switching it on, or
// changing the field while it is on, stores the field's 1..255. A field
// change while repeat is off keeps 0: the number is only shown, and is what
// switching repeat on stores.

void CDlgMacroMan::OnRepeatToggle() {
  repeat_enabled_ = m_btnRepeat.GetCheck();
  StoreRepeatCount();
}

void CDlgMacroMan::StoreRepeatCount() {
  if (current_) current_->repeatCount = StoredRepeatCount(repeat_enabled_, repeat_value_);
}

void CDlgMacroMan::OnRepeatFieldChange() {
  if (writing_repeat_ || !m_repeat) return;
  const RepeatEntry entry = RepeatFromText(win::ToU16(win::WindowText(m_repeat)));
  repeat_value_ = entry.value;
  if (entry.rewrite) SetRepeatField(entry.value);
  StoreRepeatCount();
}

void CDlgMacroMan::SetRepeatField(int value) {
  if (!m_repeat) return;
  writing_repeat_ = true;
  SetWindowTextW(m_repeat, std::to_wstring(value).c_str());
  // Typing goes on behind the corrected number.
  SendMessageW(m_repeat, EM_SETSEL, 32767, 32767);
  writing_repeat_ = false;
}

// ---- Running it -----------------------------------------------------------

bool RunMacroManager(HWND owner, MacroStore& store, const SettingsRecord& keys) {
  // A library whose file could not be read is not shown as empty: its OK
  // would replace the user's macros.
  if (!store.Reread(keys)) {
    skin::Notify(owner, skin::kNoticeMacrosNotRead);
    return false;
  }
  CDlgMacroMan dlg(store.library);
  dlg.keys = &keys;
  if (dlg.RunModal(owner) == IDOK) {
    if (store.Save()) return true;
    skin::Notify(owner, skin::kNoticeNotSaved, {store.file});
    return false;
  }
  // Any other ending drops every edit, new and deleted macros included.
  ClearMacroLibrary(store.library);
  store.Load();
  return false;
}

}  // namespace vantrel::panels
