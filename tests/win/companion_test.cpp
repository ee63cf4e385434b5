// Pelox.exe, the companion monitor, as a second process: what it seeds the
// section with (and that it never writes the stored files), one copy per
// session, its acknowledgements and their options, the keyboard's side
// (profile and lighting switches, unplug and plug) and its log and dumps.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "link_fixture.h"
#include "model/profile_store.h"
#include "model/text.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

constexpr UINT WM_PELOX_PROFILE = WM_APP + 1;
constexpr UINT WM_PELOX_LIGHTING = WM_APP + 2;
constexpr UINT WM_PELOX_PLUG = WM_APP + 3;

// A click on one of the monitor's buttons as its window receives it (a
// BM_CLICK across processes needs the mouse capture, which Wine refuses to
// a window that is not active).
void Click(HWND monitor, int id) {
  HWND button = GetDlgItem(monitor, id);
  ASSERT_TRUE(button) << id;
  PostMessageW(monitor, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// Every file under `dir` with its bytes and last-write time.
std::map<fs::path, std::pair<std::string, fs::file_time_type>> Snapshot(const fs::path& dir) {
  std::map<fs::path, std::pair<std::string, fs::file_time_type>> files;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) files[e.path()] = {FileBytes(e.path()), e.last_write_time()};
  }
  return files;
}

class CompanionTest : public MonitorProcessTest {
 protected:
  // Publishes `record` as the configurator does and posts the notice.
  void Publish(HWND monitor, const SettingsRecord& record, WPARAM mode) {
    ASSERT_TRUE(WriteSection(record));
    PostMessageW(monitor, kNotice, mode, 0);
  }
  size_t CountReceived(LPARAM lp) const {
    size_t n = 0;
    for (const Received& r : window_.received) n += r.lp == lp;
    return n;
  }

  ConfiguratorWindow window_;
};

TEST_F(CompanionTest, SeedsTheSectionFromTheStoredFilesWithoutWritingThem) {
  auto stored = FactoryRecord();
  stored->CurrentProfile = 2;
  stored->KeyboardPlugIn = 1;
  for (int p = 0; p < kProfileCount; ++p) {
    ToFixed(stored->profiles[p].ProFileName, u"Stored \u00e9 " + ToU16Decimal(p));
    stored->profiles[p].LtEffectType = 4 - p;
    stored->profiles[p].standardkey[10 + p] = 0x2C;
  }
  ASSERT_TRUE(SaveAllProfiles(*stored, ProfilePaths{data_}));
  fs::remove(data_ / L"config" / L"Default2.gkp");  // slot 2 has no file
  const auto before = Snapshot(data_);
  Sleep(50);  // a rewrite would show in the last-write times

  PeloxProcess pelox(Args());
  ASSERT_TRUE(pelox.WaitForWindow());
  auto section = std::make_unique<SettingsRecord>();
  ASSERT_TRUE(ReadSection(*section));

  auto expected = FactoryRecord();
  std::memcpy(expected.get(), stored.get(), sizeof(SettingsRecord));
  ApplyFactoryDefaults(expected->profiles[2], 2);
  EXPECT_TRUE(SameProfiles(*section, *expected));
  EXPECT_TRUE(AllFlagsClear(*section));
  EXPECT_EQ(section->KeyboardPlugIn, 1);
  EXPECT_EQ(Snapshot(data_), before) << "Pelox only reads the stored files";
}

TEST_F(CompanionTest, FactoryDefaultsWithoutStoredFilesAndUnpluggedOnRequest) {
  {
    PeloxProcess pelox(Args());
    ASSERT_TRUE(pelox.WaitForWindow());
    auto section = std::make_unique<SettingsRecord>();
    ASSERT_TRUE(ReadSection(*section));
    auto factory = FactoryRecord();
    factory->CurrentProfile = 0;
    factory->KeyboardPlugIn = 1;
    EXPECT_TRUE(SameProfiles(*section, *factory));
    EXPECT_TRUE(fs::is_empty(data_)) << "no file is created";
  }
  PeloxProcess unplugged(Args(L"--unplugged"));
  ASSERT_TRUE(unplugged.WaitForWindow());
  auto section = std::make_unique<SettingsRecord>();
  ASSERT_TRUE(ReadSection(*section));
  EXPECT_EQ(section->KeyboardPlugIn, 0);
}

TEST_F(CompanionTest, ASecondCopyEndsAtOnceAndLeavesTheFirstInCharge) {
  PeloxProcess first(Args());
  HWND window = first.WaitForWindow();
  ASSERT_TRUE(window);
  PeloxProcess second(L"--unplugged");
  EXPECT_EQ(second.WaitForExit(5000), 0u);
  EXPECT_EQ(FindWindowW(nullptr, L"Vantrel Monitor"), window);
  EXPECT_EQ(FindWindowExW(nullptr, window, nullptr, L"Vantrel Monitor"), nullptr);
  auto section = std::make_unique<SettingsRecord>();
  ASSERT_TRUE(ReadSection(*section));
  EXPECT_EQ(section->KeyboardPlugIn, 1) << "the second copy's option never reached the section";
}

TEST_F(CompanionTest, AcknowledgesAppliesAndLogsAndDumpsExactlyWhatWasPublished) {
  PeloxProcess pelox(Args());
  HWND monitor = pelox.WaitForWindow();
  ASSERT_TRUE(monitor);

  auto first = FactoryRecord();
  first->CurrentProfile = 1;
  first->KeyboardPlugIn = 1;
  first->LightingChanged[1] = 1;
  first->StandardKeyChanged[3] = 1;
  ToFixed(first->profiles[1].ProFileName, u"First");
  Publish(monitor, *first, 0);
  ASSERT_TRUE(window_.PumpUntil([&] { return CountReceived(1) == 1; }));

  auto second = FactoryRecord();
  second->CurrentProfile = 3;
  second->KeyboardPlugIn = 1;
  MarkAllChanged(*second);
  Publish(monitor, *second, 1);
  ASSERT_TRUE(window_.PumpUntil([&] { return CountReceived(1) == 2; }));

  // Notices that are not applies: logged, neither acknowledged nor dumped.
  PostMessageW(monitor, kNotice, 2, 3);
  PostMessageW(monitor, kNotice, 5, 0);
  PostMessageW(monitor, kNotice, 0, 7);
  window_.PumpFor(300);
  EXPECT_EQ(CountReceived(1), 2u);
  for (const Received& r : window_.received) EXPECT_EQ(r.wp, 0u);

  EXPECT_EQ(FileBytes(log_ / L"publish-0001.bin"),
            std::string(reinterpret_cast<const char*>(first.get()), sizeof(SettingsRecord)));
  EXPECT_EQ(FileBytes(log_ / L"publish-0002.bin"),
            std::string(reinterpret_cast<const char*>(second.get()), sizeof(SettingsRecord)));
  EXPECT_FALSE(fs::exists(log_ / L"publish-0003.bin"));
  const std::string log = Log();
  EXPECT_NE(log.find("apply mode=0 profile=1 flags=Lighting[1] StandardKey[3]\r\nack\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("apply mode=1 profile=3 flags=MacroKeyInfo[0]x32"), std::string::npos);
  EXPECT_NE(log.find("DefaultsRestored[4]"), std::string::npos);
  EXPECT_NE(log.find("profile 3\r\n"), std::string::npos);
  EXPECT_NE(log.find("ignored wparam=5 lparam=0\r\n"), std::string::npos);
  EXPECT_NE(log.find("ignored wparam=0 lparam=7\r\n"), std::string::npos);
}

TEST_F(CompanionTest, NoAckAndAckDelayOptions) {
  auto record = FactoryRecord();
  record->CurrentProfile = 0;
  record->KeyboardPlugIn = 1;
  {
    PeloxProcess silent(Args(L"--no-ack"));
    HWND monitor = silent.WaitForWindow();
    ASSERT_TRUE(monitor);
    Publish(monitor, *record, 0);
    window_.PumpFor(400);
    EXPECT_EQ(CountReceived(1), 0u);
    EXPECT_TRUE(fs::exists(log_ / L"publish-0001.bin")) << "the apply itself was taken";
  }
  // Each apply is answered the delay after its own notice, also when the
  // next notice comes before that.
  // Held back, the first answer would come 1600 ms after its notice.
  PeloxProcess late(Args(L"--ack-delay=1000"));
  HWND monitor = late.WaitForWindow();
  ASSERT_TRUE(monitor);
  const DWORD first = GetTickCount();
  Publish(monitor, *record, 0);
  window_.PumpFor(600);
  const DWORD second = GetTickCount();
  Publish(monitor, *record, 0);
  ASSERT_TRUE(window_.PumpUntil([&] { return CountReceived(1) == 2; }));
  EXPECT_GE(window_.received[0].tick - first, 950u);
  EXPECT_LT(window_.received[0].tick - first, 1500u) << "not held back by the second notice";
  EXPECT_GE(window_.received[1].tick - second, 950u);
}

TEST_F(CompanionTest, PlaysTheKeyboardsSideThroughMessagesAndButtons) {
  PeloxProcess pelox(Args());
  HWND monitor = pelox.WaitForWindow();
  ASSERT_TRUE(monitor);
  PostMessageW(monitor, WM_PELOX_PROFILE, 2, 0);
  PostMessageW(monitor, WM_PELOX_PROFILE, 9, 0);  // no such profile: nothing posted
  PostMessageW(monitor, WM_PELOX_LIGHTING, 3, 0);
  Click(monitor, 104);  // profile 4
  Click(monitor, 111);  // lighting code 1
  ASSERT_TRUE(window_.PumpUntil([&] { return window_.received.size() >= 4; }));
  window_.PumpFor(200);
  ASSERT_EQ(window_.received.size(), 4u);
  const std::pair<WPARAM, LPARAM> expected[] = {{2, 20}, {3, 30}, {3, 20}, {1, 30}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(window_.received[i].wp, expected[i].first) << i;
    EXPECT_EQ(window_.received[i].lp, expected[i].second) << i;
  }

  auto section = std::make_unique<SettingsRecord>();
  PostMessageW(monitor, WM_PELOX_PLUG, 0, 0);
  ASSERT_TRUE(window_.PumpUntil([&] { return ReadSection(*section) && !section->KeyboardPlugIn; }));
  Click(monitor, 121);  // plug in
  ASSERT_TRUE(window_.PumpUntil([&] { return ReadSection(*section) && section->KeyboardPlugIn; }));
  window_.PumpFor(50);
  const std::string log = Log();
  EXPECT_NE(log.find("keyboard profile 2\r\nkeyboard lighting 3\r\nkeyboard profile 3\r\n"
                     "keyboard lighting 1\r\nunplug\r\nplug\r\n"),
            std::string::npos)
      << log;
}

}  // namespace
}  // namespace vantrel::testing
