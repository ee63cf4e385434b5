// Import and export buttons: the platform's file dialogs, then the file
// logic of model/profile_transfer.h on the live record's active profile.

// <windows.h> must come before the headers that build on it.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <filesystem>

#include "model/profile_transfer.h"
#include "shell/app_state.h"
#include "shell/data_directory.h"
#include "shell/main_window.h"
#include "skin/warning_dialog.h"
#include "win/win_util.h"

namespace vantrel::shell {
namespace {

// Full path of the chosen file, or empty on cancel.
std::wstring ChooseProfileFile(HWND owner, bool save) {
  wchar_t file[MAX_PATH * 4]{};
  swprintf(file, MAX_PATH * 4, L"%lsconfig\\.gkp", DataDirectory().c_str());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Vantrel Profile(*.gkp)\0*.GKP\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH * 4;
  ofn.lpstrDefExt = L"gkp";  // the extension itself: a pattern would be appended as typed
  // The dialog would otherwise leave the process's current folder in the
  // user's chosen folder, holding it open for as long as the program runs.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR |
              (save ? 0 : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return {};
  return file;
}

ProfilePaths Paths() { return ProfilePaths{std::filesystem::path(DataDirectory())}; }

}  // namespace

void CTevrinDlg::ExportProfile() {
  const std::wstring chosen = ChooseProfileFile(hwnd(), true);
  if (chosen.empty()) return;
  const std::filesystem::path file(win::ToU16(chosen));
  switch (ExportProfileTo(LiveRecord(), Paths(), file)) {
    case ExportResult::Written:
      break;
    case ExportResult::StoredFile:
      skin::Notify(hwnd(), skin::kNoticeExportStored);
      break;
    case ExportResult::Failed:
      skin::Notify(hwnd(), skin::kNoticeExportFailed, {file});
      break;
  }
}

void CTevrinDlg::ImportProfile() {
  const std::wstring chosen = ChooseProfileFile(hwnd(), false);
  if (chosen.empty()) return;
  if (!ImportProfileFrom(LiveRecord(), Macros(), Paths(),
                         std::filesystem::path(win::ToU16(chosen)))) {
    return;
  }
  win::DebugTrace(L"\nmain refreshallcontrol\n");
  RefreshAllControl();
}

}  // namespace vantrel::shell
