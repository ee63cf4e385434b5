// Reading and writing the complete backup through the profile and macro
// stores' own section readers and writers, so a backup's parts can never
// drift from the files they come from.
//
// The readers of those stores forgive a missing or bad value (the field
// keeps its value, the macro is skipped), since the user edits those files
// and a partly read profile is better than none. A backup is stricter: our
// writer makes it whole, so a bad struct value or a missing macro means
// the file was cut short or altered, and a restore that replaces the whole
// configuration must not quietly drop a part of it. Such a file is
// Damaged and changes nothing.
#include "model/backup.h"

#include <cstring>
#include <memory>
#include <string>

#include "model/macro_store.h"
#include "model/profile_store.h"
#include "model/text.h"

namespace vantrel {
namespace {

constexpr char16_t kBackupSection[] = u"Backup";
constexpr char16_t kFormatKey[] = u"Format";
constexpr char16_t kCurrentProfileKey[] = u"CurrentProfile";

std::u16string ProfileSection(int p) { return u"Profile" + ToU16Decimal(p + 1); }

bool IsProfileSection(const IniFile& ini, std::u16string_view section) {
  return ini.Find(section, u"PollingRate") || ini.Find(section, u"iResponTime");
}

void CopyLibrary(const MacroLibrary& from, MacroLibrary& to) {
  to.clear();
  to.reserve(from.size());
  for (const auto& macro : from) to.push_back(std::make_unique<MacroRecord>(*macro));
}

void RestoreSlot(const ProfileSlot& restored, ProfileSlot& live) {
  const std::int32_t reserved1520 = live.Reserved1520, reserved1548 = live.Reserved1548;
  std::uint8_t pad1710[sizeof live.pad1710], reserved26680[sizeof live.Reserved26680];
  std::memcpy(pad1710, live.pad1710, sizeof pad1710);
  std::memcpy(reserved26680, live.Reserved26680, sizeof reserved26680);
  live = restored;
  live.Reserved1520 = reserved1520;
  live.Reserved1548 = reserved1548;
  std::memcpy(live.pad1710, pad1710, sizeof pad1710);
  std::memcpy(live.Reserved26680, reserved26680, sizeof reserved26680);
}

}  // namespace

void WriteBackup(const SettingsRecord& record, const MacroLibrary& library, IniFile& ini) {
  ini.Clear();
  ini.WriteInt(kBackupSection, kFormatKey, kBackupFormat);
  ini.WriteInt(kBackupSection, kCurrentProfileKey, ActiveProfileIndex(record));
  for (int p = 0; p < kProfileCount; ++p)
    WriteProfileSection(record.profiles[p], ini, ProfileSection(p));
  WriteMacroSection(library, ini);
}

BackupResult ReadBackup(const IniFile& ini, BackupContents& out) {
  out.macros.clear();
  if (ini.ReadInt(kBackupSection, kFormatKey, 0) != kBackupFormat) return BackupResult::NotBackup;
  const std::int32_t current = ini.ReadInt(kBackupSection, kCurrentProfileKey, 0);
  out.current_profile = current >= 0 && current < kProfileCount ? current : 0;
  for (int p = 0; p < kProfileCount; ++p) {
    const std::u16string section = ProfileSection(p);
    if (!IsProfileSection(ini, section)) return BackupResult::Damaged;
    // Keys that are missing read as in a profile file: numbers -1, texts
    // empty, struct fields the factory's.
    ProfileSlot& slot = out.profiles[p];
    slot = ProfileSlot{};
    ApplyFactoryDefaults(slot, p);
    if (!ReadProfileSection(slot, ini, section)) return BackupResult::Damaged;
  }
  if (!ReadMacroSection(out.macros, ini, kMacroLibraryMax)) return BackupResult::Damaged;
  return BackupResult::Ok;
}

void ApplyBackup(const BackupContents& backup, SettingsRecord& record, MacroLibrary& library) {
  for (int p = 0; p < kProfileCount; ++p) {
    RestoreSlot(backup.profiles[p], record.profiles[p]);
    MarkProfileImported(record, p);
  }
  record.CurrentProfile = backup.current_profile;
  CopyLibrary(backup.macros, library);
  SyncMacroLibrary(library, record);
}

bool SaveBackupFile(const SettingsRecord& record, const MacroLibrary& library,
                    const std::filesystem::path& path, bool flush) {
  IniFile ini(path);  // not loaded: nothing of an older file is kept
  WriteBackup(record, library, ini);
  return ini.Save(flush) == IniSaveResult::Ok;
}

BackupResult LoadBackupFile(const std::filesystem::path& path, BackupContents& out) {
  IniFile ini(path);
  if (!ini.Load()) return BackupResult::Unreadable;
  return ReadBackup(ini, out);
}

BackupResult RestoreBackupFile(const std::filesystem::path& path, SettingsRecord& record,
                               MacroLibrary& library) {
  auto scratch = std::make_unique<BackupContents>();
  const BackupResult result = LoadBackupFile(path, *scratch);
  if (result == BackupResult::Ok) ApplyBackup(*scratch, record, library);
  return result;
}

}  // namespace vantrel
