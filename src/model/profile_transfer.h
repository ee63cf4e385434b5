// Moving one profile between the settings record and a ".gkp" file the
// user chose (the shell shows the file dialogs and passes the paths in),
// and the rules of the profile form that need no window.
//
//   ExportProfileTo(live, paths, u"C:\\x\\My.gkp");    // + config\\My.gkp copy
//   if (ImportProfileFrom(live, library, paths, chosen)) RefreshAllControl();
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "model/macro_library.h"
#include "model/profile_store.h"
#include "model/settings_record.h"

namespace vantrel {

// The file name without folder and extension ("C:\\a\\My.gkp" -> "My").
std::u16string FileTitle(const std::filesystem::path& path);

enum class ExportResult {
  Written,
  StoredFile,  // `chosen` is one of the four stored profile files: refused
  Failed,      // could not be written; an old file there is left whole
};

// Writes the active slot into `chosen` (a new file of our keys, through the
// atomic save: an old file there is never deleted first), records its
// title as the profile's export name and keeps a copy in the config folder
// under that title. A title of Default0..Default3 (any letter case) is not
// copied: the copy would overwrite one of the four stored profiles.
ExportResult ExportProfileTo(const SettingsRecord& record, const ProfilePaths& paths,
                             const std::filesystem::path& chosen);

// The import decision, on the chosen file already read (at most the INI
// layer's size limit): true when it is a profile file (PollingRate or
// iResponTime present), with `slot` filled from it; false leaves `slot`
// as it was.
bool ReadImportedProfile(const IniFile& ini, ProfileSlot& slot);

// Reads `chosen` and, when it is a profile file, puts it into the active
// slot, raises that profile's import flags, brings its macros into the
// library and keeps a copy in the data folder. Nothing is copied before
// the file was found to be a profile. Returns true when the record changed.
bool ImportProfileFrom(SettingsRecord& record, MacroLibrary& library, const ProfilePaths& paths,
                       const std::filesystem::path& chosen);
// The same into slot `profile` (0..3; outside it, slot 0), whichever is
// active (the command line's /import).
bool ImportProfileInto(SettingsRecord& record, MacroLibrary& library, const ProfilePaths& paths,
                       const std::filesystem::path& chosen, int profile);

// The profile form's OK: name cut to 249 characters, path to 499.
void StoreProfileForm(ProfileSlot& slot, std::u16string_view name, std::u16string_view game_file);

// True when another slot than the active one already links `game_file`
// (letter case ignored): an executable is linked to one profile only.
bool IsLinkedToOtherProfile(const SettingsRecord& record, std::u16string_view game_file);

}  // namespace vantrel
