// CDlgMacroMan: the modal macro manager. The user creates, deletes and
// renames macros in the left list, records keystrokes into the selected one
// and edits its events in the right list (pauses, inserted mouse buttons,
// deletions). Every edit goes straight into the library record; the caller
// decides afterwards whether the edits stay (OK: save) or go (reload).
//
//   if (RunMacroManager(hwnd(), store, live)) ...the library was saved...
//
// Split by concern: macro_man.cpp holds the window (creation, messages,
// commands, painting, the modal run), macro_man_list.cpp the library list,
// the selection and the repeat count, macro_man_record.cpp the recording,
// macro_man_events.cpp the event list and its context menu. The editing rules that need no window
// live in model/macro_edit.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "model/macro_library.h"
#include "model/macro_recorder.h"
#include "model/macro_store.h"
#include "model/settings_record.h"
#include "skin/bitmap_btn.h"
#include "skin/lang_strings.h"
#include "skin/list_box_ex.h"
#include "skin/skinned_dialog.h"
#include "win/gdi.h"
#include "win/labelled_control.h"

namespace vantrel::panels {

// The manager's texts, lang.dll 900..925 (entry N = string 900 + N), loaded
// once per process.
const skin::TextTable& MacroManagerTexts();

// The process-wide copy of the KeyAssignment whose key menu was opened last;
// the macro manager preselects its macro.
KeyAssignment& EditedKeyAssignment();

class CDlgMacroMan : public skin::SkinnedDialog {
 public:
  explicit CDlgMacroMan(MacroLibrary& library);
  ~CDlgMacroMan() override;

  // The keys that may block deleting a macro (the live record unless set).
  const SettingsRecord* keys = nullptr;

  static constexpr UINT kMacroListId = 4096;
  static constexpr UINT kEventListId = 4097;
  static constexpr UINT kRepeatFieldId = 1001;

  // Context-menu commands of the event list.
  static constexpr UINT kCmdRecordBefore = 1001;
  static constexpr UINT kCmdRecordAfter = 1002;
  static constexpr UINT kCmdInsertDelay = 1003;
  static constexpr UINT kCmdEdit = 1004;
  static constexpr UINT kCmdDelete = 1005;
  // Mouse button b (0..4 for codes 240..244): press, release, click.
  static constexpr UINT MouseCommand(int button, int what) {
    return 1020 + 3 * static_cast<UINT>(button) + static_cast<UINT>(what);
  }

  // Buttons by skin key: "1" OK, "2" Cancel, "3" close, "4" new, "5" delete,
  // "7" record, "8" record delays, "9" repeat; labels "12", "15", "13", "14".
  skin::CBitmapBtn m_btnOK, m_btnCancel, m_btnClose, m_btnNew, m_btnDelete, m_btnRecord,
      m_btnDelays, m_btnRepeat;
  skin::CBitmapBtn m_lblMacros, m_lblEvents, m_lblDelays, m_lblRepeat;
  skin::CListBoxEx m_macroList, m_eventList;
  win::LabelledControl m_repeatField;  // the repeat count's edit, named

  HWND repeat_field() const { return m_repeat; }
  int selected_macro() const { return selected_; }
  // The selected macro, or nullptr.
  MacroRecord* current_macro() const { return current(); }
  const MacroRecorder& recorder() const { return recorder_; }
  bool recording() const { return recorder_.recording; }
  bool repeat_enabled() const { return repeat_enabled_; }
  int repeat_value() const { return repeat_value_; }

  // Selects library macro `index` (-1 or out of range: none) and shows its
  // events and repeat count.
  void SelectMacro(int index);
  // Carries out context-menu command `id` as if chosen with event-list line
  // `line` selected (-1: none).
  void RunEventCommand(UINT id, int line);

  // The keyboard as in every skinned window, but the in-place editors and
  // the repeat field still get the keys they edit with, and Delete in a
  // list still reaches it (it deletes the macro).
  bool PreTranslateMessage(MSG& msg) override;

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  void OnDestroy() override;
  void PaintTexts(HDC dc) override;
  skin::CBitmapBtn* CancelButton() override { return &m_btnCancel; }

 private:
  // Macro list.
  void NewMacro();
  void OnNameEdited(int line);
  void DeleteSelectedMacro();
  void FillMacroList();
  // Selects `line` of the macro list, clamped to its lines, and its macro.
  void SelectClampedLine(int line);
  // Recording.
  void OnRecordButton();
  void StartRecording();
  void StopRecording();
  void OnRecordingStopped();
  void OnCapturedKey(WPARAM vk, LPARAM flags);
  void EnableClosingControls(bool enable);
  // Repeat count.
  void OnRepeatToggle();
  void OnRepeatFieldChange();
  void SetRepeatField(int value);
  void StoreRepeatCount();
  // Event list (macro_man_events.cpp).
  void RebuildEventList();
  void ShowEventMenu();
  void OnPauseEdited(int line);
  // Esc, or an emptied text, took the pause line out of the list: the list
  // is rebuilt from the events, which kept their pause.
  void OnPauseEditCancelled();
  void StoreBuffer();
  std::uint32_t LineData(int line) const;
  MacroRecord* current() const {
    return selected_ >= 0 && selected_ < static_cast<int>(library_.size())
               ? library_[static_cast<size_t>(selected_)].get()
               : nullptr;
  }

  MacroLibrary& library_;
  MacroRecorder recorder_;
  // The selection, in one place: the index of the selected macro, -1 none.
  int selected_ = -1;
  bool repeat_enabled_ = false;
  int repeat_value_ = 1;
  int event_to_select_ = -1;
  int line_to_select_ = -1;
  int edited_event_ = -1;
  // Set while the dialog itself rewrites the repeat field, so the field's
  // change notice does not store what was only shown.
  bool writing_repeat_ = false;

  HWND m_repeat = nullptr;
  win::Brush list_brush_;
  win::Font menu_font_;
  class EventMenu;  // the event list's context menu (macro_man_events.cpp)
};

// Runs the manager modally over `store`'s library, `keys` (the live
// record) guarding deletions: on OK saves the library to its file;
// otherwise clears and reloads it from that file. Returns true
// when the library was saved. A library file that could not be read keeps
// the manager closed, and a failed save is told, both in a notice.
bool RunMacroManager(HWND owner, MacroStore& store, const SettingsRecord& keys);

}  // namespace vantrel::panels
