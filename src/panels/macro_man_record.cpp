// The macro manager's recording: the record button, the captured keys,
// and the controls that stay off while the keyboard is captured.
#include <algorithm>

#include "model/macro_edit.h"
#include "model/text.h"
#include "panels/macro_man.h"
#include "skin/lang_strings.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"

namespace vantrel::panels {
namespace {

const std::wstring& Text(size_t entry) { return skin::TextAt(MacroManagerTexts(), entry); }

constexpr int kRecordIdle = 6, kRecordStop = 7;

}  // namespace

void CDlgMacroMan::OnRecordButton() {
  if (recording()) {
    StopRecording();
    return;
  }
  if (!current()) return;
  // A plain recording replaces every event of the macro.
  SendMessageW(m_eventList.hwnd(), LB_RESETCONTENT, 0, 0);
  recorder_.Clear();
  recorder_.insert_position = -1;
  StartRecording();
}

void CDlgMacroMan::StartRecording() {
  if (!current() || recording()) return;
  recorder_.StartRecording();
  EnableClosingControls(false);
  SetFocus(hwnd());
  m_btnRecord.SetCheck(true);
  m_btnRecord.text = Text(kRecordStop);
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
  m_btnRecord.text = Text(kRecordIdle);
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

}  // namespace vantrel::panels
