// Operations on the settings record: reset, factory defaults and the change
// flags the monitor program reads to decide what to send to the device.
// None allocates; they run on every apply.
#include "model/settings_record.h"

#include <cstring>
#include <string>

#include "model/key_codes.h"
#include "model/text.h"

namespace vantrel {
namespace {

constexpr std::uint8_t kKeyMapActionType = 6;  // action that occupies a key-map place

int BoundedProfile(int profile) { return profile >= 0 && profile < kProfileCount ? profile : 0; }

bool LightingDiffers(const ProfileSlot& a, const ProfileSlot& b) {
  return a.LtSwitch != b.LtSwitch || a.LtEffectType != b.LtEffectType || a.LtFlag != b.LtFlag ||
         a.LtColor != b.LtColor || a.LtControl != b.LtControl || a.LtSaving != b.LtSaving ||
         a.LtTimeout != b.LtTimeout;
}

bool AdvancedDiffers(const ProfileSlot& a, const ProfileSlot& b) {
  return a.PollingRate != b.PollingRate || a.iResponTime != b.iResponTime;
}

template <typename T>
bool BytesDiffer(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) != 0;
}

template <typename T, std::size_t N>
void Fill(T (&array)[N], T value) {
  for (T& v : array) v = value;
}

}  // namespace

int ActiveProfileIndex(const SettingsRecord& record) {
  return BoundedProfile(record.CurrentProfile);
}

ProfileSlot& ActiveSlot(SettingsRecord& record) {
  return record.profiles[ActiveProfileIndex(record)];
}

const ProfileSlot& ActiveSlot(const SettingsRecord& record) {
  return record.profiles[ActiveProfileIndex(record)];
}

void ClampCurrentProfile(SettingsRecord& record) {
  record.CurrentProfile = ActiveProfileIndex(record);
}

void ResetRecord(SettingsRecord& record) {
  record.CurrentProfile = -1;
  // Everything up to KeyboardPlugIn: that one field describes the device,
  // not the configuration, and survives a reset.
  std::memset(reinterpret_cast<std::uint8_t*>(&record) + offsetof(SettingsRecord, profiles), 0,
              offsetof(SettingsRecord, KeyboardPlugIn) - offsetof(SettingsRecord, profiles));
}

void ApplyFactoryDefaults(ProfileSlot& slot, int profile) {
  // Any profile number is taken (one outside 0..3 keeps the tables' values
  // out below); in 64 bits, so INT_MAX + 1 does not overflow.
  ToFixed(slot.ProFileName, u"#" + ToU16Decimal(std::int64_t{profile} + 1));
  ToFixed(slot.GameFile, u"");

  slot.MediaOption = 0;
  slot.HDDKeyboard = 1;
  slot.LtSwitch = 1;
  slot.LtFlag = 1;
  slot.LtColor = 2;

  // Each profile starts in its own lighting level and mode so the four are
  // told apart on the device.
  static constexpr std::int32_t kPulsation[kProfileCount] = {2, 3, 4, 5};
  static constexpr std::int32_t kEffect[kProfileCount] = {1, 2, 3, 1};
  if (profile >= 0 && profile < kProfileCount) {
    slot.iLtPulsation = kPulsation[profile];
    slot.LtEffectType = kEffect[profile];
  }

  slot.iRGBRed = 255;
  slot.iRGBGreen = 0;
  slot.iRGBBlue = 0;

  slot.iCrlSliderPos = 1530;
  slot.LtControl = 4;
  slot.LtSaving = 50;
  slot.LtTimeout = 15;
  slot.PollingRate = 1;
  slot.iResponTime = 2;
  Fill(slot.ModifyKey, 1);

  std::memcpy(slot.standardkey, FactoryKeyMap.data(), sizeof slot.standardkey);
  for (int i = 0; i < 8; ++i) slot.GKey[i] = static_cast<std::uint8_t>(0x3A + i);  // F1..F8

  // Entries 0..5 default to Ctrl+1 .. Ctrl+6.
  std::memset(slot.MacroKeyInfo, 0, sizeof slot.MacroKeyInfo);
  for (int k = 0; k < 6; ++k) {
    KeyAssignment& entry = slot.MacroKeyInfo[k];
    entry.entryIndex = static_cast<std::uint8_t>(k);
    entry.actionType = 2;  // key combination
    entry.modifiers = 1;   // Ctrl
    entry.keyCode = static_cast<std::uint16_t>(0x1E + k);
  }
}

void ApplyFactoryDefaultsAll(SettingsRecord& record) {
  for (int p = 0; p < kProfileCount; ++p) ApplyFactoryDefaults(record.profiles[p], p);
}

void ScanChanges(SettingsRecord& live, const SettingsRecord& baseline) {
  // Every flag below is rewritten, entry 4 (no slot) and DefaultsRestored as 0.
  live.CurrentProfileChanged = live.CurrentProfile != baseline.CurrentProfile ? 1 : 0;
  live.HddKeyboardChanged = 0;
  for (int p = 0; p < kFlagEntries; ++p) {
    live.LightingChanged[p] = 0;
    live.StandardKeyChanged[p] = 0;
    live.ModifyKeyChanged[p] = 0;
    live.DefaultsRestored[p] = 0;
    live.AdvancedChanged[p] = 0;
    Fill(live.MacroKeyInfoChanged[p], 0);
  }
  for (int p = 0; p < kProfileCount; ++p) {
    const ProfileSlot& now = live.profiles[p];
    const ProfileSlot& then = baseline.profiles[p];
    if (now.HDDKeyboard != then.HDDKeyboard) live.HddKeyboardChanged = 1;
    live.StandardKeyChanged[p] = BytesDiffer(now.standardkey, then.standardkey);
    live.ModifyKeyChanged[p] = BytesDiffer(now.ModifyKey, then.ModifyKey);
    for (int k = 0; k < kKeyAssignments; ++k)
      live.MacroKeyInfoChanged[p][k] = BytesDiffer(now.MacroKeyInfo[k], then.MacroKeyInfo[k]);
    live.LightingChanged[p] = LightingDiffers(now, then);
    live.AdvancedChanged[p] = AdvancedDiffers(now, then);
  }
}

void ClearChangeFlags(SettingsRecord& record) {
  // HddKeyboardChanged stays: the monitor clears it once the device took the
  // option, and a scan recomputes it anyway.
  for (int p = 0; p < kFlagEntries; ++p) {
    Fill(record.MacroKeyInfoChanged[p], 0);
    record.LightingChanged[p] = 0;
    record.StandardKeyChanged[p] = 0;
    record.ModifyKeyChanged[p] = 0;
    record.ProfileImported[p] = 0;
    record.DefaultsRestored[p] = 0;
    record.AdvancedChanged[p] = 0;
  }
  record.CurrentProfileChanged = 0;
}

void MarkAllChanged(SettingsRecord& record) {
  for (int p = 0; p < kFlagEntries; ++p) {
    Fill(record.MacroKeyInfoChanged[p], 1);
    record.LightingChanged[p] = 1;
    record.StandardKeyChanged[p] = 1;
    record.DefaultsRestored[p] = 1;
    record.AdvancedChanged[p] = 1;
    record.ModifyKeyChanged[p] = 1;
  }
  record.CurrentProfileChanged = 1;
}

void MarkProfileImported(SettingsRecord& record, int profile) {
  const int p = BoundedProfile(profile);
  Fill(record.MacroKeyInfoChanged[p], 1);
  record.LightingChanged[p] = 1;
  record.StandardKeyChanged[p] = 1;
  record.ModifyKeyChanged[p] = 1;
  record.ProfileImported[p] = 1;
}

void MarkWholeRecordChanged(SettingsRecord& record) {
  std::int32_t restored[kFlagEntries];
  std::memcpy(restored, record.DefaultsRestored, sizeof restored);
  MarkAllChanged(record);
  std::memcpy(record.DefaultsRestored, restored, sizeof restored);
}

bool IsKeyMapFull(const SettingsRecord& record, int profile) {
  const ProfileSlot& slot = record.profiles[BoundedProfile(profile)];
  int used = 0;
  for (int k = 0; k < 6; ++k)
    if (slot.MacroKeyInfo[k].actionType == kKeyMapActionType) ++used;
  for (int i = 0; i < kKeyPositions; ++i)
    if (slot.standardkey[i] != FactoryKeyMap[i]) ++used;
  return used >= 32;
}

}  // namespace vantrel
