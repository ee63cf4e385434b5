// Loading and saving the settings record as config.ini plus four profile
// files. The key names, their order and the value forms are shared with the
// monitor program and with exported profile files, so they never change.
#include "model/profile_store.h"

#include <span>
#include <string>

#include "model/text.h"

namespace vantrel {
namespace {

constexpr std::u16string_view kSetting = u"Setting";

// The integer keys of a profile file, in the order they are written.
struct IntField {
  std::u16string_view key;
  std::int32_t ProfileSlot::*field;
};
constexpr IntField kIntFields[] = {
    {u"MediaOption", &ProfileSlot::MediaOption},
    {u"HDDKeyboard", &ProfileSlot::HDDKeyboard},
    {u"LtSwitch", &ProfileSlot::LtSwitch},
    {u"LtEffectType", &ProfileSlot::LtEffectType},
    {u"LtFlag", &ProfileSlot::LtFlag},
    {u"iRGBRed", &ProfileSlot::iRGBRed},
    {u"iRGBGreen", &ProfileSlot::iRGBGreen},
    {u"iRGBBlue", &ProfileSlot::iRGBBlue},
    {u"iCrlSliderPos", &ProfileSlot::iCrlSliderPos},
    {u"iResponTime", &ProfileSlot::iResponTime},
    {u"iLtPulsation", &ProfileSlot::iLtPulsation},
    {u"LtColor", &ProfileSlot::LtColor},
    {u"LtControl", &ProfileSlot::LtControl},
    {u"LtSaving", &ProfileSlot::LtSaving},
    {u"LtTimeout", &ProfileSlot::LtTimeout},
    {u"PollingRate", &ProfileSlot::PollingRate},
};

std::u16string Numbered(std::u16string_view prefix, int n) {
  return std::u16string(prefix) + ToU16Decimal(n);
}

template <typename T>
std::span<std::uint8_t> BytesOf(T& value) {
  return {reinterpret_cast<std::uint8_t*>(&value), sizeof(T)};
}
template <typename T>
std::span<const std::uint8_t> BytesOf(const T& value) {
  return {reinterpret_cast<const std::uint8_t*>(&value), sizeof(T)};
}

void ReadText(const IniFile& ini, std::u16string_view section, std::u16string_view key,
              char16_t* array, std::size_t capacity) {
  // The read is cut to the array, which then always ends with a NUL.
  ToFixed(array, capacity, ini.ReadString(section, key, u"", capacity));
}

template <std::size_t N>
void WriteText(IniFile& ini, std::u16string_view section, std::u16string_view key,
               const char16_t (&array)[N]) {
  // IniFile keeps only the first line of a text, so a line break in a
  // name cannot inject a key.
  ini.WriteString(section, key, FromFixed(array));
}

// False only when the value is there but unreadable: a missing key is the
// normal case of a sparse file, a bad value the sign of a damaged one.
bool ReadStructField(const IniFile& ini, std::u16string_view section, std::u16string_view key,
                     std::span<std::uint8_t> out) {
  return ini.ReadStruct(section, key, out) || !ini.Find(section, key);
}

bool Saved(IniSaveResult result) { return result == IniSaveResult::Ok; }

}  // namespace

ProfilePaths ProfilePaths::ForAppData(std::u16string_view appdata) {
  if (appdata.empty()) return {};
  std::filesystem::path dir = std::u16string(appdata);
  dir /= u"Vantrel";
  dir /= u"";  // trailing separator, like DataDirectory
  return {dir};
}

std::filesystem::path ProfilePaths::config_file() const { return data_dir / u"config.ini"; }

std::filesystem::path ProfilePaths::config_dir() const { return data_dir / u"config" / u""; }

std::filesystem::path ProfilePaths::profile_file(int p) const {
  return data_dir / u"config" / (Numbered(u"Default", p) + u".gkp");
}

bool ReadProfileSection(ProfileSlot& slot, const IniFile& ini, std::u16string_view section) {
  ReadText(ini, section, u"ProFileName", slot.ProFileName, kProfileNameChars);
  ReadText(ini, section, u"GameFile", slot.GameFile, kGameFileChars);
  for (const IntField& f : kIntFields) slot.*f.field = ini.ReadInt(section, f.key, -1);
  for (int i = 0; i < 6; ++i)
    slot.ModifyKey[i] = ini.ReadInt(section, Numbered(u"ModifyKey", i), -1);
  // A struct value that is missing or malformed leaves the field as it was.
  bool readable = ReadStructField(ini, section, u"standardkey", BytesOf(slot.standardkey));
  readable = ReadStructField(ini, section, u"GKey", BytesOf(slot.GKey)) && readable;
  for (int k = 0; k < kKeyAssignments; ++k) {
    readable = ReadStructField(ini, section, Numbered(u"MacroKeyInfo", k),
                               BytesOf(slot.MacroKeyInfo[k])) &&
               readable;
  }
  return ReadStructField(ini, section, u"apmLightInfo", BytesOf(slot.apmLightInfo)) && readable;
}

void WriteProfileSection(const ProfileSlot& slot, IniFile& ini, std::u16string_view section) {
  WriteText(ini, section, u"ProFileName", slot.ProFileName);
  WriteText(ini, section, u"GameFile", slot.GameFile);
  for (const IntField& f : kIntFields) ini.WriteInt(section, f.key, slot.*f.field);
  for (int i = 0; i < 6; ++i) ini.WriteInt(section, Numbered(u"ModifyKey", i), slot.ModifyKey[i]);
  ini.WriteStruct(section, u"standardkey", BytesOf(slot.standardkey));
  ini.WriteStruct(section, u"GKey", BytesOf(slot.GKey));
  for (int k = 0; k < kKeyAssignments; ++k)
    ini.WriteStruct(section, Numbered(u"MacroKeyInfo", k), BytesOf(slot.MacroKeyInfo[k]));
  ini.WriteStruct(section, u"apmLightInfo", BytesOf(slot.apmLightInfo));
}

void LoadProfileFile(ProfileSlot& slot, const std::filesystem::path& path) {
  IniFile ini(path);
  ini.Load();
  ReadProfileSection(slot, ini);
}

bool SaveProfileFile(const ProfileSlot& slot, const std::filesystem::path& path, bool flush) {
  // Updated in place: keys other tools added, and the file's own order,
  // survive; keys the file lacks are added at the end of the section.
  IniFile ini(path);
  ini.Load();
  WriteProfileSection(slot, ini);
  return Saved(ini.Save(flush));
}

bool ReplaceProfileFile(const ProfileSlot& slot, const std::filesystem::path& path, bool flush) {
  // Never loaded: the document holds our keys only, and the atomic save
  // leaves the old file in place until the new one is complete.
  IniFile ini(path);
  WriteProfileSection(slot, ini);
  return Saved(ini.Save(flush));
}

bool LoadAllProfiles(SettingsRecord& record, const ProfilePaths& paths, bool flush) {
  IniFile config(paths.config_file());
  config.Load();
  record.CurrentProfile = config.ReadInt(kSetting, u"CurrentProfile", -1);
  record.KeyboardPlugIn = config.ReadInt(kSetting, u"KeyboardPlugIn", -1);
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileSlot& slot = record.profiles[p];
    IniFile profile(paths.profile_file(p));
    if (!profile.Load()) {
      ApplyFactoryDefaults(slot, p);
      continue;
    }
    ReadProfileSection(slot, profile);
    // The monitor program reads this copy of the slot as it was loaded.
    const std::u16string name = Numbered(u"Default", p);
    config.WriteStruct(name, name, BytesOf(slot));
  }
  config.Save(flush);
  return true;
}

bool SaveAllProfiles(const SettingsRecord& record, const ProfilePaths& paths, bool flush) {
  IniFile config(paths.config_file());
  config.Load();
  config.WriteInt(kSetting, u"CurrentProfile", record.CurrentProfile);
  config.WriteInt(kSetting, u"KeyboardPlugIn", record.KeyboardPlugIn);
  bool ok = Saved(config.Save(flush));
  for (int p = 0; p < kProfileCount; ++p)
    ok = SaveProfileFile(record.profiles[p], paths.profile_file(p), flush) && ok;
  return ok;
}

bool RecordExportName(const ProfilePaths& paths, int p, std::u16string_view name) {
  IniFile config(paths.config_file());
  config.Load();
  config.WriteString(Numbered(u"Profile", p + 1), u"FileName", name);
  return Saved(config.Save());
}

}  // namespace vantrel
