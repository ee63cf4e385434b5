// The process-wide data of one run: the live settings record (what the
// pages edit and an apply publishes), the baseline (what was last loaded or
// published) and the macro library. One instance each, for the whole run.
#pragma once

#include <filesystem>

#include "model/macro_store.h"
#include "model/settings_record.h"

namespace vantrel::shell {

SettingsRecord& LiveRecord();
SettingsRecord& BaselineRecord();
// The library with its file (sequence.dat in DataDirectory) and whether
// that file could be read; Macros() is its library.
MacroStore& MacroStorage();
MacroLibrary& Macros();

// DataDirectory + "sequence.dat".
std::filesystem::path MacroFile();

}  // namespace vantrel::shell
