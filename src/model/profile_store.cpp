// Loading and saving the settings record as config.ini plus four profile
// files. The key names, their order and the value forms are shared with the
// monitor program and with exported profile files, so they never change.
#include "model/profile_store.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>
#include <string>

#include "model/key_codes.h"
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

// A profile file counts as one when it holds either of these keys (the
// rule import follows too).
constexpr std::initializer_list<std::u16string_view> kProfileKeys = {u"PollingRate",
                                                                     u"iResponTime"};

// What a slot holds when its file gave nothing: zeros, then the defaults.
std::unique_ptr<ProfileSlot> FactorySlot(int p) {
  auto slot = std::make_unique<ProfileSlot>();
  std::memset(slot.get(), 0, sizeof(ProfileSlot));
  ApplyFactoryDefaults(*slot, p);
  return slot;
}

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

std::filesystem::path ProfilePaths::last_good(const std::filesystem::path& stored) const {
  return data_dir / u"backup" / stored.filename();
}

bool ProfilePaths::IsStoredProfileFile(const std::filesystem::path& path) const {
  std::error_code ec;
  const std::filesystem::path chosen = std::filesystem::weakly_canonical(path, ec);
  for (int p = 0; p < kProfileCount; ++p) {
    const std::filesystem::path stored = std::filesystem::weakly_canonical(profile_file(p), ec);
    if (EqualsNoCase(chosen.u16string(), stored.u16string())) return true;
  }
  return false;
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

bool SaveProfileFile(const ProfileSlot& slot, const std::filesystem::path& path, bool flush,
                     const std::filesystem::path& keep_previous) {
  // Updated in place: keys other tools added, and the file's own order,
  // survive; keys the file lacks are added at the end of the section.
  IniFile ini(path);
  ini.Load();
  WriteProfileSection(slot, ini);
  return Saved(ini.Save(flush, keep_previous));
}

bool ReplaceProfileFile(const ProfileSlot& slot, const std::filesystem::path& path, bool flush) {
  // Never loaded: the document holds our keys only, and the atomic save
  // leaves the old file in place until the new one is complete.
  IniFile ini(path);
  WriteProfileSection(slot, ini);
  return Saved(ini.Save(flush));
}

bool LoadAllProfiles(SettingsRecord& record, const ProfilePaths& paths, bool flush,
                     ProfileLoadReport* report) {
  ProfileLoadReport found;
  IniFile config(paths.config_file());
  found.config =
      LoadStoredFile(config, paths.last_good(paths.config_file()), kSetting, {u"CurrentProfile"});
  record.CurrentProfile = config.ReadInt(kSetting, u"CurrentProfile", -1);
  record.KeyboardPlugIn = config.ReadInt(kSetting, u"KeyboardPlugIn", -1);
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileSlot& slot = record.profiles[p];
    const std::filesystem::path file = paths.profile_file(p);
    IniFile profile(file);
    found.profiles[p] = LoadStoredFile(profile, paths.last_good(file), kSetting, kProfileKeys);
    if (found.profiles[p] == StoredFile::Missing || found.profiles[p] == StoredFile::Unreadable) {
      slot = *FactorySlot(p);
      continue;
    }
    ReadProfileSection(slot, profile);
    if (!profile.ReadStruct(kSetting, u"standardkey", BytesOf(slot.standardkey))) {
      // A key map of zeros would make every key send nothing, and it would
      // count as 114 changed keys, so the page would refuse every edit.
      std::copy(FactoryKeyMap.begin(), FactoryKeyMap.end(), slot.standardkey);
      IniFile good(paths.last_good(file));
      if (good.Load()) good.ReadStruct(kSetting, u"standardkey", BytesOf(slot.standardkey));
      found.key_map_repaired[p] = true;
    }
    // The monitor program reads this copy of the slot as it was loaded.
    const std::u16string name = Numbered(u"Default", p);
    config.WriteStruct(name, name, BytesOf(slot));
  }
  config.Save(flush, paths.last_good(paths.config_file()));
  if (report) *report = found;
  return true;
}

bool SaveAllProfiles(const SettingsRecord& record, const ProfilePaths& paths, bool flush,
                     ProfileSaveReport* report) {
  std::vector<std::filesystem::path> failed;
  IniFile config(paths.config_file());
  config.Load();
  config.WriteInt(kSetting, u"CurrentProfile", record.CurrentProfile);
  config.WriteInt(kSetting, u"KeyboardPlugIn", record.KeyboardPlugIn);
  if (!Saved(config.Save(flush, paths.last_good(paths.config_file()))))
    failed.push_back(paths.config_file());
  for (int p = 0; p < kProfileCount; ++p) {
    const ProfileSlot& slot = record.profiles[p];
    if (report && report->unread[p]) {
      // What its file holds was never read: the defaults shown in its place
      // must not replace it. Once the user made the slot their own, it is
      // written (an update in place, which again refuses an unreadable file).
      if (std::memcmp(&slot, FactorySlot(p).get(), sizeof(ProfileSlot)) == 0) continue;
    }
    const std::filesystem::path file = paths.profile_file(p);
    if (!SaveProfileFile(slot, file, flush, paths.last_good(file))) {
      failed.push_back(file);
    } else if (report) {
      report->unread[p] = false;
    }
  }
  if (report) report->failed = failed;
  return failed.empty();
}

bool RecordExportName(const ProfilePaths& paths, int p, std::u16string_view name) {
  IniFile config(paths.config_file());
  config.Load();
  config.WriteString(Numbered(u"Profile", p + 1), u"FileName", name);
  return Saved(config.Save());
}

}  // namespace vantrel
