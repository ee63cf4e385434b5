// The complete backup (".vbak"): the four profiles, the active profile and
// the macro library in one INI file, so the whole configuration is saved
// and restored in one step. Each part is stored exactly as its own file
// stores it: [Backup] Format=1 and CurrentProfile (0..3), [Profile1] to
// [Profile4] with a profile file's "Setting" keys, [Macros] as in
// sequence.dat.
//
//   SaveBackupFile(live, library, chosen);
//   if (RestoreBackupFile(chosen, live, library) == BackupResult::Ok) Apply();
#pragma once

#include <cstdint>
#include <filesystem>

#include "model/ini_file.h"
#include "model/macro_library.h"
#include "model/settings_record.h"

namespace vantrel {

inline constexpr char16_t kBackupExtension[] = u".vbak";
inline constexpr std::int32_t kBackupFormat = 1;

enum class BackupResult {
  Ok,
  NotBackup,   // no [Backup] Format=1: another kind of file, or a later format
  Damaged,     // a backup with a part missing or unreadable
  Unreadable,  // the file could not be read (missing, held, over kMaxIniFileBytes)
};

// A backup as read, before anything of it is applied. About 107 KB: make it
// on the heap.
struct BackupContents {
  std::int32_t current_profile = 0;  // 0..3
  ProfileSlot profiles[kProfileCount];
  MacroLibrary macros;  // at most kMacroLibraryMax
};

// Replaces the document's contents with the backup of `record` and `library`.
void WriteBackup(const SettingsRecord& record, const MacroLibrary& library, IniFile& ini);

// Reads every part into `out`; only an Ok result may be applied. Unknown
// sections and keys are ignored, texts are cut to their fields, a
// CurrentProfile outside 0..3 reads as 0, and of a library longer than
// kMacroLibraryMax (only possible from a hand-edited sequence.dat) the
// first kMacroLibraryMax macros are read and the rest ignored, since the
// manager holds no more. Damaged: a profile section without PollingRate
// and iResponTime (the test an import makes), a struct value that is there
// but unreadable, "number" of [Macros] missing, or a counted macro missing
// or unreadable.
BackupResult ReadBackup(const IniFile& ini, BackupContents& out);

// Puts a read backup into the live record and library: the four slots (the
// reserved fields no file holds keep their values), CurrentProfile and the
// whole library; raises every profile's import flags, so the next apply
// sends and saves everything, and lets the library learn the keys' macros
// as an import does. The record's other fields stay as they are.
void ApplyBackup(const BackupContents& backup, SettingsRecord& record, MacroLibrary& library);

// The same with files. Saving replaces the file atomically (false when it
// could not be written; the old file is then unchanged). Restoring changes
// record and library only when the result is Ok.
bool SaveBackupFile(const SettingsRecord& record, const MacroLibrary& library,
                    const std::filesystem::path& path, bool flush = true);
BackupResult LoadBackupFile(const std::filesystem::path& path, BackupContents& out);
BackupResult RestoreBackupFile(const std::filesystem::path& path, SettingsRecord& record,
                               MacroLibrary& library);

}  // namespace vantrel
