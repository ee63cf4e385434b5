// The process-wide data of one run: the live settings record (what the
// pages edit and an apply publishes), the baseline (what was last loaded or
// published) and the macro library. One instance each, for the whole run.
#pragma once

#include <filesystem>

#include "model/macro_library.h"
#include "model/settings_record.h"

namespace vantrel::shell {

SettingsRecord& LiveRecord();
SettingsRecord& BaselineRecord();
MacroLibrary& Macros();

// DataDirectory + "sequence.dat".
std::filesystem::path MacroFile();

}  // namespace vantrel::shell
