// The macro library: the user's named key sequences, kept as an ordered list
// whose positions are the macro indexes the key assignments and menus use,
// and the bridge to the macro fields of the key assignments (matched by
// name). Everything here works in memory; macro_store.h reads and writes
// "sequence.dat".
//
//   FindMacroByName(library, key, index, same);  // which macro a key carries
//   SyncMacroLibrary(library, record);           // keys win (start-up, import)
//   CopyMacrosIntoAssignments(library, record);  // library wins (apply)
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/settings_record.h"

namespace vantrel {

constexpr int kMacroRecordNameChars = 50;  // 49 characters + NUL
constexpr int kMacroLibraryMax = 99;       // the manager creates no 100th macro
constexpr std::uint8_t kMacroActionPress = 1;
constexpr std::uint8_t kMacroActionRelease = 2;
constexpr std::uint8_t kActionTypeMacro = 3;  // KeyAssignment::actionType of a macro key

// One press or release and the pause after it. Compared as 4 raw bytes.
struct MacroEvent {
  std::uint8_t keyCode;
  std::uint8_t action;
  std::uint16_t delayMs;
};

// 308 bytes, stored whole in "sequence.dat": the layout is a file format.
struct MacroRecord {
  char16_t name[kMacroRecordNameChars];
  std::int32_t repeatCount;
  std::int32_t eventCount;  // untrusted: read it through MacroEventCount
  MacroEvent events[kMacroEvents];
};

static_assert(sizeof(MacroEvent) == 4);
static_assert(sizeof(MacroRecord) == 308);
static_assert(offsetof(MacroRecord, repeatCount) == 100);
static_assert(offsetof(MacroRecord, eventCount) == 104);
static_assert(offsetof(MacroRecord, events) == 108);
static_assert(sizeof(KeyAssignment::events) == sizeof(MacroRecord::events));

// The library owns its records; an index is a position in the list.
using MacroLibrary = std::vector<std::unique_ptr<MacroRecord>>;

bool SameEvent(const MacroEvent& a, const MacroEvent& b);

// An event count from a file, a key assignment or the monitor, as the number
// of events it may make us read, copy, compare or show: 0..50.
int BoundedEventCount(std::int64_t count);
inline int MacroEventCount(const MacroRecord& r) { return BoundedEventCount(r.eventCount); }

void ClearMacroLibrary(MacroLibrary& library);

// Looks the key's macro name up among the trimmed library names, ignoring
// letter case. At the first match sets index to its position and same to
// whether counts, repeat count and the counted events agree; with no match
// leaves both as the caller preset them (callers preset -1 and 0). Returns 1
// when a match was found and it is the same, else 0.
int FindMacroByName(const MacroLibrary& library, const KeyAssignment& key, int& index, int& same);

// Appends a record made from the key's macro fields, unless its name is empty.
void AddMacroFromAssignment(MacroLibrary& library, const KeyAssignment& key);

// Keys win: every macro key among the first 15 entries of each slot either
// adds its macro or overwrites the contents of the same-named one. When keys
// disagree, the one walked last (highest slot, then highest entry) wins. A
// key that FindMacroByName misses takes the macro CopyMacrosIntoAssignments
// would give it (a name with blanks around it), so a second sync of the
// same record adds nothing.
void SyncMacroLibrary(MacroLibrary& library, const SettingsRecord& record);

// Library wins: every macro key among the first 6 entries of each slot whose
// name (letter case ignored) is in the library takes that macro's contents
// and index. Keys whose name is not there stay as they are.
void CopyMacrosIntoAssignments(const MacroLibrary& library, SettingsRecord& record);

// A key assignment holds 19 characters of name; a longer library name (only
// possible from a hand-edited file) would be cut and then never match again,
// so such a macro cannot be bound.
bool CanBindToKey(const MacroRecord& macro);

// Makes `key` carry macro `index` of the library. False (key untouched) when
// the macro cannot be bound.
bool BindMacroToKey(const MacroRecord& macro, int index, KeyAssignment& key);

}  // namespace vantrel
