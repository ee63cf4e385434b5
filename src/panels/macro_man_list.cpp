// The macro manager's library list: naming a new macro, deleting one, and
// the selection (one index; the current macro, the recorder's target and
// the list's highlight all follow it), with the selected macro's repeat
// count.
#include <algorithm>

#include "model/macro_edit.h"
#include "model/text.h"
#include "panels/macro_man.h"
#include "skin/lang_strings.h"
#include "skin/warning_dialog.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"

namespace vantrel::panels {
namespace {

// The warning box of the given kind, owned by the manager; 1 = confirmed.
INT_PTR Warn(HWND owner, int kind) {
  skin::CDlgWarning warning;
  warning.kind = kind;
  return warning.RunModal(owner);
}

int ListCount(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }

}  // namespace

void CDlgMacroMan::FillMacroList() {
  HWND list = m_macroList.hwnd();
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const auto& macro : library_) m_macroList.AddItem(win::ToWide(MacroName(*macro)), 0);
}

void CDlgMacroMan::SelectMacro(int index) {
  const bool valid = index >= 0 && index < static_cast<int>(library_.size());
  selected_ = valid ? index : -1;
  recorder_.selected = current();
  if (HWND list = m_macroList.hwnd();
      list && static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) != selected_)
    SendMessageW(list, LB_SETCURSEL, selected_, 0);
  if (current()) {
    recorder_.LoadFrom(*current());
    repeat_value_ = current()->repeatCount;
    repeat_enabled_ = current()->repeatCount != 0;
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
  selected_ = -1;  // its record is gone
  recorder_.selected = nullptr;
  SelectClampedLine(line);
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
  if (current()) current()->repeatCount = StoredRepeatCount(repeat_enabled_, repeat_value_);
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

}  // namespace vantrel::panels
