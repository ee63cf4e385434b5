#include "model/stored_file.h"

#include <system_error>
#include <vector>

namespace vantrel {
namespace {

bool HasAnyKey(const IniFile& ini, std::u16string_view section,
               std::initializer_list<std::u16string_view> keys) {
  for (std::u16string_view key : keys)
    if (ini.Find(section, key)) return true;
  return false;
}

}  // namespace

StoredFile LoadStoredFile(IniFile& ini, const std::filesystem::path& last_good,
                          std::u16string_view section,
                          std::initializer_list<std::u16string_view> required_keys) {
  std::error_code ec;
  if (!ini.Load()) {
    const bool there = std::filesystem::exists(ini.path(), ec);
    return there || ec ? StoredFile::Unreadable : StoredFile::Missing;
  }
  if (last_good.empty()) return StoredFile::Read;
  if (HasAnyKey(ini, section, required_keys)) {
    // A file that was never replaced has no copy yet: it gets one now, a
    // copy of its own (saves keep the version they replace from then on).
    if (!std::filesystem::exists(last_good, ec)) WriteFileAtomic(last_good, ini.Serialize(), false);
    return StoredFile::Read;
  }
  // Emptied or cut short (by another program, a disk that filled up, a
  // hand edit): its last good copy, when that one is whole, takes its place.
  IniFile good(last_good);
  if (!good.Load() || !HasAnyKey(good, section, required_keys)) return StoredFile::Read;
  const std::vector<std::uint8_t> bytes = good.Serialize();
  if (WriteFileAtomic(ini.path(), bytes) != IniSaveResult::Ok) return StoredFile::Read;
  return ini.Load() ? StoredFile::Restored : StoredFile::Unreadable;
}

}  // namespace vantrel
