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
constexpr RECT kRepeatFieldRect{269, 357, 269 + 88, 357 + 17};

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
  for (skin::CBitmapBtn* label : {&m_lblMacros, &m_lblEvents, &m_lblDelays, &m_lblRepeat})
    label->MakeLabel();
  m_macroList.accessible_name = skin::TextAt(texts, 4);
  m_eventList.accessible_name = skin::TextAt(texts, 1);
  m_btnDelays.accessible_name = skin::TextAt(texts, 5);
  m_btnRepeat.accessible_name = skin::TextAt(texts, 9);
  m_btnClose.accessible_name = skin::CloseButtonName();
  accessible_title_ = skin::TextAt(texts, 0);
  accessible_description_ = skin::Text(1543);
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
    m_repeatField.Attach(m_repeat, skin::TextAt(Texts(), 9));
  }
  SetFocus(m_macroList.hwnd());
  return false;  // the focus is placed
}

bool CDlgMacroMan::PreTranslateMessage(MSG& msg) {
  if (!IsKeyMessage(msg.message)) return false;
  const WPARAM vk = msg.wParam;
  const HWND target = msg.hwnd;
  // The in-place editors commit on Enter and cancel on Esc: those keys are
  // theirs, like Space and Delete while typing a name or a pause.
  const bool edit_key = vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE || vk == VK_DELETE;
  if (edit_key && target && (target == m_macroList.editor() || target == m_eventList.editor()))
    return false;
  if (vk == VK_DELETE) {
    // Delete in a list deletes the macro, in the repeat field a digit.
    return !(target == m_repeat || target == m_macroList.hwnd() || target == m_eventList.hwnd());
  }
  return SkinnedDialog::PreTranslateMessage(msg);
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
    case win::WM_CAPTURELEFT:
      // Held Esc: the recording stops, what it took stays.
      StopRecording();
      FocusFromKeyboard(m_btnOK);
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
