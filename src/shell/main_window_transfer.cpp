// Import and export buttons: the platform's file dialogs, then the file
// logic of model/profile_transfer.h on the live record's active profile, or
// of model/backup.h on all four and the macro library.

// <windows.h> must come before the headers that build on it.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <filesystem>
#include <memory>

#include "model/backup.h"
#include "model/profile_transfer.h"
#include "model/text.h"
#include "shell/app_state.h"
#include "shell/data_directory.h"
#include "shell/main_window.h"
#include "skin/warning_dialog.h"
#include "win/win_util.h"

namespace vantrel::shell {
namespace {

namespace fs = std::filesystem;

struct Chosen {
  fs::path file;        // empty on cancel
  bool backup = false;  // the complete backup's type was chosen (export)
};

// The platform's file dialog. Export offers two types, a profile and a
// complete backup; import takes either, told apart by what the file holds.
Chosen ChooseFile(HWND owner, bool save) {
  wchar_t file[MAX_PATH * 4]{};
  swprintf(file, MAX_PATH * 4, L"%lsconfig\\.gkp", DataDirectory().c_str());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = save ? L"Profile (*.gkp)\0*.gkp\0Vantrel backup (*.vbak)\0*.vbak\0"
                         : L"Profile or backup (*.gkp, *.vbak)\0*.gkp;*.vbak\0Profile "
                           L"(*.gkp)\0*.gkp\0Vantrel backup (*.vbak)\0*.vbak\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH * 4;
  ofn.lpstrDefExt = L"gkp";  // the extension itself: a pattern would be appended as typed
  // The dialog would otherwise leave the process's current folder in the
  // user's chosen folder, holding it open for as long as the program runs.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR |
              (save ? 0 : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return {};
  Chosen chosen{fs::path(win::ToU16(file))};
  const std::u16string ext = chosen.file.extension().u16string();
  chosen.backup = save && (ofn.nFilterIndex == 2 || EqualsNoCase(ext, kBackupExtension));
  // The backup's type chosen with a name typed bare: the profile's default
  // extension the dialog added becomes the backup's.
  if (chosen.backup && !EqualsNoCase(ext, kBackupExtension))
    chosen.file.replace_extension(fs::path(kBackupExtension));
  return chosen;
}

ProfilePaths Paths() { return ProfilePaths{fs::path(DataDirectory())}; }

}  // namespace

void CTevrinDlg::ExportProfile() {
  const Chosen chosen = ChooseFile(hwnd(), true);
  if (chosen.file.empty()) return;
  if (chosen.backup) {
    if (!SaveBackupFile(LiveRecord(), Macros(), chosen.file))
      skin::Notify(hwnd(), skin::kNoticeExportFailed, {chosen.file});
    return;
  }
  switch (ExportProfileTo(LiveRecord(), Paths(), chosen.file)) {
    case ExportResult::Written:
      break;
    case ExportResult::StoredFile:
      skin::Notify(hwnd(), skin::kNoticeExportStored);
      break;
    case ExportResult::Failed:
      skin::Notify(hwnd(), skin::kNoticeExportFailed, {chosen.file});
      break;
  }
}

void CTevrinDlg::ImportProfile() {
  const Chosen chosen = ChooseFile(hwnd(), false);
  if (chosen.file.empty()) return;
  if (EqualsNoCase(chosen.file.extension().u16string(), kBackupExtension)) {
    ImportBackup(chosen.file);
    return;
  }
  if (!ImportProfileFrom(LiveRecord(), Macros(), Paths(), chosen.file)) return;
  win::DebugTrace(L"\nmain refreshallcontrol\n");
  RefreshAllControl();
}

void CTevrinDlg::ImportBackup(const fs::path& file) {
  auto backup = std::make_unique<BackupContents>();
  if (LoadBackupFile(file, *backup) != BackupResult::Ok) {
    skin::Notify(hwnd(), skin::kNoticeNotABackup);
    return;
  }
  skin::CDlgWarning ask;
  ask.kind = skin::CDlgWarning::kRestoreBackup;
  if (ask.RunModal(hwnd()) != IDOK) return;
  ApplyBackup(*backup, LiveRecord(), Macros());
  MacroStorage().unread = false;  // the user's own choice replaces the library
  ShowProfileButtons(ActiveProfileIndex(LiveRecord()));
  win::DebugTrace(L"\nmain refreshallcontrol\n");
  RefreshAllControl();
}

}  // namespace vantrel::shell
