// The settings record: the whole keyboard configuration in one flat block of
// 107,576 bytes, shared byte for byte with the monitor program. Every offset
// below is part of that interface and is checked at compile time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

constexpr int kProfileCount = 4;
constexpr int kFlagEntries = 5;  // per-profile flag arrays have one spare entry
constexpr int kKeyPositions = 114;
constexpr int kKeyAssignments = 32;
constexpr int kMacroEvents = 50;
constexpr int kProfileNameChars = 250;  // 249 characters + NUL
constexpr int kGameFileChars = 500;     // 499 characters + NUL
constexpr int kMacroNameChars = 20;     // 19 characters + NUL
constexpr int kProgramPathChars = 260;

// One programmable key action (780 bytes).
struct KeyAssignment {
  std::uint8_t entryIndex;
  std::uint8_t actionType;
  std::uint8_t modifiers;
  std::uint8_t functionCode;
  std::uint16_t keyCode;
  std::uint8_t pad6[2];
  std::int32_t macroIndex;
  char16_t macroName[kMacroNameChars];
  std::uint16_t eventCount;
  std::uint8_t pad54[2];
  std::int32_t repeatCount;
  std::uint32_t events[kMacroEvents];
  char16_t programPath[kProgramPathChars];
};

// One profile (26,700 bytes).
struct ProfileSlot {
  char16_t ProFileName[kProfileNameChars];
  char16_t GameFile[kGameFileChars];
  std::int32_t MediaOption;
  std::int32_t HDDKeyboard;
  std::int32_t LtSwitch;
  std::int32_t iLtPulsation;
  std::int32_t LtEffectType;
  std::int32_t Reserved1520;
  std::int32_t LtFlag;
  std::int32_t LtColor;
  std::int32_t LtControl;
  std::int32_t LtSaving;
  std::int32_t LtTimeout;
  std::int32_t PollingRate;
  std::int32_t Reserved1548;
  std::int32_t iRGBRed;
  std::int32_t iRGBGreen;
  std::int32_t iRGBBlue;
  std::int32_t iCrlSliderPos;
  std::int32_t iResponTime;
  std::int32_t ModifyKey[6];
  std::uint8_t standardkey[kKeyPositions];
  std::uint8_t pad1710[2];
  KeyAssignment MacroKeyInfo[kKeyAssignments];
  std::uint8_t GKey[8];
  std::uint8_t Reserved26680[4];
  std::uint8_t apmLightInfo[16];
};

struct SettingsRecord {
  std::int32_t CurrentProfile;
  ProfileSlot profiles[kProfileCount];
  // Trailer: change flags and device state.
  std::int32_t MacroKeyInfoChanged[kFlagEntries][kKeyAssignments];
  std::int32_t LightingChanged[kFlagEntries];
  std::int32_t CurrentProfileChanged;
  std::int32_t StandardKeyChanged[kFlagEntries];
  std::int32_t ModifyKeyChanged[kFlagEntries];
  std::int32_t ProfileImported[kFlagEntries];
  std::int32_t HddKeyboardChanged;
  std::int32_t DefaultsRestored[kFlagEntries];
  std::int32_t AdvancedChanged[kFlagEntries];
  std::int32_t KeyboardPlugIn;
};

static_assert(sizeof(char16_t) == 2);
static_assert(sizeof(KeyAssignment) == 780);
static_assert(offsetof(KeyAssignment, keyCode) == 4);
static_assert(offsetof(KeyAssignment, macroIndex) == 8);
static_assert(offsetof(KeyAssignment, macroName) == 12);
static_assert(offsetof(KeyAssignment, eventCount) == 52);
static_assert(offsetof(KeyAssignment, repeatCount) == 56);
static_assert(offsetof(KeyAssignment, events) == 60);
static_assert(offsetof(KeyAssignment, programPath) == 260);

static_assert(sizeof(ProfileSlot) == 26700);
static_assert(offsetof(ProfileSlot, GameFile) == 500);
static_assert(offsetof(ProfileSlot, MediaOption) == 1500);
static_assert(offsetof(ProfileSlot, HDDKeyboard) == 1504);
static_assert(offsetof(ProfileSlot, LtSwitch) == 1508);
static_assert(offsetof(ProfileSlot, iLtPulsation) == 1512);
static_assert(offsetof(ProfileSlot, LtEffectType) == 1516);
static_assert(offsetof(ProfileSlot, Reserved1520) == 1520);
static_assert(offsetof(ProfileSlot, LtFlag) == 1524);
static_assert(offsetof(ProfileSlot, LtColor) == 1528);
static_assert(offsetof(ProfileSlot, LtControl) == 1532);
static_assert(offsetof(ProfileSlot, LtSaving) == 1536);
static_assert(offsetof(ProfileSlot, LtTimeout) == 1540);
static_assert(offsetof(ProfileSlot, PollingRate) == 1544);
static_assert(offsetof(ProfileSlot, Reserved1548) == 1548);
static_assert(offsetof(ProfileSlot, iRGBRed) == 1552);
static_assert(offsetof(ProfileSlot, iRGBGreen) == 1556);
static_assert(offsetof(ProfileSlot, iRGBBlue) == 1560);
static_assert(offsetof(ProfileSlot, iCrlSliderPos) == 1564);
static_assert(offsetof(ProfileSlot, iResponTime) == 1568);
static_assert(offsetof(ProfileSlot, ModifyKey) == 1572);
static_assert(offsetof(ProfileSlot, standardkey) == 1596);
static_assert(offsetof(ProfileSlot, MacroKeyInfo) == 1712);
static_assert(offsetof(ProfileSlot, GKey) == 26672);
static_assert(offsetof(ProfileSlot, Reserved26680) == 26680);
static_assert(offsetof(ProfileSlot, apmLightInfo) == 26684);

static_assert(sizeof(SettingsRecord) == 107576);
static_assert(offsetof(SettingsRecord, profiles) == 4);
static_assert(offsetof(SettingsRecord, MacroKeyInfoChanged) == 106804);
static_assert(offsetof(SettingsRecord, LightingChanged) == 107444);
static_assert(offsetof(SettingsRecord, CurrentProfileChanged) == 107464);
static_assert(offsetof(SettingsRecord, StandardKeyChanged) == 107468);
static_assert(offsetof(SettingsRecord, ModifyKeyChanged) == 107488);
static_assert(offsetof(SettingsRecord, ProfileImported) == 107508);
static_assert(offsetof(SettingsRecord, HddKeyboardChanged) == 107528);
static_assert(offsetof(SettingsRecord, DefaultsRestored) == 107532);
static_assert(offsetof(SettingsRecord, AdvancedChanged) == 107552);
static_assert(offsetof(SettingsRecord, KeyboardPlugIn) == 107572);

// The slot that CurrentProfile selects. A value outside 0..3 (from a file or
// the monitor) is treated as 0, so it never selects memory outside the slots.
int ActiveProfileIndex(const SettingsRecord& record);
ProfileSlot& ActiveSlot(SettingsRecord& record);
const ProfileSlot& ActiveSlot(const SettingsRecord& record);
// Start-up step after loading: a CurrentProfile outside 0..3 becomes 0, so
// the value written back and shown is the slot actually in use.
void ClampCurrentProfile(SettingsRecord& record);

void ResetRecord(SettingsRecord& record);
void ApplyFactoryDefaults(ProfileSlot& slot, int profile);
void ApplyFactoryDefaultsAll(SettingsRecord& record);
void ScanChanges(SettingsRecord& live, const SettingsRecord& baseline);
void ClearChangeFlags(SettingsRecord& record);
void MarkAllChanged(SettingsRecord& record);
// Every flag a monitor needs to take the whole record (one that has had
// none of ours yet): all of MarkAllChanged's but DefaultsRestored.
void MarkWholeRecordChanged(SettingsRecord& record);
// Profile `profile` (0..3) was replaced from a file: every key entry, its
// lighting, key map and modifier keys are sent again and it is saved.
void MarkProfileImported(SettingsRecord& record, int profile);
// True when slot `profile` may not take another reassigned key (32 or more
// reassigned positions plus type-6 actions among entries 0..5). A profile
// outside 0..3 is read as slot 0, like CurrentProfile.
bool IsKeyMapFull(const SettingsRecord& record, int profile);

}  // namespace vantrel
