// Profile files come from other tools and from imports: any bytes must load
// into a slot without reading or writing past it, leave both texts
// terminated, and save and reload without harm. The import's decision
// (a profile file or not) leaves the slot alone when it says no.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "model/ini_file.h"
#include "model/profile_store.h"
#include "model/profile_transfer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantrel;
  IniFile ini;
  ini.LoadBytes(std::span<const std::uint8_t>(data, size));
  auto slot = std::make_unique<ProfileSlot>();
  ApplyFactoryDefaults(*slot, 0);
  {
    auto imported = std::make_unique<ProfileSlot>(*slot);
    if (!ReadImportedProfile(ini, *imported) &&
        std::memcmp(imported.get(), slot.get(), sizeof(ProfileSlot)) != 0)
      std::abort();
  }
  ReadProfileSection(*slot, ini);
  if (slot->ProFileName[kProfileNameChars - 1] != 0 || slot->GameFile[kGameFileChars - 1] != 0)
    std::abort();

  // Saving into the same document and reading it back gives the same
  // numbers and struct values, whatever else the file holds. (Texts may
  // lose surrounding blanks and quotes, as with the platform's functions.)
  WriteProfileSection(*slot, ini);
  std::vector<std::uint8_t> bytes = ini.Serialize();
  IniFile again;
  again.LoadBytes(bytes);
  auto reread = std::make_unique<ProfileSlot>();
  ReadProfileSection(*reread, again);
  // Compared from the first number on; the fields no file stores are copied.
  const std::size_t numbers = offsetof(ProfileSlot, MediaOption);
  reread->Reserved1520 = slot->Reserved1520;
  reread->Reserved1548 = slot->Reserved1548;
  std::memcpy(reread->pad1710, slot->pad1710, sizeof slot->pad1710);
  std::memcpy(reread->Reserved26680, slot->Reserved26680, sizeof slot->Reserved26680);
  if (std::memcmp(reinterpret_cast<const char*>(reread.get()) + numbers,
                  reinterpret_cast<const char*>(slot.get()) + numbers,
                  sizeof(ProfileSlot) - numbers) != 0)
    std::abort();
  return 0;
}
