#include "model/macro_store.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "model/text.h"

namespace vantrel {
namespace {

constexpr char16_t kSection[] = u"Macros";
constexpr char16_t kNumberKey[] = u"number";

std::int32_t ReadNumber(const IniFile& ini) { return ini.ReadInt(kSection, kNumberKey, -1); }

std::span<std::uint8_t> Bytes(MacroRecord& macro) {
  return {reinterpret_cast<std::uint8_t*>(&macro), sizeof(MacroRecord)};
}

// The file is the user's to edit: a record leaves here with a terminated
// name and a count that can index its events.
void Sanitize(MacroRecord& macro) {
  macro.name[kMacroRecordNameChars - 1] = u'\0';
  macro.eventCount = MacroEventCount(macro);
}

// Record `i` as a usable macro, or nullptr when its value is missing or bad.
std::unique_ptr<MacroRecord> ReadRecord(const IniFile& ini, int i) {
  auto macro = std::make_unique<MacroRecord>();
  if (!ini.ReadStruct(kSection, ToU16Decimal(i), Bytes(*macro))) return nullptr;
  Sanitize(*macro);
  return macro;
}

}  // namespace

void LoadMacroLibrary(MacroLibrary& library, const IniFile& ini) {
  const std::int32_t number = ReadNumber(ini);
  if (number < 1) {
    ClearMacroLibrary(library);
    return;
  }
  if (!library.empty()) return;
  const int count = std::min(number, kMacroLoadCap);
  for (int i = 0; i < count; ++i) {
    if (auto macro = ReadRecord(ini, i)) library.push_back(std::move(macro));
  }
}

bool ReadMacroSection(MacroLibrary& library, const IniFile& ini, int max_records) {
  library.clear();
  const std::int32_t number = ReadNumber(ini);
  if (number < 0) return false;
  const int count = std::min(number, max_records);
  for (int i = 0; i < count; ++i) {
    auto macro = ReadRecord(ini, i);
    if (!macro) return false;
    library.push_back(std::move(macro));
  }
  return true;
}

StoredFile LoadMacroLibrary(MacroLibrary& library, const std::filesystem::path& file,
                            const std::filesystem::path& last_good) {
  IniFile ini(file);
  const StoredFile found = LoadStoredFile(ini, last_good, kSection, {kNumberKey});
  // A missing file reads as one without keys: "number" -1.
  if (found != StoredFile::Unreadable) LoadMacroLibrary(library, ini);
  return found;
}

void WriteMacroLibrary(const MacroLibrary& library, IniFile& ini) {
  // Built from nothing, so no key of an older, longer library survives.
  ini.Clear();
  WriteMacroSection(library, ini);
}

void WriteMacroSection(const MacroLibrary& library, IniFile& ini) {
  ini.WriteInt(kSection, kNumberKey, static_cast<std::int32_t>(library.size()));
  for (std::size_t i = 0; i < library.size(); ++i) {
    ini.WriteStruct(kSection, ToU16Decimal(static_cast<std::int64_t>(i)), Bytes(*library[i]));
  }
}

bool SaveMacroLibrary(const MacroLibrary& library, const std::filesystem::path& file, bool flush,
                      const std::filesystem::path& keep_previous) {
  IniFile ini(file);
  WriteMacroLibrary(library, ini);
  return ini.Save(flush, keep_previous) == IniSaveResult::Ok;
}

void RefreshMacroAssignments(MacroLibrary& library, SettingsRecord& record,
                             const std::filesystem::path& file) {
  IniFile ini(file);
  if (!ini.Load() || ReadNumber(ini) <= 0) return;
  LoadMacroLibrary(library, ini);
  CopyMacrosIntoAssignments(library, record);
}

StoredFile MacroStore::Load() {
  const StoredFile found = LoadMacroLibrary(library, file, last_good);
  unread = found == StoredFile::Unreadable;
  return found;
}

bool MacroStore::Reread(const SettingsRecord& keys) {
  if (!unread) return true;
  MacroLibrary read;
  if (LoadMacroLibrary(read, file, last_good) == StoredFile::Unreadable) return false;
  SyncMacroLibrary(read, keys);
  library = std::move(read);
  unread = false;
  return true;
}

bool MacroStore::Save(bool flush) const {
  return !unread && SaveMacroLibrary(library, file, flush, last_good);
}

}  // namespace vantrel
