#include "model/backup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "ini_test_util.h"
#include "model/macro_store.h"
#include "model/profile_store.h"
#include "model/text.h"
#include "scratch_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// Every stored byte of every slot random, texts non-ASCII; the fields no
// file holds stay zero.
std::unique_ptr<SettingsRecord> RandomRecord(std::uint32_t seed) {
  std::mt19937 rng(seed);
  auto r = std::make_unique<SettingsRecord>();
  ResetRecord(*r);
  r->CurrentProfile = 3;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileSlot& s = r->profiles[p];
    auto* bytes = reinterpret_cast<std::uint8_t*>(&s);
    for (std::size_t i = 0; i < sizeof s; ++i) bytes[i] = static_cast<std::uint8_t>(rng());
    ToFixed(s.ProFileName, u"Profil \u00E9t\u00E9 \u4E2D\u6587 " + ToU16Decimal(p));
    ToFixed(s.GameFile, u"C:\\Spiele\\\u00DCber " + ToU16Decimal(p) + u"\\run.exe");
    s.Reserved1520 = s.Reserved1548 = 0;
    std::memset(s.pad1710, 0, sizeof s.pad1710);
    std::memset(s.Reserved26680, 0, sizeof s.Reserved26680);
  }
  return r;
}

MacroLibrary RandomLibrary(int n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  MacroLibrary lib;
  for (int i = 0; i < n; ++i) {
    auto m = std::make_unique<MacroRecord>();
    auto* bytes = reinterpret_cast<std::uint8_t*>(m.get());
    for (std::size_t b = 0; b < sizeof(MacroRecord); ++b)
      bytes[b] = static_cast<std::uint8_t>(rng());
    ToFixed(m->name, u"M\u00E4kro \u0416 " + ToU16Decimal(i));
    m->eventCount = i % (kMacroEvents + 1);
    lib.push_back(std::move(m));
  }
  return lib;
}

bool SameBytes(const MacroLibrary& a, const MacroLibrary& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::memcmp(a[i].get(), b[i].get(), sizeof(MacroRecord)) != 0) return false;
  return true;
}

TEST(Backup, EveryFieldOfFourProfilesAndNinetyNineMacrosComesBack) {
  const fs::path file = test::ScratchDir("backup") / (u"all" + std::u16string(kBackupExtension));
  auto saved = RandomRecord(1);
  const MacroLibrary library = RandomLibrary(kMacroLibraryMax, 2);
  ASSERT_TRUE(SaveBackupFile(*saved, library, file));

  auto read = std::make_unique<BackupContents>();
  ASSERT_EQ(LoadBackupFile(file, *read), BackupResult::Ok);
  EXPECT_EQ(read->current_profile, 3);
  for (int p = 0; p < kProfileCount; ++p)
    EXPECT_EQ(std::memcmp(&read->profiles[p], &saved->profiles[p], sizeof(ProfileSlot)), 0) << p;
  EXPECT_TRUE(SameBytes(read->macros, library));

  // The same document again from what was read, and in the layout we chose.
  IniFile again;
  auto rebuilt = std::make_unique<SettingsRecord>(*saved);
  WriteBackup(*rebuilt, read->macros, again);
  std::ifstream in(file, std::ios::binary);
  const std::string on_disk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(ini_test::Bytes(again), on_disk);
  EXPECT_EQ(ini_test::Text(on_disk).rfind(u"[Backup]\r\nFormat=1\r\nCurrentProfile=3\r\n"
                                          u"[Profile1]\r\nProFileName=Profil \u00E9t\u00E9",
                                          0),
            0u)
      << "UTF-16 with its mark, [Backup] first";
}

TEST(Backup, ApplyReplacesEverythingAndRaisesEveryProfilesImportFlags) {
  auto backup = std::make_unique<BackupContents>();
  auto source = RandomRecord(3);
  for (int p = 0; p < kProfileCount; ++p) backup->profiles[p] = source->profiles[p];
  backup->current_profile = 1;
  backup->macros = RandomLibrary(2, 4);
  // A key of profile 2 carries a macro the backup's library lacks.
  KeyAssignment& key = backup->profiles[2].MacroKeyInfo[0];
  key.actionType = kActionTypeMacro;
  ToFixed(key.macroName, u"Only on a key");
  for (ProfileSlot& s : backup->profiles)
    for (int e = 1; e < kKeyAssignments; ++e) s.MacroKeyInfo[e].actionType = 0;

  auto live = RandomRecord(5);
  live->KeyboardPlugIn = 1;
  live->HddKeyboardChanged = 1;
  live->profiles[0].Reserved1548 = 77;
  MacroLibrary library = RandomLibrary(5, 6);
  ApplyBackup(*backup, *live, library);

  EXPECT_EQ(live->CurrentProfile, 1);
  for (int p = 0; p < kProfileCount; ++p)
    EXPECT_EQ(std::memcmp(live->profiles[p].MacroKeyInfo, backup->profiles[p].MacroKeyInfo,
                          sizeof(ProfileSlot::MacroKeyInfo)),
              0);
  EXPECT_EQ(live->profiles[0].Reserved1548, 77) << "a field no file holds is kept";
  EXPECT_EQ(live->KeyboardPlugIn, 1);
  EXPECT_EQ(live->HddKeyboardChanged, 1);
  for (int p = 0; p < kFlagEntries; ++p) {
    SCOPED_TRACE(p);
    const int want = p < kProfileCount ? 1 : 0;  // entry 4 is no profile
    EXPECT_EQ(live->ProfileImported[p], want);
    EXPECT_EQ(live->LightingChanged[p], want);
    EXPECT_EQ(live->StandardKeyChanged[p], want);
    EXPECT_EQ(live->ModifyKeyChanged[p], want);
    for (int e = 0; e < kKeyAssignments; ++e) EXPECT_EQ(live->MacroKeyInfoChanged[p][e], want);
  }
  ASSERT_EQ(library.size(), 3u) << "the backup's two macros, then the key's";
  EXPECT_EQ(std::memcmp(library[1].get(), backup->macros[1].get(), sizeof(MacroRecord)), 0);
  EXPECT_EQ(FromFixed(library[2]->name), u"Only on a key");
}

// A small valid backup, edited into a hostile one. Only Ok may change the
// live record and library; the checks say what an Ok file gave.
TEST(Backup, HostileFilesGiveTheirResultAndOnlyOkChangesAnything) {
  using Edit = std::function<void(IniFile&)>;
  using Check = std::function<void(const SettingsRecord&, const MacroLibrary&)>;
  auto flip_last_digit = [](IniFile& ini, std::u16string_view section, std::u16string_view key) {
    std::u16string v = ini.Find(section, key).value();
    v.back() = v.back() == u'0' ? u'1' : u'0';
    ini.WriteString(section, key, v);
  };
  const MacroLibrary hundred = RandomLibrary(kMacroLibraryMax + 1, 8);
  struct Case {
    const char* what;
    Edit edit;
    BackupResult want;
    Check check = nullptr;
  };
  const Case cases[] = {
      {"no [Backup]", [](IniFile& ini) { ini.DeleteSection(u"Backup"); }, BackupResult::NotBackup},
      {"Format=2", [](IniFile& ini) { ini.WriteInt(u"Backup", u"Format", 2); },
       BackupResult::NotBackup},
      {"a profile file",
       [](IniFile& ini) {
         ini.Clear();
         WriteProfileSection(ProfileSlot{}, ini);
       },
       BackupResult::NotBackup},
      {"[Profile3] missing", [](IniFile& ini) { ini.DeleteSection(u"Profile3"); },
       BackupResult::Damaged},
      {"[Profile2] not a profile",
       [](IniFile& ini) {
         ini.DeleteKey(u"Profile2", u"PollingRate");
         ini.DeleteKey(u"Profile2", u"iResponTime");
       },
       BackupResult::Damaged},
      {"bad key entry", [&](IniFile& ini) { flip_last_digit(ini, u"Profile4", u"MacroKeyInfo31"); },
       BackupResult::Damaged},
      {"bad macro", [&](IniFile& ini) { flip_last_digit(ini, u"Macros", u"1"); },
       BackupResult::Damaged},
      {"no macro count", [](IniFile& ini) { ini.DeleteKey(u"Macros", u"number"); },
       BackupResult::Damaged},
      {"huge count, 3 macros", [](IniFile& ini) { ini.WriteInt(u"Macros", u"number", 2147483647); },
       BackupResult::Damaged},
      {"huge count, 100 macros",
       [&](IniFile& ini) {
         WriteMacroSection(hundred, ini);
         ini.WriteInt(u"Macros", u"number", 2147483647);
       },
       BackupResult::Ok,
       [&](const SettingsRecord&, const MacroLibrary& lib) {
         MacroLibrary first(kMacroLibraryMax);
         for (int i = 0; i < kMacroLibraryMax; ++i)
           first[i] = std::make_unique<MacroRecord>(*hundred[i]);
         EXPECT_TRUE(SameBytes(lib, first));
       }},
      {"texts too long, unknown keys",
       [](IniFile& ini) {
         ini.WriteString(u"Profile1", u"ProFileName", std::u16string(1000, u'N'));
         ini.WriteString(u"Profile1", u"GameFile", std::u16string(3000, u'G'));
         ini.WriteString(u"Profile1", u"Later", u"1");
         ini.WriteString(u"Extra", u"x", u"y");
       },
       BackupResult::Ok,
       [](const SettingsRecord& r, const MacroLibrary& lib) {
         EXPECT_EQ(FromFixed(r.profiles[0].ProFileName), std::u16string(249, u'N'));
         EXPECT_EQ(FromFixed(r.profiles[0].GameFile), std::u16string(499, u'G'));
         EXPECT_EQ(r.profiles[0].MediaOption, 0);
         EXPECT_EQ(lib.size(), 3u);
       }},
      {"CurrentProfile=9", [](IniFile& ini) { ini.WriteInt(u"Backup", u"CurrentProfile", 9); },
       BackupResult::Ok,
       [](const SettingsRecord& r, const MacroLibrary&) { EXPECT_EQ(r.CurrentProfile, 0); }},
  };
  const fs::path dir = test::ScratchDir("backup");
  auto factory = std::make_unique<SettingsRecord>();
  ResetRecord(*factory);
  ApplyFactoryDefaultsAll(*factory);
  factory->CurrentProfile = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    IniFile ini(dir / "hostile.vbak");
    WriteBackup(*factory, RandomLibrary(3, 7), ini);
    c.edit(ini);
    ASSERT_EQ(ini.Save(false), IniSaveResult::Ok);
    auto live = RandomRecord(9);
    const auto before = std::make_unique<SettingsRecord>(*live);
    MacroLibrary library = RandomLibrary(4, 10);
    EXPECT_EQ(RestoreBackupFile(ini.path(), *live, library), c.want);
    if (c.check) {
      c.check(*live, library);
    } else {
      EXPECT_EQ(std::memcmp(live.get(), before.get(), sizeof(SettingsRecord)), 0);
      EXPECT_TRUE(SameBytes(library, RandomLibrary(4, 10)));
    }
  }

  // Files that are no INI document of ours at all.
  std::ofstream(dir / "empty.vbak", std::ios::binary).flush();
  std::ofstream(dir / "garbage.vbak", std::ios::binary) << std::string("\xFF\xFE[\0\x01\xD8", 6);
  auto live = RandomRecord(9);
  const auto before = std::make_unique<SettingsRecord>(*live);
  MacroLibrary library;
  EXPECT_EQ(RestoreBackupFile(dir / "empty.vbak", *live, library), BackupResult::NotBackup);
  EXPECT_EQ(RestoreBackupFile(dir / "garbage.vbak", *live, library), BackupResult::NotBackup);
  EXPECT_EQ(RestoreBackupFile(dir / "missing.vbak", *live, library), BackupResult::Unreadable);
  EXPECT_EQ(RestoreBackupFile(dir, *live, library), BackupResult::Unreadable) << "a folder";
  EXPECT_TRUE(library.empty());
  EXPECT_EQ(std::memcmp(live.get(), before.get(), sizeof(SettingsRecord)), 0);
}

}  // namespace
}  // namespace vantrel
