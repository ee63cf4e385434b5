#include "model/macro_library.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "model/text.h"

namespace vantrel {
namespace {

constexpr int kSyncEntries = 15;    // macro keys the library learns from
constexpr int kRefreshEntries = 6;  // macro keys the library is copied into

std::u16string KeyMacroName(const KeyAssignment& key) { return FromFixed(key.macroName); }

// The key's events as macro events (both are 4 raw bytes per event).
void CopyEvents(MacroEvent (&to)[kMacroEvents], const std::uint32_t (&from)[kMacroEvents],
                int count) {
  std::memcpy(to, from, sizeof(MacroEvent) * static_cast<std::size_t>(count));
}

bool SameContents(const MacroRecord& macro, const KeyAssignment& key) {
  if (macro.eventCount != static_cast<std::int32_t>(key.eventCount)) return false;
  if (macro.repeatCount != key.repeatCount) return false;
  const int count = BoundedEventCount(macro.eventCount);
  return std::memcmp(macro.events, key.events, sizeof(MacroEvent) * count) == 0;
}

// The macro CopyMacrosIntoAssignments gives the key: its name as stored,
// letter case ignored. -1 when there is none.
int StoredNameIndex(const MacroLibrary& library, const std::u16string& name) {
  auto found = std::find_if(library.begin(), library.end(), [&](const auto& macro) {
    return EqualsNoCase(FromFixed(macro->name), name);
  });
  return found == library.end() ? -1 : static_cast<int>(found - library.begin());
}

}  // namespace

bool SameEvent(const MacroEvent& a, const MacroEvent& b) {
  return std::memcmp(&a, &b, sizeof(MacroEvent)) == 0;
}

int BoundedEventCount(std::int64_t count) {
  return static_cast<int>(std::clamp<std::int64_t>(count, 0, kMacroEvents));
}

void ClearMacroLibrary(MacroLibrary& library) { library.clear(); }

int FindMacroByName(const MacroLibrary& library, const KeyAssignment& key, int& index, int& same) {
  const std::u16string wanted = KeyMacroName(key);
  for (std::size_t i = 0; i < library.size(); ++i) {
    const MacroRecord& macro = *library[i];
    if (!EqualsNoCase(Trim(FromFixed(macro.name)), wanted)) continue;
    index = static_cast<int>(i);
    same = SameContents(macro, key) ? 1 : 0;
    return same;
  }
  return 0;
}

void AddMacroFromAssignment(MacroLibrary& library, const KeyAssignment& key) {
  auto macro = std::make_unique<MacroRecord>();  // value-initialised: all zero
  ToFixed(macro->name, KeyMacroName(key));
  macro->eventCount = BoundedEventCount(key.eventCount);
  CopyEvents(macro->events, key.events, macro->eventCount);
  macro->repeatCount = key.repeatCount;
  if (macro->name[0] != u'\0') library.push_back(std::move(macro));
}

void SyncMacroLibrary(MacroLibrary& library, const SettingsRecord& record) {
  for (const ProfileSlot& slot : record.profiles) {
    for (int e = 0; e < kSyncEntries; ++e) {
      const KeyAssignment& key = slot.MacroKeyInfo[e];
      if (key.actionType != kActionTypeMacro) continue;
      int index = -1;
      int same = 0;
      FindMacroByName(library, key, index, same);
      if (index < 0) {
        // A name with blanks around it never matches a trimmed library name,
        // and adding it again would grow the library by one at every sync.
        index = StoredNameIndex(library, KeyMacroName(key));
        if (index >= 0) same = SameContents(*library[static_cast<std::size_t>(index)], key);
      }
      if (index < 0) {
        AddMacroFromAssignment(library, key);
      } else if (same == 0) {
        MacroRecord& macro = *library[static_cast<std::size_t>(index)];
        CopyEvents(macro.events, key.events, kMacroEvents);
        macro.eventCount = BoundedEventCount(key.eventCount);
        macro.repeatCount = key.repeatCount;
      }
    }
  }
}

void CopyMacrosIntoAssignments(const MacroLibrary& library, SettingsRecord& record) {
  for (ProfileSlot& slot : record.profiles) {
    for (int e = 0; e < kRefreshEntries; ++e) {
      KeyAssignment& key = slot.MacroKeyInfo[e];
      if (key.actionType != kActionTypeMacro) continue;
      const int index = StoredNameIndex(library, KeyMacroName(key));
      if (index < 0) continue;
      const MacroRecord& macro = *library[static_cast<std::size_t>(index)];
      key.eventCount = static_cast<std::uint16_t>(MacroEventCount(macro));
      std::memcpy(key.events, macro.events, sizeof(key.events));
      key.repeatCount = macro.repeatCount;
      key.macroIndex = index;
    }
  }
}

bool CanBindToKey(const MacroRecord& macro) {
  return FromFixed(macro.name).size() < static_cast<std::size_t>(kMacroNameChars);
}

bool BindMacroToKey(const MacroRecord& macro, int index, KeyAssignment& key) {
  if (!CanBindToKey(macro)) return false;
  key.actionType = kActionTypeMacro;
  key.macroIndex = index;
  ToFixed(key.macroName, FromFixed(macro.name));
  key.eventCount = static_cast<std::uint16_t>(MacroEventCount(macro));
  std::memcpy(key.events, macro.events, sizeof(key.events));
  key.repeatCount = macro.repeatCount;
  return true;
}

}  // namespace vantrel
