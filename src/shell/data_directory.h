// DataDirectory: the per-user folder of config.ini, the profile files and
// sequence.dat ("<roaming app data>\\Vantrel\\"), computed once.
//
// VANTREL_DATA_DIR, when set, replaces it (tests and the run script point
// it at a scratch folder so they never touch the user's real settings).
#pragma once

#include <string>

namespace vantrel::shell {

// Ends with a backslash; empty when the platform could not name the folder
// (paths built from it are then relative to the current directory).
const std::wstring& DataDirectory();

}  // namespace vantrel::shell
