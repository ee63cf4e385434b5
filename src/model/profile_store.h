// The profile store: the settings record on disk between runs. config.ini
// holds the active profile, the keyboard's connection state, export names
// and a struct copy of each loaded slot; one ".gkp" file per slot holds the
// slot's fields in section "Setting". Every file is parsed once and saved
// once per operation through IniFile.
//
//   ProfilePaths paths{data_dir};          // data_dir ends with a separator
//   LoadAllProfiles(baseline, paths);      // start-up without the monitor
//   SaveAllProfiles(live, paths);          // every apply
#pragma once

#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

#include "model/ini_file.h"
#include "model/settings_record.h"
#include "model/stored_file.h"

namespace vantrel {

struct ProfilePaths {
  // DataDirectory. Empty when the platform could not report the user's
  // application-data folder: the files are then relative to the current
  // directory.
  std::filesystem::path data_dir;

  // "<appdata>\\Vantrel\\", or empty when `appdata` is empty.
  static ProfilePaths ForAppData(std::u16string_view appdata);

  std::filesystem::path config_file() const;        // config.ini
  std::filesystem::path config_dir() const;         // config\ (profile files, exports)
  std::filesystem::path profile_file(int p) const;  // config\Default<p>.gkp
  // backup\<name>: the last good copy of a stored file (config.ini, the
  // profile files, sequence.dat), the version its last save replaced.
  std::filesystem::path last_good(const std::filesystem::path& stored) const;
  // True for one of the four stored profile files (letter case ignored).
  bool IsStoredProfileFile(const std::filesystem::path& path) const;
};

// What a start-up load found: each file's state, and the profiles whose key
// map was missing or damaged (taken from the last good copy when that one
// is whole, else the factory map).
struct ProfileLoadReport {
  StoredFile config = StoredFile::Missing;
  std::array<StoredFile, kProfileCount> profiles{};
  std::array<bool, kProfileCount> key_map_repaired{};
};

// Fills CurrentProfile, KeyboardPlugIn and the four slots. A slot without a
// readable profile file gets its factory defaults; for every slot that had
// one, config.ini gets its "Default<p>" struct copy. A file that is empty or
// has lost its section is restored from its last good copy first. Always
// succeeds; `report`, when given, says what was found.
bool LoadAllProfiles(SettingsRecord& record, const ProfilePaths& paths, bool flush = true,
                     ProfileLoadReport* report = nullptr);

// What SaveAllProfiles leaves alone and what it reports.
struct ProfileSaveReport {
  // In: the slots whose file could not be read at start-up. Such a slot is
  // not written while it holds the factory defaults put in its place; once
  // the user changed it and it was written, its entry is cleared.
  std::array<bool, kProfileCount> unread{};
  // Out: the files that could not be written.
  std::vector<std::filesystem::path> failed;
};

// Writes CurrentProfile and KeyboardPlugIn to config.ini and each slot to
// its profile file, creating missing folders and keeping each file's last
// good copy. False when any file could not be written (named in `report`).
bool SaveAllProfiles(const SettingsRecord& record, const ProfilePaths& paths, bool flush = true,
                     ProfileSaveReport* report = nullptr);

// One profile file. Loading a missing file reads as a file without keys.
// Saving updates the file in place (keys other tools added survive);
// replacing writes a new file of our keys only (exports), atomically, so a
// failed write leaves the old file as it was.
void LoadProfileFile(ProfileSlot& slot, const std::filesystem::path& path);
bool SaveProfileFile(const ProfileSlot& slot, const std::filesystem::path& path, bool flush = true,
                     const std::filesystem::path& keep_previous = {});
bool ReplaceProfileFile(const ProfileSlot& slot, const std::filesystem::path& path,
                        bool flush = true);

// The same on an already parsed document (import, backup, fuzzing): reads or
// writes every key of one section, "Setting" in a profile file. The read
// returns false when a struct value is there but unreadable (wrong length,
// not hex, bad checksum); that field, like one whose key is missing, keeps
// what it held.
bool ReadProfileSection(ProfileSlot& slot, const IniFile& ini,
                        std::u16string_view section = u"Setting");
void WriteProfileSection(const ProfileSlot& slot, IniFile& ini,
                         std::u16string_view section = u"Setting");

// Remembers the file name (no folder, no extension) of profile p's last
// export under [Profile<p+1>] "FileName" of config.ini.
bool RecordExportName(const ProfilePaths& paths, int p, std::u16string_view name);

}  // namespace vantrel
