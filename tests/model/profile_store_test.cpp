#include "model/profile_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/key_codes.h"
#include "model/text.h"
#include "scratch_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

fs::path ScratchDir() { return test::ScratchDir("store"); }

void WriteBytes(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// The file's text whatever encoding the INI layer chose.
std::u16string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE') {
    std::u16string out;
    for (std::size_t i = 2; i + 1 < b.size(); i += 2)
      out.push_back(char16_t(std::uint8_t(b[i]) | std::uint8_t(b[i + 1]) << 8));
    return out;
  }
  if (b.rfind("\xEF\xBB\xBF", 0) == 0) return Utf8ToU16(b.substr(3));
  return std::u16string(b.begin(), b.end());
}

// Key names of one section, in file order.
std::vector<std::u16string> KeysOf(const fs::path& path, std::u16string_view section) {
  std::u16string text = ReadText(path);
  std::vector<std::u16string> keys;
  bool inside = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(u'\n', pos);
    if (end == std::u16string::npos) end = text.size();
    std::u16string_view line = Trim(std::u16string_view(text).substr(pos, end - pos));
    pos = end + 1;
    if (!line.empty() && line.front() == u'[') {
      inside = EqualsNoCaseAscii(line.substr(1, line.find(u']') - 1), section);
    } else if (inside && line.find(u'=') != std::u16string_view::npos) {
      keys.emplace_back(Trim(line.substr(0, line.find(u'='))));
    }
  }
  return keys;
}

std::vector<std::u16string> TableKeys() {
  std::vector<std::u16string> keys = {
      u"ProFileName",   u"GameFile",    u"MediaOption",  u"HDDKeyboard", u"LtSwitch",
      u"LtEffectType",  u"LtFlag",      u"iRGBRed",      u"iRGBGreen",   u"iRGBBlue",
      u"iCrlSliderPos", u"iResponTime", u"iLtPulsation", u"LtColor",     u"LtControl",
      u"LtSaving",      u"LtTimeout",   u"PollingRate"};
  for (int i = 0; i < 6; ++i) keys.push_back(u"ModifyKey" + ToU16Decimal(i));
  keys.push_back(u"standardkey");
  keys.push_back(u"GKey");
  for (int i = 0; i < 32; ++i) keys.push_back(u"MacroKeyInfo" + ToU16Decimal(i));
  keys.push_back(u"apmLightInfo");
  return keys;
}

std::unique_ptr<SettingsRecord> FactoryRecord() {
  auto r = std::make_unique<SettingsRecord>();
  ResetRecord(*r);
  ApplyFactoryDefaultsAll(*r);
  return r;
}

// Distinctive values in every stored field; reserved fields and padding
// stay zero because profile files do not carry them.
std::unique_ptr<SettingsRecord> BusyRecord() {
  auto r = FactoryRecord();
  r->CurrentProfile = 3;
  r->KeyboardPlugIn = 1;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileSlot& s = r->profiles[p];
    ToFixed(s.ProFileName, u"Profil \u00E9t\u00E9 \u4E2D " + ToU16Decimal(p));
    ToFixed(s.GameFile, u"C:\\Games\\Spiel " + ToU16Decimal(p) + u"\\run.exe");
    s.MediaOption = -1;
    s.HDDKeyboard = p;
    s.LtEffectType = 5;
    s.iRGBGreen = 128 + p;
    s.PollingRate = 2;
    s.iResponTime = 8;
    s.ModifyKey[5] = -2147483647 - 1;
    s.standardkey[0] = 0xE7;
    s.standardkey[113] = 0x04;
    for (int k = 0; k < kKeyAssignments; ++k) {
      KeyAssignment& e = s.MacroKeyInfo[k];
      e.entryIndex = std::uint8_t(k);
      e.actionType = std::uint8_t(1 + k % 7);
      e.macroIndex = k * 3 + p;
      ToFixed(e.macroName, u"macro" + ToU16Decimal(k));
      e.eventCount = 50;
      for (int i = 0; i < kMacroEvents; ++i) e.events[i] = 0xFFFFFF00u + i;
      ToFixed(e.programPath, u"C:\\x\\\u00FC" + ToU16Decimal(k) + u".exe");
    }
    s.GKey[7] = 0x99;
    for (int i = 0; i < 16; ++i) s.apmLightInfo[i] = std::uint8_t(0xF0 + i);
  }
  return r;
}

bool SameSlot(const ProfileSlot& a, const ProfileSlot& b) {
  return std::memcmp(&a, &b, sizeof(ProfileSlot)) == 0;
}

TEST(ProfileStore, Paths) {
  ProfilePaths paths = ProfilePaths::ForAppData(u"/home/u/AppData");
  EXPECT_EQ(paths.config_file(), fs::path("/home/u/AppData/Vantrel/config.ini"));
  EXPECT_EQ(paths.profile_file(2), fs::path("/home/u/AppData/Vantrel/config/Default2.gkp"));
  EXPECT_EQ(ProfilePaths::ForAppData(u"").config_file(), fs::path("config.ini"));
}

TEST(ProfileStore, RoundTripOfFourProfiles) {
  ProfilePaths paths{ScratchDir() / "Vantrel" / ""};
  auto saved = BusyRecord();
  ASSERT_TRUE(SaveAllProfiles(*saved, paths));
  auto loaded = std::make_unique<SettingsRecord>();
  ResetRecord(*loaded);
  ASSERT_TRUE(LoadAllProfiles(*loaded, paths));
  EXPECT_EQ(loaded->CurrentProfile, 3);
  EXPECT_EQ(loaded->KeyboardPlugIn, 1);
  for (int p = 0; p < kProfileCount; ++p)
    EXPECT_TRUE(SameSlot(loaded->profiles[p], saved->profiles[p])) << p;

  // config.ini now holds each loaded slot as a 53,402-character struct value.
  IniFile config(paths.config_file());
  ASSERT_TRUE(config.Load());
  for (int p = 0; p < kProfileCount; ++p) {
    std::u16string name = u"Default" + ToU16Decimal(p);
    auto value = config.Find(name, name);
    ASSERT_TRUE(value.has_value()) << p;
    EXPECT_EQ(value->size(), 53402u);
    auto copy = std::make_unique<ProfileSlot>();
    ASSERT_TRUE(DecodeStructValue(
        *value, {reinterpret_cast<std::uint8_t*>(copy.get()), sizeof(ProfileSlot)}));
    EXPECT_TRUE(SameSlot(*copy, saved->profiles[p])) << p;
  }
  EXPECT_EQ(config.ReadString(u"Setting", u"CurrentProfile", u""), u"3");
}

TEST(ProfileStore, EmptyFolderGivesFactoryDefaultsAndWritesNothing) {
  ProfilePaths paths{ScratchDir() / ""};
  auto loaded = std::make_unique<SettingsRecord>();
  ResetRecord(*loaded);
  EXPECT_TRUE(LoadAllProfiles(*loaded, paths));
  auto factory = FactoryRecord();
  for (int p = 0; p < kProfileCount; ++p)
    EXPECT_TRUE(SameSlot(loaded->profiles[p], factory->profiles[p]));
  EXPECT_EQ(loaded->CurrentProfile, -1);
  EXPECT_EQ(loaded->KeyboardPlugIn, -1);
  EXPECT_FALSE(fs::exists(paths.config_file()));
}

TEST(ProfileStore, OnlyOneSlotFileGetsItsConfigCopy) {
  ProfilePaths paths{ScratchDir() / ""};
  WriteBytes(paths.profile_file(2), "[Setting]\r\nPollingRate=2\r\n");
  WriteBytes(paths.config_file(), "[Setting]\r\nCurrentProfile=7\r\nKeyboardPlugIn=0\r\n");
  auto r = FactoryRecord();
  LoadAllProfiles(*r, paths);
  EXPECT_EQ(r->CurrentProfile, 7);              // kept as it came ...
  EXPECT_EQ(&ActiveSlot(*r), &r->profiles[0]);  // ... but never used past the slots
  EXPECT_EQ(r->KeyboardPlugIn, 0);
  IniFile config(paths.config_file());
  config.Load();
  EXPECT_FALSE(config.Find(u"Default0", u"Default0").has_value());
  EXPECT_TRUE(config.Find(u"Default2", u"Default2").has_value());
  EXPECT_EQ(r->profiles[2].PollingRate, 2);
  EXPECT_EQ(r->profiles[3].PollingRate, 1);
}

TEST(ProfileStore, MissingKeysGiveMinusOneAndEmptyText) {
  fs::path file = ScratchDir() / "only.gkp";
  WriteBytes(file, "[Setting]\r\nPollingRate=2\r\n");
  auto r = BusyRecord();
  const ProfileSlot before = r->profiles[1];
  ProfileSlot& s = r->profiles[1];
  LoadProfileFile(s, file);
  EXPECT_EQ(s.PollingRate, 2);
  for (std::int32_t v : {s.MediaOption, s.HDDKeyboard, s.LtSwitch, s.LtEffectType, s.LtFlag,
                         s.iRGBRed, s.iRGBGreen, s.iRGBBlue, s.iCrlSliderPos, s.iResponTime,
                         s.iLtPulsation, s.LtColor, s.LtControl, s.LtSaving, s.LtTimeout})
    EXPECT_EQ(v, -1);
  for (std::int32_t v : s.ModifyKey) EXPECT_EQ(v, -1);
  EXPECT_EQ(FromFixed(s.ProFileName), u"");
  EXPECT_EQ(FromFixed(s.GameFile), u"");
  EXPECT_EQ(std::memcmp(s.standardkey, before.standardkey, sizeof s.standardkey), 0);
  EXPECT_EQ(std::memcmp(s.GKey, before.GKey, sizeof s.GKey), 0);
  EXPECT_EQ(std::memcmp(s.MacroKeyInfo, before.MacroKeyInfo, sizeof s.MacroKeyInfo), 0);
  EXPECT_EQ(std::memcmp(s.apmLightInfo, before.apmLightInfo, sizeof s.apmLightInfo), 0);
}

TEST(ProfileStore, MalformedStructValuesLeaveTheField) {
  fs::path dir = ScratchDir();
  auto good = FactoryRecord();
  good->profiles[0].standardkey[3] = 0x05;
  SaveProfileFile(good->profiles[0], dir / "good.gkp");
  IniFile parsed(dir / "good.gkp");
  parsed.Load();
  const std::u16string value = *parsed.Find(u"Setting", u"standardkey");
  ASSERT_EQ(value.size(), 230u);

  std::u16string digit_changed = value;
  digit_changed[10] = digit_changed[10] == u'0' ? u'1' : u'0';
  std::u16string checksum_changed = value;
  checksum_changed[229] = checksum_changed[229] == u'0' ? u'1' : u'0';
  const std::u16string bad[] = {digit_changed,
                                checksum_changed,
                                value.substr(0, 228),
                                value + u"00",
                                u"G" + value.substr(1),
                                u"",
                                value.substr(0, 100) + u" " + value.substr(101)};
  for (const std::u16string& v : bad) {
    IniFile ini;
    ini.WriteString(u"Setting", u"standardkey", v);
    auto r = FactoryRecord();
    EXPECT_FALSE(ReadProfileSection(r->profiles[0], ini)) << "a bad value is reported";
    EXPECT_EQ(std::memcmp(r->profiles[0].standardkey, FactoryKeyMap.data(), 114), 0)
        << U16ToUtf8(v);
  }
  IniFile ini;
  ini.WriteString(u"Setting", u"standardkey", value);
  auto r = FactoryRecord();
  EXPECT_TRUE(ReadProfileSection(r->profiles[0], ini)) << "missing values are not bad ones";
  EXPECT_EQ(r->profiles[0].standardkey[3], 0x05);
}

TEST(ProfileStore, NamesMatchWithoutRegardToCase) {
  fs::path file = ScratchDir() / "case.gkp";
  auto source = FactoryRecord();
  source->profiles[0].standardkey[0] = 0x04;
  IniFile encoder;
  encoder.WriteStruct(u"x", u"y", {source->profiles[0].standardkey, 114});
  std::string hex = U16ToUtf8(*encoder.Find(u"x", u"y"));
  WriteBytes(file, "[SETTING]\r\npollingrate=2\r\nPROFILENAME=Abc\r\nstandardKey=" + hex + "\r\n");
  auto r = FactoryRecord();
  LoadProfileFile(r->profiles[0], file);
  EXPECT_EQ(r->profiles[0].PollingRate, 2);
  EXPECT_EQ(FromFixed(r->profiles[0].ProFileName), u"Abc");
  EXPECT_EQ(r->profiles[0].standardkey[0], 0x04);
}

TEST(ProfileStore, NewFileListsKeysInTableOrder) {
  fs::path file = ScratchDir() / "config" / "Default0.gkp";
  auto r = FactoryRecord();
  r->profiles[0].PollingRate = -1;
  ASSERT_TRUE(SaveProfileFile(r->profiles[0], file));
  EXPECT_EQ(KeysOf(file, u"Setting"), TableKeys());
  IniFile ini(file);
  ini.Load();
  EXPECT_EQ(ini.Find(u"Setting", u"ProFileName"), u"#1");
  EXPECT_EQ(ini.Find(u"Setting", u"PollingRate"), u"-1");
  EXPECT_EQ(ini.Find(u"Setting", u"GKey"), u"3A3B3C3D3E3F4041EC");
  EXPECT_EQ(ini.Find(u"Setting", u"MacroKeyInfo7")->size(), 1562u);
  EXPECT_EQ(ini.Find(u"Setting", u"apmLightInfo")->size(), 34u);
}

TEST(ProfileStore, ExistingFileKeepsItsOrderAndGainsMissingKeysAtTheEnd) {
  fs::path file = ScratchDir() / "old.gkp";
  WriteBytes(file,
             "[Other]\r\na=1\r\n[Setting]\r\nPollingRate=1\r\nVendorKey=keep me\r\n"
             "ProFileName=old\r\n[Tail]\r\nb=2\r\n");
  auto r = FactoryRecord();
  ToFixed(r->profiles[0].ProFileName, u"new");
  r->profiles[0].PollingRate = 2;
  ASSERT_TRUE(SaveProfileFile(r->profiles[0], file));

  std::vector<std::u16string> expected = {u"PollingRate", u"VendorKey", u"ProFileName"};
  for (const std::u16string& key : TableKeys())
    if (key != u"PollingRate" && key != u"ProFileName") expected.push_back(key);
  EXPECT_EQ(KeysOf(file, u"Setting"), expected);
  IniFile ini(file);
  ini.Load();
  EXPECT_EQ(ini.Find(u"Setting", u"VendorKey"), u"keep me");
  EXPECT_EQ(ini.Find(u"Setting", u"ProFileName"), u"new");
  EXPECT_EQ(ini.Find(u"Setting", u"PollingRate"), u"2");
  EXPECT_EQ(ini.Find(u"Other", u"a"), u"1");
  EXPECT_EQ(ini.Find(u"Tail", u"b"), u"2");
}

TEST(ProfileStore, SavingCreatesTheDataAndConfigFolders) {
  ProfilePaths paths{ScratchDir() / "deep" / "AppData" / "Vantrel" / ""};
  auto r = FactoryRecord();
  r->CurrentProfile = 1;
  EXPECT_TRUE(SaveAllProfiles(*r, paths));
  EXPECT_TRUE(fs::exists(paths.config_file()));
  for (int p = 0; p < kProfileCount; ++p) EXPECT_TRUE(fs::exists(paths.profile_file(p))) << p;
  EXPECT_TRUE(RecordExportName(paths, 2, u"MyExport"));
  IniFile config(paths.config_file());
  config.Load();
  EXPECT_EQ(config.Find(u"Profile3", u"FileName"), u"MyExport");
  EXPECT_EQ(config.Find(u"Setting", u"CurrentProfile"), u"1");
  EXPECT_EQ(config.Find(u"Setting", u"KeyboardPlugIn"), u"0");
}

TEST(ProfileStore, SaveFailureIsReportedAndHarmless) {
  fs::path dir = ScratchDir();
  WriteBytes(dir / "blocker", "not a folder");
  ProfilePaths paths{dir / "blocker" / ""};
  auto r = FactoryRecord();
  EXPECT_FALSE(SaveAllProfiles(*r, paths));
  auto loaded = FactoryRecord();
  EXPECT_TRUE(LoadAllProfiles(*loaded, paths));
}

// A stored file found empty or without its section comes back from its
// last good copy; a damaged key map comes from that copy, or else is the
// factory map, never zeros.
TEST(ProfileStore, DamagedFilesComeBackFromTheirLastGoodCopy) {
  ProfilePaths paths{ScratchDir() / ""};
  auto busy = BusyRecord();
  ASSERT_TRUE(SaveAllProfiles(*busy, paths));
  auto first = FactoryRecord();
  LoadAllProfiles(*first, paths);
  ASSERT_TRUE(fs::exists(paths.last_good(paths.profile_file(0)))) << "made on the first load";
  busy->profiles[2].PollingRate = 1;
  ASSERT_TRUE(SaveAllProfiles(*busy, paths));
  WriteBytes(paths.profile_file(0), "");
  WriteBytes(paths.profile_file(1), "[Other]\r\nx=1\r\n");
  IniFile key_lost(paths.profile_file(2));
  key_lost.Load();
  key_lost.WriteString(u"Setting", u"standardkey", u"0102");  // wrong length
  ASSERT_EQ(key_lost.Save(), IniSaveResult::Ok);
  IniFile no_copy(paths.profile_file(3));
  no_copy.Load();
  no_copy.DeleteKey(u"Setting", u"standardkey");
  ASSERT_EQ(no_copy.Save(), IniSaveResult::Ok);
  fs::remove(paths.last_good(paths.profile_file(3)));

  auto loaded = FactoryRecord();
  ProfileLoadReport report;
  LoadAllProfiles(*loaded, paths, true, &report);
  const StoredFile want[] = {StoredFile::Restored, StoredFile::Restored, StoredFile::Read,
                             StoredFile::Read};
  for (int p = 0; p < kProfileCount; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(report.profiles[p], want[p]);
    EXPECT_EQ(report.key_map_repaired[p], p >= 2);
  }
  EXPECT_TRUE(SameSlot(loaded->profiles[0], busy->profiles[0]));
  EXPECT_EQ(loaded->profiles[2].standardkey[0], 0xE7) << "from the last good copy";
  EXPECT_EQ(loaded->profiles[2].PollingRate, 1) << "the rest as the file has it";
  EXPECT_EQ(std::memcmp(loaded->profiles[3].standardkey, FactoryKeyMap.data(), kKeyPositions), 0);
}

// A profile file that could not be read is never replaced by the defaults
// shown in its place; once the user changes that slot it is saved (and,
// the file still unreadable, the save fails and says which file).
TEST(ProfileStore, AnUnreadSlotIsWrittenOnlyOnceTheUserChangedIt) {
  ProfilePaths paths{ScratchDir() / ""};
  auto busy = BusyRecord();
  ASSERT_TRUE(SaveAllProfiles(*busy, paths));
  const std::string held = "[Setting]\r\nPollingRate=2\r\nmine=1\r\n";
  WriteBytes(paths.profile_file(1), held);
  static fs::path unreadable;
  unreadable = paths.profile_file(1);
  SetReadFileFunction([](const fs::path& path, std::vector<std::uint8_t>& out) {
    if (path == unreadable) return false;
    std::ifstream in(path, std::ios::binary);
    out.assign(std::istreambuf_iterator<char>(in), {});
    return bool(in) || in.eof();
  });
  auto loaded = FactoryRecord();
  ProfileLoadReport found;
  LoadAllProfiles(*loaded, paths, true, &found);
  EXPECT_EQ(found.profiles[1], StoredFile::Unreadable);
  auto factory = FactoryRecord();
  EXPECT_TRUE(SameSlot(loaded->profiles[1], factory->profiles[1]));

  ProfileSaveReport saves;
  saves.unread[1] = true;
  EXPECT_TRUE(SaveAllProfiles(*loaded, paths, true, &saves)) << "leaving it alone is no failure";
  EXPECT_TRUE(saves.unread[1]);
  loaded->profiles[1].iRGBGreen = 7;  // the user's own edit
  EXPECT_FALSE(SaveAllProfiles(*loaded, paths, true, &saves));
  ASSERT_EQ(saves.failed.size(), 1u);
  EXPECT_EQ(saves.failed[0], paths.profile_file(1));
  SetReadFileFunction(nullptr);
  std::ifstream in(paths.profile_file(1), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), held);
}

TEST(ProfileStore, OverLongTextsAreCutAndTerminated) {
  fs::path file = ScratchDir() / "long.gkp";
  std::string name(1000, 'N'), game(3000, 'G');
  WriteBytes(file, "[Setting]\r\nProFileName=" + name + "\r\nGameFile=" + game + "\r\n");
  auto slot = std::make_unique<ProfileSlot>();
  std::memset(slot.get(), 0x55, sizeof(ProfileSlot));
  LoadProfileFile(*slot, file);
  EXPECT_EQ(FromFixed(slot->ProFileName), std::u16string(249, u'N'));
  EXPECT_EQ(slot->ProFileName[249], 0);
  EXPECT_EQ(FromFixed(slot->GameFile), std::u16string(499, u'G'));
  EXPECT_EQ(slot->GameFile[499], 0);
  EXPECT_EQ(slot->MediaOption, -1);  // the next field is intact
}

TEST(ProfileStore, LineBreaksInTextsCannotInjectKeys) {
  fs::path file = ScratchDir() / "inject.gkp";
  auto r = FactoryRecord();
  ToFixed(r->profiles[0].ProFileName, u"Mine\r\nPollingRate=9");
  ToFixed(r->profiles[0].GameFile, u"C:\\a.exe\nstandardkey=00");
  ASSERT_TRUE(SaveProfileFile(r->profiles[0], file));
  auto loaded = FactoryRecord();
  LoadProfileFile(loaded->profiles[0], file);
  EXPECT_EQ(FromFixed(loaded->profiles[0].ProFileName), u"Mine");
  EXPECT_EQ(FromFixed(loaded->profiles[0].GameFile), u"C:\\a.exe");
  EXPECT_EQ(loaded->profiles[0].PollingRate, 1);
  EXPECT_EQ(KeysOf(file, u"Setting"), TableKeys());
}

TEST(ProfileStore, HostileValuesAreReadWithoutHarm) {
  fs::path dir = ScratchDir();
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"binary garbage", std::string("\x00\xFF\xFE[\x01\x02=\x80\x81\n\n\r\r", 14)},
      {"utf16 odd length", std::string("\xFF\xFE[\0S\0", 7)},
      {"no section", "PollingRate=2\r\nProFileName=x\r\n"},
      {"absurd numbers",
       "[Setting]\r\nPollingRate=99999999999999\r\nLtSaving=-0\r\niRGBRed=abc\r\n"},
      {"unterminated section", "[Setting\r\nPollingRate=2\r\n"},
      {"huge line", "[Setting]\r\nMacroKeyInfo0=" + std::string(200000, 'F') + "\r\n"},
      {"many sections",
       [] {
         std::string s;
         for (int i = 0; i < 2000; ++i)
           s += "[Setting]\r\nPollingRate=" + std::to_string(i) + "\r\n";
         return s;
       }()},
  };
  for (const Case& c : cases) {
    WriteBytes(dir / "hostile.gkp", c.bytes);
    auto slot = std::make_unique<ProfileSlot>();
    LoadProfileFile(*slot, dir / "hostile.gkp");
    EXPECT_EQ(slot->ProFileName[kProfileNameChars - 1], 0) << c.what;
    EXPECT_EQ(slot->GameFile[kGameFileChars - 1], 0) << c.what;
  }
}

}  // namespace
}  // namespace vantrel
