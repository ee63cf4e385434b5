#include "model/backup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ini_test_util.h"
#include "model/macro_store.h"
#include "model/profile_store.h"
#include "model/text.h"
#include "scratch_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

template <typename T>
void Scramble(T& value, std::mt19937& rng) {
  auto* bytes = reinterpret_cast<std::uint8_t*>(&value);
  for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<std::uint8_t>(rng());
}

// Every stored byte of every slot random, texts non-ASCII; the fields no
// file holds stay zero.
std::unique_ptr<SettingsRecord> RandomRecord(std::uint32_t seed) {
  std::mt19937 rng(seed);
  auto r = std::make_unique<SettingsRecord>();
  ResetRecord(*r);
  r->CurrentProfile = 3;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileSlot& s = r->profiles[p];
    Scramble(s, rng);
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
  MacroLibrary lib(n);
  for (int i = 0; i < n; ++i) {
    lib[i] = std::make_unique<MacroRecord>();
    Scramble(*lib[i], rng);
    ToFixed(lib[i]->name, u"M\u00E4kro \u0416 " + ToU16Decimal(i));
    lib[i]->eventCount = i % (kMacroEvents + 1);
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

  std::ifstream in(file, std::ios::binary);
  const std::string on_disk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(ini_test::Text(on_disk).rfind(u"[Backup]\r\nFormat=1\r\nCurrentProfile=3\r\n"
                                          u"[Profile1]\r\nProFileName=Profil \u00E9t\u00E9",
                                          0),
            0u)
      << "UTF-16 with its mark, [Backup] first";
}

TEST(Backup, ApplyReplacesEverythingAndRaisesEveryProfilesImportFlags) {
  auto backup = std::make_unique<BackupContents>();
  std::copy_n(RandomRecord(3)->profiles, kProfileCount, backup->profiles);
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
  live->profiles[0].Reserved1548 = 77;
  MacroLibrary library = RandomLibrary(5, 6);
  ApplyBackup(*backup, *live, library);

  EXPECT_EQ(live->CurrentProfile, 1);
  EXPECT_EQ(std::memcmp(&live->profiles[3], &backup->profiles[3], sizeof(ProfileSlot)), 0);
  EXPECT_EQ(live->profiles[0].Reserved1548, 77) << "a field no file holds is kept";
  EXPECT_EQ(live->KeyboardPlugIn, 1);
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

class BackupFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    auto factory = std::make_unique<SettingsRecord>();
    ResetRecord(*factory);
    ApplyFactoryDefaultsAll(*factory);
    factory->CurrentProfile = 2;
    WriteBackup(*factory, RandomLibrary(3, 7), base_);
  }
  // Restores `ini` saved as a file into a busy record and library; true when
  // they are unchanged.
  bool Restore(const IniFile& ini, BackupResult want) {
    const fs::path file = dir_ / "edited.vbak";
    EXPECT_EQ(WriteFileAtomic(file, ini.Serialize(), false), IniSaveResult::Ok);
    const auto before = RandomRecord(9);
    *live_ = *before;
    library_ = RandomLibrary(4, 10);
    EXPECT_EQ(RestoreBackupFile(file, *live_, library_), want);
    return std::memcmp(live_.get(), before.get(), sizeof(SettingsRecord)) == 0 &&
           SameBytes(library_, RandomLibrary(4, 10));
  }
  std::u16string Flipped(std::u16string_view section, std::u16string_view key) {
    std::u16string v = base_.Find(section, key).value();
    v.back() = v.back() == u'0' ? u'1' : u'0';
    return v;
  }

  const fs::path dir_ = test::ScratchDir("backup");
  IniFile base_;
  std::unique_ptr<SettingsRecord> live_ = std::make_unique<SettingsRecord>();
  MacroLibrary library_;
};

TEST_F(BackupFiles, DamagedOrForeignFilesChangeNothing) {
  struct Edit {
    std::u16string_view section, key;     // no key: the section goes
    std::optional<std::u16string> value;  // none: the key goes
  };
  const struct {
    const char* what;
    std::vector<Edit> edits;
    BackupResult want;
  } cases[] = {
      {"no [Backup]", {{u"Backup", u""}}, BackupResult::NotBackup},
      {"Format=2", {{u"Backup", u"Format", u"2"}}, BackupResult::NotBackup},
      {"[Profile3] missing", {{u"Profile3", u""}}, BackupResult::Damaged},
      {"[Profile2] not a profile",
       {{u"Profile2", u"PollingRate"}, {u"Profile2", u"iResponTime"}},
       BackupResult::Damaged},
      {"bad key entry",
       {{u"Profile4", u"MacroKeyInfo31", Flipped(u"Profile4", u"MacroKeyInfo31")}},
       BackupResult::Damaged},
      {"bad macro", {{u"Macros", u"1", Flipped(u"Macros", u"1")}}, BackupResult::Damaged},
      {"no macro count", {{u"Macros", u"number"}}, BackupResult::Damaged},
      {"huge count", {{u"Macros", u"number", u"2147483647"}}, BackupResult::Damaged},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    IniFile ini = base_;
    for (const Edit& e : c.edits) {
      if (e.key.empty()) {
        ini.DeleteSection(e.section);
      } else if (!e.value) {
        ini.DeleteKey(e.section, e.key);
      } else {
        ini.WriteString(e.section, e.key, *e.value);
      }
    }
    EXPECT_TRUE(Restore(ini, c.want));
  }
  IniFile profile_file;
  WriteProfileSection(ProfileSlot{}, profile_file);
  EXPECT_TRUE(Restore(profile_file, BackupResult::NotBackup));

  // Files that are no INI document of ours at all.
  std::ofstream(dir_ / "empty.vbak", std::ios::binary).flush();
  std::ofstream(dir_ / "garbage.vbak", std::ios::binary) << std::string("\xFF\xFE[\0\x01\xD8", 6);
  const auto before = std::make_unique<SettingsRecord>(*live_);
  const struct {
    fs::path file;
    BackupResult want;
  } files[] = {{dir_ / "empty.vbak", BackupResult::NotBackup},
               {dir_ / "garbage.vbak", BackupResult::NotBackup},
               {dir_ / "missing.vbak", BackupResult::Unreadable},
               {dir_, BackupResult::Unreadable}};
  for (const auto& f : files) EXPECT_EQ(RestoreBackupFile(f.file, *live_, library_), f.want);
  EXPECT_EQ(std::memcmp(live_.get(), before.get(), sizeof(SettingsRecord)), 0);
}

TEST_F(BackupFiles, OutOfBoundsValuesAreBoundedAndUnknownOnesIgnored) {
  IniFile ini = base_;
  ini.WriteString(u"Backup", u"CurrentProfile", u"9");
  ini.WriteString(u"Profile1", u"ProFileName", std::u16string(1000, u'N'));
  ini.WriteString(u"Profile1", u"GameFile", std::u16string(3000, u'G'));
  ini.WriteString(u"Profile1", u"Later", u"1");
  ini.WriteString(u"Extra", u"x", u"y");
  const MacroLibrary hundred = RandomLibrary(kMacroLibraryMax + 1, 8);
  WriteMacroSection(hundred, ini);
  ini.WriteString(u"Macros", u"number", u"2147483647");
  EXPECT_FALSE(Restore(ini, BackupResult::Ok));

  EXPECT_EQ(live_->CurrentProfile, 0);
  EXPECT_EQ(FromFixed(live_->profiles[0].ProFileName), std::u16string(249, u'N'));
  EXPECT_EQ(FromFixed(live_->profiles[0].GameFile), std::u16string(499, u'G'));
  EXPECT_EQ(live_->profiles[0].MediaOption, 0) << "the field after the texts is intact";
  ASSERT_EQ(library_.size(), std::size_t{kMacroLibraryMax}) << "the 100th is not read";
  for (int i = 0; i < kMacroLibraryMax; ++i)
    EXPECT_EQ(std::memcmp(library_[i].get(), hundred[i].get(), sizeof(MacroRecord)), 0);
}

}  // namespace
}  // namespace vantrel
