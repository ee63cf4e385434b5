// "sequence.dat": the macro library on disk, section "Macros" with "number"
// and one struct value per macro under keys "0".."number-1". Read and
// written through IniFile, so the file stays what the platform's
// private-profile struct functions read and write.
//
//   LoadMacroLibrary(library, data_dir / kMacroFileName);
//   SyncMacroLibrary(library, record);
//   SaveMacroLibrary(library, data_dir / kMacroFileName);
#pragma once

#include <filesystem>

#include "model/ini_file.h"
#include "model/macro_library.h"
#include "model/stored_file.h"

namespace vantrel {

inline constexpr char16_t kMacroFileName[] = u"sequence.dat";

// The most records a "number" may make us read: far above the 99 the manager
// allows, low enough that a hand-edited "number" of two billion costs
// nothing.
constexpr int kMacroLoadCap = 1000;

// "number" below 1 (or missing) empties the library. Otherwise loading never
// merges: a library that already holds macros is left as it is. A record
// whose value is missing, has the wrong length or a bad checksum is skipped,
// so the macros behind it move up one index (keys find them by name).
// A file that is there but cannot be read leaves the library as it was
// (Unreadable): an empty library in its place would be saved over it. One
// found empty or without "number" is first put back from `last_good`.
StoredFile LoadMacroLibrary(MacroLibrary& library, const std::filesystem::path& file,
                            const std::filesystem::path& last_good = {});
void LoadMacroLibrary(MacroLibrary& library, const IniFile& ini);

// Replaces the file atomically with exactly the library's keys (no stale
// ones), keeping the version replaced as `keep_previous` when given. False
// when it could not be written; the library is unaffected.
bool SaveMacroLibrary(const MacroLibrary& library, const std::filesystem::path& file,
                      bool flush = true, const std::filesystem::path& keep_previous = {});
// The document SaveMacroLibrary writes (tests, benchmark).
void WriteMacroLibrary(const MacroLibrary& library, IniFile& ini);

// Section "Macros" as part of a larger document (a backup). The writer adds
// it to what the document holds. The reader is strict, for a section our
// writer made whole: it replaces the library with records "0".."count-1",
// count being "number" cut to `max_records` (later records are not looked
// at), and returns false when "number" is missing or negative or one of
// those records is missing or unreadable (the library then holds the
// records before it).
void WriteMacroSection(const MacroLibrary& library, IniFile& ini);
bool ReadMacroSection(MacroLibrary& library, const IniFile& ini, int max_records);

// The library with its file, and the rule that keeps the file safe: once
// a load found the file there but could not read it, nothing is saved over
// it until a later load has read it.
struct MacroStore {
  MacroLibrary library;
  std::filesystem::path file;       // sequence.dat
  std::filesystem::path last_good;  // its last good copy
  bool unread = false;              // there, but not read yet

  // LoadMacroLibrary on `file`; notes whether it could be read.
  StoredFile Load();
  // For a file not read yet: tries again. Read now, the library becomes the
  // file's macros plus what `keys` carry (as at start-up). True when the
  // file has been read (now or before).
  bool Reread(const SettingsRecord& keys);
  // SaveMacroLibrary keeping the last good copy; false, with nothing
  // written, while the file has not been read.
  bool Save(bool flush = true) const;
};

// The apply step: when the file has macros, loads them if the library is
// empty, then copies library contents into the first six macro keys of every
// slot (CopyMacrosIntoAssignments). A file that cannot be read changes
// nothing.
void RefreshMacroAssignments(MacroLibrary& library, SettingsRecord& record,
                             const std::filesystem::path& file);

}  // namespace vantrel
