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

// Writes the active slot into `chosen` (replacing the whole file), records
// its title as the profile's export name and keeps a copy in the config
// folder under that title. A title of Default0..Default3 (any letter case)
// is not copied: the copy would overwrite one of the four stored profiles.
// Returns whether `chosen` was written.
bool ExportProfileTo(const SettingsRecord& record, const ProfilePaths& paths,
                     const std::filesystem::path& chosen);

// Copies `chosen` into the data folder, reads it, and when it is a profile
// file (PollingRate or iResponTime present) puts it into the active slot,
// raises that profile's import flags and brings its macros into the
// library. Returns true when the record changed.
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
