#include "model/profile_transfer.h"

#include <memory>
#include <system_error>

#include "model/text.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

bool IsStoredProfileName(std::u16string_view title) {
  for (char16_t p = u'0'; p <= u'3'; ++p) {
    const char16_t name[] = {u'D', u'e', u'f', u'a', u'u', u'l', u't', p};
    if (EqualsNoCase(title, {name, 8})) return true;
  }
  return false;
}

}  // namespace

std::u16string FileTitle(const fs::path& path) {
  // Windows paths may reach a native build: split on both separators.
  const std::u16string full = path.u16string();
  const size_t slash = full.find_last_of(u"\\/");
  std::u16string name = slash == std::u16string::npos ? full : full.substr(slash + 1);
  const size_t dot = name.rfind(u'.');
  if (dot != std::u16string::npos) name.resize(dot);
  return name;
}

ExportResult ExportProfileTo(const SettingsRecord& record, const ProfilePaths& paths,
                             const fs::path& chosen) {
  // Exporting over a stored profile would replace that profile behind the
  // program's back, and the next apply would write it again anyway.
  if (paths.IsStoredProfileFile(chosen)) return ExportResult::StoredFile;
  // A new file, not an update: keys the old file held are gone, and the old
  // file stays whole when the new one cannot be written.
  if (!ReplaceProfileFile(ActiveSlot(record), chosen)) return ExportResult::Failed;
  const std::u16string title = FileTitle(chosen);
  RecordExportName(paths, ActiveProfileIndex(record), title);
  if (!title.empty() && !IsStoredProfileName(title))
    ReplaceProfileFile(ActiveSlot(record), paths.config_dir() / fs::path(title + u".gkp"));
  return ExportResult::Written;
}

bool ReadImportedProfile(const IniFile& ini, ProfileSlot& slot) {
  if (!ini.Find(u"Setting", u"PollingRate") && !ini.Find(u"Setting", u"iResponTime")) return false;
  ReadProfileSection(slot, ini);
  return true;
}

bool ImportProfileFrom(SettingsRecord& record, MacroLibrary& library, const ProfilePaths& paths,
                       const fs::path& chosen) {
  return ImportProfileInto(record, library, paths, chosen, ActiveProfileIndex(record));
}

bool ImportProfileInto(SettingsRecord& record, MacroLibrary& library, const ProfilePaths& paths,
                       const fs::path& chosen, int profile) {
  IniFile ini(chosen);
  if (!ini.Load()) return false;  // missing, unreadable, or past the size limit
  const int p = profile >= 0 && profile < kProfileCount ? profile : 0;
  auto scratch = std::make_unique<ProfileSlot>(record.profiles[p]);
  if (!ReadImportedProfile(ini, *scratch)) return false;
  record.profiles[p] = *scratch;
  MarkProfileImported(record, p);
  SyncMacroLibrary(library, record);
  // The data folder keeps a copy of what was imported.
  const fs::path copy = paths.data_dir / fs::path(FileTitle(chosen) + u".gkp");
  std::error_code ec;
  if (!fs::equivalent(chosen, copy, ec)) WriteFileAtomic(copy, ini.Serialize());
  return true;
}

void StoreProfileForm(ProfileSlot& slot, std::u16string_view name, std::u16string_view game_file) {
  ToFixed(slot.ProFileName, name);
  ToFixed(slot.GameFile, game_file);
}

bool IsLinkedToOtherProfile(const SettingsRecord& record, std::u16string_view game_file) {
  if (game_file.empty()) return false;  // an empty link links nothing
  const int active = ActiveProfileIndex(record);
  for (int p = 0; p < kProfileCount; ++p) {
    if (p != active && EqualsNoCase(FromFixed(record.profiles[p].GameFile), game_file)) return true;
  }
  return false;
}

}  // namespace vantrel
