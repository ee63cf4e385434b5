// The nineteen buttons of the main window, told apart by window handle
// (every skinned button has control ID 0).
#include "model/macro_store.h"
#include "panels/macro_man.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/profile_form.h"
#include "skin/warning_dialog.h"

namespace vantrel::shell {

bool CTevrinDlg::OnCommand(HWND control, UINT id, UINT code) {
  int which = -1;
  for (int k = 0; k < kMainButtonCount && control; ++k) {
    if (m_buttons[k].hwnd() == control) which = k;
  }
  switch (which) {
    case kMinimise:
      SendMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return true;
    case kClose:
      if (GetCapture() == hwnd()) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        ReleaseCapture();
      }
      PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      return true;
    case kRestore:
      RestoreDefaults();
      return true;
    case kProfile1:
    case kProfile2:
    case kProfile3:
    case kProfile4:
      SelectProfile(which == kProfile1 ? 0 : which - kProfile2 + 1);
      return true;
    case kProfileFormEmpty:
      OpenProfileForm(1);
      return true;
    case kProfileFormFilled:
      OpenProfileForm(0);
      return true;
    case kImport:
      ImportProfile();
      return true;
    case kExport:
      ExportProfile();
      return true;
    case kMacroManager:
      OpenMacroManager();
      return true;
    case kTab1:
    case kTab2:
    case kTab3:
    case kTab4:
      ShowPanel(which - kTab1);
      return true;
    case kOK:
      // What could not be published or saved keeps the program open: the
      // user has been told, and Apply can try again.
      if (RunWaiting(0)) PostQuitMessage(-1);
      return true;
    case kApply:
      RunWaiting(0);
      return true;
    case kCancel:
      End(IDCANCEL);
      return true;
    default:
      return SkinnedDialog::OnCommand(control, id, code);
  }
}

bool CTevrinDlg::RunWaiting(int mode) {
  m_DlgWaitting.mode = mode;
  m_DlgWaitting.RunModal(hwnd());
  const ApplyOutcome& outcome = m_link.last_outcome();
  if (outcome.not_published) skin::Notify(hwnd(), skin::kNoticeNotPublished);
  if (!outcome.failed.empty()) skin::Notify(hwnd(), skin::kNoticeNotSaved, outcome.failed);
  return outcome.ok();
}

void CTevrinDlg::RestoreDefaults() {
  skin::CDlgWarning warning;
  warning.kind = 0;
  if (warning.RunModal(hwnd()) == IDOK) RunWaiting(1);
}

void CTevrinDlg::OpenProfileForm(int mode) {
  CDlgProfileMan form;
  form.slot = &ActiveSlot(LiveRecord());
  form.mode = mode;
  form.RunModal(hwnd());
}

void CTevrinDlg::OpenMacroManager() {
  // Saves the library on OK, reloads it (dropping the edits) otherwise.
  panels::RunMacroManager(hwnd(), MacroStorage(), LiveRecord());
}

}  // namespace vantrel::shell
