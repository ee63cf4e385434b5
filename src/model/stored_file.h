// The program's stored files (config.ini, the four profile files,
// sequence.dat) as a start-up finds them. Each save keeps the version it
// replaces as the file's last good copy (backup\ in the data folder); a
// file found empty, or without the section it must hold, is put back from
// that copy before it is read.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string_view>

#include "model/ini_file.h"

namespace vantrel {

enum class StoredFile {
  Read,
  Missing,     // not there: factory defaults (a profile) or no keys
  Unreadable,  // there, but held, refused or too large: left alone
  Restored,    // empty or without its section: put back from its last good copy
};

// Loads `ini`, restoring its file from `last_good` first when it is empty
// or holds none of `required_keys` in `section` while that copy does. A
// whole file without a last good copy yet gets one.
StoredFile LoadStoredFile(IniFile& ini, const std::filesystem::path& last_good,
                          std::u16string_view section,
                          std::initializer_list<std::u16string_view> required_keys);

}  // namespace vantrel
