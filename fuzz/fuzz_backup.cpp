// A backup is a file the user picks: any bytes must read without reading or
// writing past a field, and only a whole backup is applied. What it applies
// is bounded (CurrentProfile 0..3, texts terminated, at most
// kMacroLibraryMax macros with usable counts), and written again it reads
// back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "model/backup.h"

using namespace vantrel;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool SameAfterTexts(const ProfileSlot& a, const ProfileSlot& b) {
  // Texts may lose surrounding blanks and quotes on the way, as with the
  // platform's functions; every field from the first number on may not.
  const std::size_t from = offsetof(ProfileSlot, MediaOption);
  return std::memcmp(reinterpret_cast<const char*>(&a) + from,
                     reinterpret_cast<const char*>(&b) + from, sizeof(ProfileSlot) - from) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  IniFile ini;
  ini.LoadBytes(std::span<const std::uint8_t>(data, size));
  auto read = std::make_unique<BackupContents>();
  if (ReadBackup(ini, *read) != BackupResult::Ok) return 0;
  Check(read->current_profile >= 0 && read->current_profile < kProfileCount);
  for (const ProfileSlot& s : read->profiles)
    Check(s.ProFileName[kProfileNameChars - 1] == 0 && s.GameFile[kGameFileChars - 1] == 0);
  Check(read->macros.size() <= static_cast<std::size_t>(kMacroLibraryMax));
  for (const auto& m : read->macros)
    Check(m->name[kMacroRecordNameChars - 1] == 0 && m->eventCount >= 0 &&
          m->eventCount <= kMacroEvents);

  auto record = std::make_unique<SettingsRecord>();
  ResetRecord(*record);
  MacroLibrary library;
  ApplyBackup(*read, *record, library);
  Check(record->CurrentProfile == read->current_profile);
  Check(library.size() >= read->macros.size());

  IniFile written;
  WriteBackup(*record, read->macros, written);
  const std::vector<std::uint8_t> bytes = written.Serialize();
  IniFile reread;
  reread.LoadBytes(bytes);
  auto again = std::make_unique<BackupContents>();
  Check(ReadBackup(reread, *again) == BackupResult::Ok);
  Check(again->current_profile == read->current_profile);
  for (int p = 0; p < kProfileCount; ++p)
    Check(SameAfterTexts(again->profiles[p], read->profiles[p]));
  Check(again->macros.size() == read->macros.size());
  for (std::size_t i = 0; i < read->macros.size(); ++i)
    Check(std::memcmp(again->macros[i].get(), read->macros[i].get(), sizeof(MacroRecord)) == 0);
  return 0;
}
