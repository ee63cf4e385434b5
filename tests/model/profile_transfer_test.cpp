#include "model/profile_transfer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "model/ini_file.h"
#include "model/text.h"
#include "scratch_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

fs::path ScratchDir() { return test::ScratchDir("transfer"); }

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchDir();
    paths_.data_dir = dir_ / "data" / "";
    ResetRecord(*record_);
    ApplyFactoryDefaultsAll(*record_);
  }
  std::u16string ConfigValue(std::u16string_view section, std::u16string_view key) {
    IniFile ini(paths_.config_file());
    ini.Load();
    return ini.ReadString(section, key, u"<none>", 300);
  }

  fs::path dir_;
  ProfilePaths paths_;
  std::unique_ptr<SettingsRecord> record_ = std::make_unique<SettingsRecord>();
};

TEST_F(TransferTest, ExportRecordsNameAndKeepsACopyInTheConfigFolder) {
  record_->CurrentProfile = 2;
  ToFixed(record_->profiles[2].ProFileName, u"Raid night");
  const fs::path chosen = dir_ / "out" / "My.gkp";
  fs::create_directories(chosen.parent_path());
  std::ofstream(chosen) << "[Setting]\nStale=1\n";

  ASSERT_EQ(ExportProfileTo(*record_, paths_, chosen), ExportResult::Written);

  EXPECT_EQ(ConfigValue(u"Profile3", u"FileName"), u"My");
  ASSERT_TRUE(fs::exists(paths_.config_dir() / "My.gkp"));
  ProfileSlot back{};
  LoadProfileFile(back, paths_.config_dir() / "My.gkp");
  EXPECT_EQ(FromFixed(back.ProFileName), u"Raid night");
  IniFile written(chosen);
  written.Load();
  EXPECT_FALSE(written.Find(u"Setting", u"Stale")) << "the old file's keys must be gone";
}

TEST_F(TransferTest, AFailedExportLeavesTheOldFileWhole) {
  const fs::path chosen = dir_ / "Kept.gkp";
  std::ofstream(chosen) << "[Setting]\nPollingRate=7\n";
  SetReplaceFileFunction([](const fs::path&, const fs::path&) { return false; });
  const ExportResult exported = ExportProfileTo(*record_, paths_, chosen);
  SetReplaceFileFunction(nullptr);
  EXPECT_EQ(exported, ExportResult::Failed);
  ProfileSlot kept{};
  LoadProfileFile(kept, chosen);
  EXPECT_EQ(kept.PollingRate, 7);
  // Onto a stored profile file, however it is spelled: refused, untouched.
  fs::create_directories(paths_.config_dir());
  std::ofstream(paths_.profile_file(1)) << "[Setting]\nPollingRate=7\n";
  for (const fs::path& stored : {paths_.profile_file(1), paths_.config_dir() / "DEFAULT1.GKP"}) {
    EXPECT_EQ(ExportProfileTo(*record_, paths_, stored), ExportResult::StoredFile);
    LoadProfileFile(kept, paths_.profile_file(1));
    EXPECT_EQ(kept.PollingRate, 7);
  }
}

TEST_F(TransferTest, ExportUnderAStoredProfileNameDoesNotOverwriteThatProfile) {
  for (const char16_t* title : {u"Default0", u"default3", u"DEFAULT1"}) {
    SCOPED_TRACE(U16ToUtf8(title));
    fs::create_directories(paths_.config_dir());
    const fs::path stored = paths_.config_dir() / fs::path(std::u16string(title) + u".gkp");
    std::ofstream(stored) << "[Setting]\nPollingRate=7\n";
    const fs::path chosen = dir_ / fs::path(std::u16string(title) + u".gkp");

    ASSERT_EQ(ExportProfileTo(*record_, paths_, chosen), ExportResult::Written);

    ProfileSlot kept{};
    LoadProfileFile(kept, stored);
    EXPECT_EQ(kept.PollingRate, 7);
    EXPECT_TRUE(fs::exists(chosen));
  }
}

TEST_F(TransferTest, ImportOfAProfileRaisesOnlyTheActiveProfilesFlagsAndLearnsItsMacros) {
  // A profile file carrying a macro key the library does not know.
  auto source = std::make_unique<SettingsRecord>();
  ResetRecord(*source);
  ApplyFactoryDefaultsAll(*source);
  ProfileSlot& s = source->profiles[0];
  ToFixed(s.ProFileName, u"Imported");
  s.PollingRate = 2;
  s.MacroKeyInfo[0].actionType = kActionTypeMacro;
  ToFixed(s.MacroKeyInfo[0].macroName, u"Combo");
  s.MacroKeyInfo[0].eventCount = 1;
  s.MacroKeyInfo[0].events[0] = 0x00010004;
  const fs::path chosen = dir_ / "in" / "Shared.gkp";
  fs::create_directories(chosen.parent_path());
  ASSERT_TRUE(SaveProfileFile(s, chosen));

  record_->CurrentProfile = 1;
  MacroLibrary library;
  ASSERT_TRUE(ImportProfileFrom(*record_, library, paths_, chosen));

  EXPECT_EQ(FromFixed(record_->profiles[1].ProFileName), u"Imported");
  EXPECT_TRUE(fs::exists(paths_.data_dir / "Shared.gkp"));
  for (int p = 0; p < kFlagEntries; ++p) {
    const int want = p == 1 ? 1 : 0;
    SCOPED_TRACE(p);
    EXPECT_EQ(record_->ProfileImported[p], want);
    EXPECT_EQ(record_->LightingChanged[p], want);
    EXPECT_EQ(record_->StandardKeyChanged[p], want);
    EXPECT_EQ(record_->ModifyKeyChanged[p], want);
    for (int e = 0; e < kKeyAssignments; ++e) EXPECT_EQ(record_->MacroKeyInfoChanged[p][e], want);
  }
  ASSERT_EQ(library.size(), 1u);
  EXPECT_EQ(FromFixed(library[0]->name), u"Combo");

  // Into a slot that is not the active one (the command line's /import).
  ASSERT_TRUE(ImportProfileInto(*record_, library, paths_, chosen, 3));
  EXPECT_EQ(FromFixed(record_->profiles[3].ProFileName), u"Imported");
  EXPECT_EQ(record_->ProfileImported[3], 1);
  EXPECT_EQ(record_->CurrentProfile, 1);
}

TEST_F(TransferTest, FilesThatAreNotProfilesChangeNothing) {
  const fs::path text = dir_ / "notes.txt";
  std::ofstream(text) << "[Setting]\nProFileName=Hijack\n";
  // A profile too large to read (sparse, so small on disk).
  const fs::path huge = dir_ / "huge.gkp";
  std::ofstream(huge) << "[Setting]\nPollingRate=2\n";
  fs::resize_file(huge, kMaxIniFileBytes + 1);
  // Nothing is copied into the data folder before the file was found to be
  // a profile.
  for (const fs::path& chosen : {text, dir_ / "missing.gkp", huge}) {
    SCOPED_TRACE(chosen.string());
    auto before = std::make_unique<SettingsRecord>(*record_);
    MacroLibrary library;
    EXPECT_FALSE(ImportProfileFrom(*record_, library, paths_, chosen));
    EXPECT_EQ(std::memcmp(before.get(), record_.get(), sizeof(SettingsRecord)), 0);
    EXPECT_FALSE(fs::exists(paths_.data_dir / (chosen.stem().string() + ".gkp")));
  }
}

TEST(ProfileFormRules, StoreCutsNameAndPathToTheirFields) {
  auto slot = std::make_unique<ProfileSlot>();
  const struct {
    size_t name_len, path_len, want_name, want_path;
  } cases[] = {{0, 0, 0, 0}, {249, 499, 249, 499}, {250, 500, 249, 499}, {4000, 9000, 249, 499}};
  for (const auto& c : cases) {
    StoreProfileForm(*slot, std::u16string(c.name_len, u'N'), std::u16string(c.path_len, u'P'));
    EXPECT_EQ(FromFixed(slot->ProFileName).size(), c.want_name);
    EXPECT_EQ(FromFixed(slot->GameFile).size(), c.want_path);
    EXPECT_EQ(slot->ProFileName[kProfileNameChars - 1], u'\0');
    EXPECT_EQ(slot->GameFile[kGameFileChars - 1], u'\0');
  }
  StoreProfileForm(*slot, u"Mixed Case", u"C:\\Games\\Hero.exe");
  EXPECT_EQ(FromFixed(slot->ProFileName), u"Mixed Case");
}

TEST(ProfileFormRules, AnExecutableIsLinkedToOneProfileOnly) {
  auto record = std::make_unique<SettingsRecord>();
  ResetRecord(*record);
  record->CurrentProfile = 0;
  ToFixed(record->profiles[0].GameFile, u"C:\\Games\\Mine.exe");
  ToFixed(record->profiles[2].GameFile, u"C:\\Games\\Hero.exe");
  const struct {
    std::u16string path;
    bool linked;
  } cases[] = {{u"C:\\Games\\Hero.exe", true},
               {u"c:\\games\\HERO.EXE", true},
               {u"C:\\Games\\Mine.exe", false},  // the active profile's own link
               {u"C:\\Games\\Hero.exe2", false},
               {u"", false}};
  // Profiles 1 and 3 link nothing: an empty path matches no one.
  for (const auto& c : cases) {
    SCOPED_TRACE(U16ToUtf8(c.path));
    EXPECT_EQ(IsLinkedToOtherProfile(*record, c.path), c.linked);
  }
}

TEST(FileTitleTest, DropsFolderAndExtension) {
  const struct {
    const char16_t* path;
    const char16_t* title;
  } cases[] = {{u"C:\\a\\My.gkp", u"My"},
               {u"/x/y/Two.dots.gkp", u"Two.dots"},
               {u"plain", u"plain"},
               {u"C:\\a\\.gkp", u""}};
  for (const auto& c : cases) EXPECT_EQ(FileTitle(fs::path(c.path)), c.title);
}

}  // namespace
}  // namespace vantrel
