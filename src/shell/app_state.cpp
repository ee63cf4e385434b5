#include "shell/app_state.h"

#include <memory>

#include "model/macro_store.h"
#include "model/profile_store.h"
#include "shell/data_directory.h"

namespace vantrel::shell {
namespace {
// 107,576 bytes each: on the heap rather than in static storage of every
// test exe that links the shell without using them.
std::unique_ptr<SettingsRecord> g_live = std::make_unique<SettingsRecord>();
std::unique_ptr<SettingsRecord> g_baseline = std::make_unique<SettingsRecord>();
}  // namespace

SettingsRecord& LiveRecord() { return *g_live; }
SettingsRecord& BaselineRecord() { return *g_baseline; }

MacroStore& MacroStorage() {
  static MacroStore store = [] {
    MacroStore s;
    s.file = MacroFile();
    s.last_good = ProfilePaths{std::filesystem::path(DataDirectory())}.last_good(s.file);
    return s;
  }();
  return store;
}

MacroLibrary& Macros() { return MacroStorage().library; }

std::filesystem::path MacroFile() {
  return std::filesystem::path(DataDirectory()) / kMacroFileName;
}

}  // namespace vantrel::shell
