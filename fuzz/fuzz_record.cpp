// The settings record comes whole from the monitor's shared section, and
// its slots from profile files: any 107,576 bytes must pass every model
// function that takes a record, a slot or a key assignment without UB, leak
// or runaway loop, and keep the promises the pages rely on (bounded counts,
// terminated names, 0/1 flags, a library that stops growing).
//
// Input: the record's bytes, repeated to fill it, so that a short input
// still reaches the last slot and the trailer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/ini_file.h"
#include "model/key_codes.h"
#include "model/key_functions.h"
#include "model/macro_edit.h"
#include "model/macro_library.h"
#include "model/macro_recorder.h"
#include "model/macro_store.h"
#include "model/panel_rules.h"
#include "model/profile_store.h"
#include "model/profile_transfer.h"
#include "model/settings_record.h"
#include "model/text.h"

using namespace vantrel;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// The macro page's text table: language strings 500..526.
const std::vector<std::u16string>& Names() {
  static const std::vector<std::u16string> names = [] {
    std::vector<std::u16string> n;
    for (int i = 0; i < 27; ++i) n.push_back(u"text " + ToU16Decimal(500 + i));
    return n;
  }();
  return names;
}

// Every command of the key menu but the macros (added from the library).
const std::vector<int>& KeyCommands() {
  static const std::vector<int> commands = [] {
    std::vector<int> c = {kCommandMacroManager, 1001, 1002, 1003, 1040, 0, -1, 4001};
    for (int id = 1007; id <= 1037; ++id) c.push_back(id);
    for (int id = 1050; id <= 1065; ++id) c.push_back(id);
    return c;
  }();
  return commands;
}

std::span<std::uint8_t> BytesOf(SettingsRecord& r) {
  return {reinterpret_cast<std::uint8_t*>(&r), sizeof r};
}

void CheckFlag(std::int32_t f) { Check(f == 0 || f == 1); }

void CheckKeyReaders(const KeyAssignment& key, int k, const MacroLibrary& library) {
  const std::span<const std::u16string> names(Names());
  KeyAssignmentText(key, names);
  KeyAssignmentText(key, names.first(key.entryIndex % (names.size() + 1)));
  const Combination c = CombinationOf(key);
  Check(c.keyCode == (key.keyCode & 0xFF));
  Check(CombinationModifiers(c) == (key.modifiers & 0x0F));
  FunctionCodeTable(key.functionCode, k);
  CommandFunctionCode(key.macroIndex);
  if (k >= 6) return;  // the macro menu and the manager serve the page's six keys
  const std::vector<MacroMenuEntry> entries = MacroMenuEntries(library, key);
  Check(entries.size() == library.size());
  const int pre = PreselectedMacro(library, key);
  Check(pre >= -1 && pre < static_cast<int>(library.size()));
  Check((pre == -1) == library.empty());
  int index = -1, same = 0;
  FindMacroByName(library, key, index, same);
  Check(index >= -1 && index < static_cast<int>(library.size()) && (same == 0 || same == 1));
}

void CheckSlotReaders(const SettingsRecord& record, const ProfileSlot& s,
                      const MacroLibrary& library) {
  const PanelCaption mode = LightModeCaption(s.LtEffectType);
  Check(mode.text_entry == -1 || (mode.text_entry >= 9 && mode.text_entry <= 11));
  LightLevelCaption(s.iLtPulsation);
  Check(!ResponseTimeText(s.iResponTime).empty());
  for (int i = 0; i < kKeyPositions; ++i)
    Check(KeyShowsRemapped(i, s.standardkey[i]) == (s.standardkey[i] != FactoryKeyMap[i]));
  for (std::int32_t v : s.ModifyKey) {
    KeyShowsRemapped(v, static_cast<std::uint8_t>(v));
    CapturedVirtualKey(v, static_cast<std::uint32_t>(s.LtFlag));
  }
  LightMenuCommand(s.LtControl);
  AdvancedMenuCommand(s.PollingRate);
  IsKeyMapFull(record, s.LtSaving);
  IsLinkedToOtherProfile(record, FromFixed(s.GameFile));
  for (int k = 0; k < kKeyAssignments; ++k) CheckKeyReaders(s.MacroKeyInfo[k], k, library);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  auto live = std::make_unique<SettingsRecord>();
  std::span<std::uint8_t> bytes = BytesOf(*live);
  for (std::size_t i = 0; i < bytes.size(); i += size)
    std::memcpy(&bytes[i], data, std::min(size, bytes.size() - i));
  // The baseline of the scan: the same record with a few bytes changed.
  auto baseline = std::make_unique<SettingsRecord>(*live);
  for (std::size_t i = 0; i < 8 && i < size; ++i)
    BytesOf(*baseline)[(data[i] * 421u + i * 13441u) % sizeof(SettingsRecord)] ^= 0x5A;

  const int active = ActiveProfileIndex(*live);
  Check(active >= 0 && active < kProfileCount && &ActiveSlot(*live) == &live->profiles[active]);
  {
    auto clamped = std::make_unique<SettingsRecord>(*live);
    ClampCurrentProfile(*clamped);
    Check(clamped->CurrentProfile == active);
  }
  for (int p = 0; p < kProfileCount; ++p) IsKeyMapFull(*live, p);
  IsKeyMapFull(*live, live->CurrentProfile);

  // Start-up: keys win; what they teach the library is saved and read back
  // unchanged, and a second start-up on the same record learns nothing new.
  MacroLibrary library;
  SyncMacroLibrary(library, *live);
  Check(library.size() <= static_cast<std::size_t>(kProfileCount * 15));
  for (const auto& m : library) {
    Check(m->name[kMacroRecordNameChars - 1] == 0 && m->name[0] != 0);
    Check(m->eventCount >= 0 && m->eventCount <= kMacroEvents);
  }
  const std::size_t learned = library.size();
  SyncMacroLibrary(library, *live);
  Check(library.size() == learned);
  {
    IniFile saved;
    WriteMacroLibrary(library, saved);
    IniFile reread;
    reread.LoadBytes(saved.Serialize());
    MacroLibrary again;
    LoadMacroLibrary(again, reread);
    Check(again.size() == library.size());
    for (std::size_t i = 0; i < library.size(); ++i)
      Check(std::memcmp(again[i].get(), library[i].get(), sizeof(MacroRecord)) == 0);
  }

  // The pages and the manager read every slot and every key.
  for (const ProfileSlot& s : live->profiles) CheckSlotReaders(*live, s, library);
  for (const auto& m : library) {
    MacroNameInUse(*live, MacroName(*m));
    CanBindToKey(*m);
    MacroRecorder recorder(MacroCaptureHooks{});
    recorder.LoadFrom(*m);
    const EventListView view = BuildEventList(recorder.events, recorder.count, m->repeatCount, -1);
    Check(view.lines.size() <= 2 * static_cast<std::size_t>(kMacroEvents));
  }

  // Apply: library wins (a key it fills carries a bounded count and an index
  // of the library; the others stay as they were), then the scan.
  const auto before = std::make_unique<SettingsRecord>(*live);
  CopyMacrosIntoAssignments(library, *live);
  for (int p = 0; p < kProfileCount; ++p) {
    for (int k = 0; k < kKeyAssignments; ++k) {
      const KeyAssignment& now = live->profiles[p].MacroKeyInfo[k];
      if (std::memcmp(&now, &before->profiles[p].MacroKeyInfo[k], sizeof now) == 0) continue;
      Check(k < 6 && now.actionType == kActionTypeMacro && now.eventCount <= kMacroEvents);
      Check(now.macroIndex >= 0 && now.macroIndex < static_cast<int>(library.size()));
    }
  }
  ScanChanges(*live, *baseline);
  for (int p = 0; p < kFlagEntries; ++p) {
    for (std::int32_t f : live->MacroKeyInfoChanged[p]) CheckFlag(f);
    for (std::int32_t f :
         {live->LightingChanged[p], live->StandardKeyChanged[p], live->ModifyKeyChanged[p],
          live->DefaultsRestored[p], live->AdvancedChanged[p]})
      CheckFlag(f);
  }
  CheckFlag(live->CurrentProfileChanged);
  CheckFlag(live->HddKeyboardChanged);

  // The key menu's commands on the active slot, with the record's own
  // numbers as the key and the command where it takes any.
  const int macro_commands = static_cast<int>(library.size()) + 1;
  for (int k = 0; k < 6; ++k) {
    const KeyAssignment key = ActiveSlot(*live).MacroKeyInfo[k];
    const Combination c = CombinationOf(key);
    const int command = KeyCommands()[key.functionCode % KeyCommands().size()];
    ApplyKeyCommand(*live, active, k, command, library, key.entryIndex & 1 ? &c : nullptr);
    const int macro = kCommandFirstMacro + static_cast<int>(key.keyCode % macro_commands);
    ApplyKeyCommand(*live, active, k, macro, library, nullptr);
    CheckKeyReaders(ActiveSlot(*live).MacroKeyInfo[k], k, library);
  }
  const std::int32_t other_key = live->profiles[0].LtTimeout;
  if (other_key < 0 || other_key > 5) {
    Check(!ApplyKeyCommand(*live, active, other_key, 1001, library, nullptr));
  }

  // Saving: the active slot into a profile file's document and back gives
  // the same numbers and structs. The section's text form is what costs:
  // one input size in 32 takes it (fuzz_profile walks that code from files).
  if (size % 32 == 1) {
    IniFile file;
    WriteProfileSection(ActiveSlot(*live), file);
    auto back = std::make_unique<ProfileSlot>(ActiveSlot(*live));
    ReadProfileSection(*back, file);
    const std::size_t numbers = offsetof(ProfileSlot, MediaOption);
    Check(std::memcmp(reinterpret_cast<const char*>(back.get()) + numbers,
                      reinterpret_cast<const char*>(&ActiveSlot(*live)) + numbers,
                      sizeof(ProfileSlot) - numbers) == 0);
  }

  // The profile form and the factory defaults, on copies of each slot.
  for (const ProfileSlot& s : live->profiles) {
    auto slot = std::make_unique<ProfileSlot>(s);
    StoreProfileForm(*slot, FromFixed(s.ProFileName) + u"x", FromFixed(s.GameFile) + u"y");
    Check(slot->ProFileName[kProfileNameChars - 1] == 0 && slot->GameFile[kGameFileChars - 1] == 0);
    ApplyFactoryDefaults(*slot, s.LtTimeout);
    Check(slot->ProFileName[kProfileNameChars - 1] == 0);
  }
  ApplyFactoryDefaults(ActiveSlot(*live), live->CurrentProfile);
  MarkAllChanged(*baseline);
  ClearChangeFlags(*baseline);
  ResetRecord(*baseline);
  ApplyFactoryDefaultsAll(*baseline);
  return 0;
}
