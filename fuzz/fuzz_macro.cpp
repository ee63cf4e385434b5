// "sequence.dat" is a text file anyone can edit: any bytes must load without
// reading or writing out of bounds, into at most kMacroLoadCap records with
// terminated names and usable counts, and what loads must save and load
// back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model/macro_store.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  IniFile ini;
  ini.LoadBytes({data, size});
  MacroLibrary library;
  LoadMacroLibrary(library, ini);
  if (library.size() > static_cast<std::size_t>(kMacroLoadCap)) std::abort();
  for (const auto& macro : library) {
    if (macro->name[kMacroRecordNameChars - 1] != 0) std::abort();
    if (macro->eventCount < 0 || macro->eventCount > kMacroEvents) std::abort();
  }

  IniFile saved;
  WriteMacroLibrary(library, saved);
  const std::vector<std::uint8_t> bytes = saved.Serialize();
  IniFile reread;
  reread.LoadBytes(bytes);
  MacroLibrary again;
  LoadMacroLibrary(again, reread);
  if (again.size() != library.size()) std::abort();
  for (std::size_t i = 0; i < library.size(); ++i) {
    if (std::memcmp(again[i].get(), library[i].get(), sizeof(MacroRecord)) != 0) std::abort();
  }
  return 0;
}
