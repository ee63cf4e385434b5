// The profile store's files must mean the same to the platform's
// private-profile functions (the monitor program and older versions read
// them that way), in both directions.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "model/profile_store.h"
#include "model/text.h"
#include "private_profile_io.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

fs::path ScratchDir(const char* name) {
  wchar_t root[MAX_PATH] = L"";
  if (GetEnvironmentVariableW(L"VANTREL_TEST_TMP", root, MAX_PATH) == 0)
    GetTempPathW(MAX_PATH, root);
  fs::path dir = fs::path(root) / L"store-win" / name;
  fs::remove_all(dir);
  fs::create_directories(dir / L"config");
  return dir / L"";
}

std::unique_ptr<SettingsRecord> BusyRecord(std::u16string_view name) {
  auto r = std::make_unique<SettingsRecord>();
  ResetRecord(*r);
  ApplyFactoryDefaultsAll(*r);
  r->CurrentProfile = 2;
  r->KeyboardPlugIn = 1;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileSlot& s = r->profiles[p];
    ToFixed(s.ProFileName, std::u16string(name) + ToU16Decimal(p));
    ToFixed(s.GameFile, u"C:\\Games\\x" + ToU16Decimal(p) + u".exe");
    s.MediaOption = -1;
    s.ModifyKey[2] = -2147483647 - 1;
    s.standardkey[5] = 0xE7;
    for (int k = 0; k < kKeyAssignments; ++k) {
      KeyAssignment& e = s.MacroKeyInfo[k];
      e.actionType = std::uint8_t(k % 7);
      e.eventCount = 50;
      for (int i = 0; i < kMacroEvents; ++i) e.events[i] = 0xFFFF0000u + i + k;
      ToFixed(e.macroName, u"m" + ToU16Decimal(k));
    }
    s.apmLightInfo[15] = 0xAB;
  }
  return r;
}

void ExpectSame(const SettingsRecord& a, const SettingsRecord& b) {
  EXPECT_EQ(a.CurrentProfile, b.CurrentProfile);
  EXPECT_EQ(a.KeyboardPlugIn, b.KeyboardPlugIn);
  for (int p = 0; p < kProfileCount; ++p) {
    EXPECT_EQ(FromFixed(a.profiles[p].ProFileName), FromFixed(b.profiles[p].ProFileName));
    EXPECT_EQ(std::memcmp(&a.profiles[p], &b.profiles[p], sizeof(ProfileSlot)), 0) << p;
  }
}

TEST(ProfileStoreWin, PlatformReadsWhatTheStoreWrites) {
  ProfilePaths paths{ScratchDir("ours")};
  auto saved = BusyRecord(u"Nom \u00E9t\u00E9 \u4E2D\u6587 ");  // beyond the ANSI code page
  ASSERT_TRUE(SaveAllProfiles(*saved, paths));
  auto loaded = std::make_unique<SettingsRecord>();
  reference::LoadAll(*loaded, paths);
  ExpectSame(*loaded, *saved);

  // The "Default<p>" copies LoadAllProfiles leaves in config.ini.
  auto ours = std::make_unique<SettingsRecord>();
  LoadAllProfiles(*ours, paths);
  for (int p = 0; p < kProfileCount; ++p) {
    auto copy = std::make_unique<ProfileSlot>();
    const std::wstring name = L"Default" + std::to_wstring(p);
    ASSERT_TRUE(GetPrivateProfileStructW(name.c_str(), name.c_str(), copy.get(),
                                         sizeof(ProfileSlot), paths.config_file().c_str()))
        << p;
    EXPECT_EQ(std::memcmp(copy.get(), &saved->profiles[p], sizeof(ProfileSlot)), 0) << p;
  }
}

TEST(ProfileStoreWin, StoreReadsWhatThePlatformWrites) {
  ProfilePaths paths{ScratchDir("platform")};
  auto saved = BusyRecord(u"Profil \u00E9t\u00E9 ");  // in the ANSI code page
  reference::SaveAll(*saved, paths);
  auto loaded = std::make_unique<SettingsRecord>();
  ResetRecord(*loaded);
  LoadAllProfiles(*loaded, paths);
  ExpectSame(*loaded, *saved);
}

TEST(ProfileStoreWin, StoreUpdatesAPlatformFileInPlace) {
  ProfilePaths paths{ScratchDir("update")};
  auto first = BusyRecord(u"First ");
  reference::SaveAll(*first, paths);
  WritePrivateProfileStringW(L"Setting", L"VendorKey", L"kept", paths.profile_file(1).c_str());
  auto second = BusyRecord(u"Second ");
  second->profiles[1].PollingRate = 2;
  ASSERT_TRUE(SaveAllProfiles(*second, paths));
  auto loaded = std::make_unique<SettingsRecord>();
  reference::LoadAll(*loaded, paths);
  ExpectSame(*loaded, *second);
  wchar_t value[16] = L"";
  GetPrivateProfileStringW(L"Setting", L"VendorKey", L"", value, 16, paths.profile_file(1).c_str());
  EXPECT_STREQ(value, L"kept");
}

}  // namespace
}  // namespace vantrel
