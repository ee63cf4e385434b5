// The monitor link without the main window: a stand-in host window titled
// "Vantrel", stand-in monitors on a second thread of this process (so they
// answer while this thread works, as another process would), and the real
// Pelox.exe where two processes matter (start-up copy, launch, late and
// missing acknowledgements).
#include "shell/monitor_link.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "link_fixture.h"
#include "model/macro_store.h"
#include "model/profile_store.h"
#include "model/text.h"

namespace vantrel::shell {
namespace {

namespace fs = std::filesystem;
using testing::ConfiguratorWindow;
using testing::EndMonitorProcess;
using testing::FactoryRecord;
using testing::PeloxProcess;
using testing::SameProfiles;

// A monitor on its own thread: creates the section (and, unless told not
// to, the mutex and the "Vantrel Monitor" window) under the real names, and
// records for every notice whether the mutex was free, whether the stored
// files were already written, and what the section held.
class ThreadMonitor {
 public:
  struct Options {
    std::int32_t plugged = 1;
    bool window = true;
    bool mutex = true;
    bool ack = true;
    int acks_to_drop = 0;  // the first N applies go unanswered
    DWORD section_size = sizeof(SettingsRecord);
  };
  struct Notice {
    WPARAM wp;
    LPARAM lp;
    bool mutex_free;
    bool files_saved;
    std::shared_ptr<SettingsRecord> section;
  };

  ThreadMonitor(Options options, fs::path data_dir)
      : options_(options), data_dir_(std::move(data_dir)) {
    if (options_.mutex) mutex_ = CreateMutexW(nullptr, FALSE, monitor::kMutexName);
    section_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  options_.section_size, monitor::kSectionName);
    view_ = MapViewOfFile(section_, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (options_.section_size >= sizeof(SettingsRecord)) {
      auto r = FactoryRecord();
      r->CurrentProfile = 1;
      r->KeyboardPlugIn = options_.plugged;
      for (int p = 0; p < kProfileCount; ++p) {
        ToFixed(r->profiles[p].ProFileName, u"Monitor " + ToU16Decimal(p));
      }
      std::memcpy(view_, r.get(), sizeof(SettingsRecord));
    }
    if (!options_.window) return;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] { Run(ready); });
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
  }
  ~ThreadMonitor() {
    if (thread_.joinable()) {
      PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
      thread_.join();
    }
    UnmapViewOfFile(view_);
    CloseHandle(section_);
    if (mutex_) CloseHandle(mutex_);
  }

  // The section as it is now; only while no apply runs.
  SettingsRecord& section() { return *static_cast<SettingsRecord*>(view_); }
  size_t count() {
    std::lock_guard<std::mutex> lock(lock_);
    return notices_.size();
  }
  Notice notice(size_t i) {
    std::lock_guard<std::mutex> lock(lock_);
    return notices_.at(i);
  }

 private:
  void Run(HANDLE ready) {
    thread_id_ = GetCurrentThreadId();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ThreadMonitor";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, monitor::kMonitorTitle, WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, wc.hInstance, nullptr);
    SetEvent(ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == WM_APPLY_ALL_SETTING) OnNotice(msg.wParam, msg.lParam);
      DispatchMessageW(&msg);
    }
    DestroyWindow(hwnd);
  }
  void OnNotice(WPARAM wp, LPARAM lp) {
    Notice n{wp, lp, false, false, std::make_shared<SettingsRecord>()};
    if (mutex_ && WaitForSingleObject(mutex_, 0) == WAIT_OBJECT_0) {
      n.mutex_free = true;
      ReleaseMutex(mutex_);
    }
    std::error_code ec;
    n.files_saved = fs::exists(data_dir_ / L"config.ini", ec) &&
                    fs::exists(data_dir_ / L"config" / L"Default3.gkp", ec) &&
                    fs::exists(data_dir_ / L"sequence.dat", ec);
    std::memset(n.section.get(), 0, sizeof(SettingsRecord));
    std::memcpy(n.section.get(), view_,
                std::min<size_t>(options_.section_size, sizeof(SettingsRecord)));
    {
      std::lock_guard<std::mutex> lock(lock_);
      notices_.push_back(n);
    }
    if (lp != 0 || !options_.ack) return;
    if (options_.acks_to_drop > 0) {
      --options_.acks_to_drop;
      return;
    }
    PostMessageW(FindWindowW(nullptr, L"Vantrel"), WM_APPLY_ALL_SETTING, 0, 1);
  }

  Options options_;
  fs::path data_dir_;
  HANDLE mutex_ = nullptr, section_ = nullptr;
  void* view_ = nullptr;
  std::thread thread_;
  std::atomic<DWORD> thread_id_{0};
  std::mutex lock_;
  std::vector<Notice> notices_;
};

// Takes the monitor's mutex on a thread of its own and keeps it for
// `hold_ms`, or ends while holding it, which abandons it.
class MutexHolder {
 public:
  enum Mode { kHold, kAbandon };
  MutexHolder(Mode mode, DWORD hold_ms = 0) {
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([=] {
      HANDLE m = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, monitor::kMutexName);
      if (m && WaitForSingleObject(m, 2000) == WAIT_OBJECT_0) {
        SetEvent(held);
        if (mode == kHold) {
          Sleep(hold_ms);
          ReleaseMutex(m);
        }
      }
      if (m) CloseHandle(m);
    });
    held_ok_ = WaitForSingleObject(held, 3000) == WAIT_OBJECT_0;
    CloseHandle(held);
    if (mode == kAbandon) thread_.join();
  }
  ~MutexHolder() {
    if (thread_.joinable()) thread_.join();
  }
  bool held() const { return held_ok_; }

 private:
  std::thread thread_;
  bool held_ok_ = false;
};

// The mutex as another thread finds it right now: free (and not abandoned).
bool MutexFreeElsewhere() {
  DWORD result = WAIT_FAILED;
  std::thread([&] {
    HANDLE m = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, monitor::kMutexName);
    if (!m) return;
    result = WaitForSingleObject(m, 0);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) ReleaseMutex(m);
    CloseHandle(m);
  }).join();
  return result == WAIT_OBJECT_0;
}

class TestHost : public MonitorLinkHost {
 public:
  HWND LinkWindow() const override { return window.hwnd(); }
  void RefreshAllControl() override { ++refreshes; }
  void ShowProfileButtons(int profile) override { shown_profile = profile; }
  void RefreshLightingPanel() override { ++lighting_refreshes; }
  void CloseWaiting() override { closes.push_back(GetTickCount()); }
  // Stands in for the waiting window that asked, unless a test says not.
  bool TakeApplyRequest(WPARAM) override { return accept_requests; }
  bool HoldKeyboardNotices() const override { return hold; }

  ConfiguratorWindow window;
  bool accept_requests = true, hold = false;
  int refreshes = 0, lighting_refreshes = 0, shown_profile = -1;
  std::vector<DWORD> closes;
};

class MonitorLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EndMonitorProcess();
    data_ = testing::ScratchDir(L"data");
    live_ = std::make_unique<SettingsRecord>();
    baseline_ = std::make_unique<SettingsRecord>();
    link_ = std::make_unique<MonitorLink>(host_, LinkStores{*live_, *baseline_, macros_, data_});
    link_->timing = {0, 100, 300, 300};
    host_.window.on_notice = [this](WPARAM wp, LPARAM lp) { link_->OnApplyAllSetting(wp, lp); };
    host_.window.on_timer = [this](UINT_PTR id) { link_->OnTimer(id); };
  }
  void TearDown() override {
    link_.reset();
    EndMonitorProcess();
  }

  // Stored files whose profile names say where they came from.
  std::unique_ptr<SettingsRecord> StoreFiles(std::int32_t current = 2) {
    auto r = FactoryRecord();
    r->CurrentProfile = current;
    r->KeyboardPlugIn = 1;
    for (int p = 0; p < kProfileCount; ++p) {
      ToFixed(r->profiles[p].ProFileName, u"Stored " + ToU16Decimal(p));
    }
    EXPECT_TRUE(SaveAllProfiles(*r, ProfilePaths{data_}));
    return r;
  }
  bool Pump(const std::function<bool()>& done, DWORD limit = 3000) {
    return host_.window.PumpUntil(done, limit);
  }

  TestHost host_;
  fs::path data_;
  std::unique_ptr<SettingsRecord> live_, baseline_;
  MacroStore macros_;
  std::unique_ptr<MonitorLink> link_;
};

// ---- Start-up -------------------------------------------------------------

TEST_F(MonitorLinkTest, StartupTakesPeloxsCopyOverTheStoredFiles) {
  StoreFiles();
  const fs::path monitor_data = testing::ScratchDir(L"monitor-data");
  auto seeded = FactoryRecord();
  seeded->CurrentProfile = 3;
  seeded->KeyboardPlugIn = 1;
  ToFixed(seeded->profiles[3].ProFileName, u"Monitor's own");
  seeded->profiles[3].PollingRate = 2;
  ASSERT_TRUE(SaveAllProfiles(*seeded, ProfilePaths{monitor_data}));
  PeloxProcess pelox(L"--data=" + monitor_data.wstring());
  ASSERT_TRUE(pelox.WaitForWindow());

  const StartupRecord start = link_->LoadStartupRecord();
  EXPECT_TRUE(start.from_monitor);
  EXPECT_TRUE(start.keyboard_plugged);
  EXPECT_TRUE(link_->open());
  EXPECT_TRUE(SameProfiles(*baseline_, *seeded));
  EXPECT_EQ(std::memcmp(live_.get(), baseline_.get(), sizeof(SettingsRecord)), 0);
}

TEST_F(MonitorLinkTest, StartupClearsTheFlagsOfTheMonitorsCopyAndLeavesTheSectionAlone) {
  ThreadMonitor monitor({}, data_);
  SettingsRecord& s = monitor.section();
  s.LightingChanged[2] = 1;
  s.ProfileImported[1] = 1;
  s.MacroKeyInfoChanged[4][31] = 1;
  s.CurrentProfileChanged = 1;
  s.HddKeyboardChanged = 1;
  auto before = std::make_unique<SettingsRecord>(s);

  EXPECT_TRUE(link_->LoadStartupRecord().from_monitor);
  EXPECT_EQ(baseline_->HddKeyboardChanged, 1) << "kept, as the record's rule says";
  baseline_->HddKeyboardChanged = 0;
  EXPECT_TRUE(testing::AllFlagsClear(*baseline_));
  EXPECT_EQ(FromFixed(baseline_->profiles[0].ProFileName), u"Monitor 0");
  EXPECT_EQ(baseline_->CurrentProfile, 1);
  EXPECT_EQ(std::memcmp(&s, before.get(), sizeof(SettingsRecord)), 0);
  EXPECT_FALSE(fs::exists(data_ / L"config.ini")) << "start-up writes no stored file";
}

TEST_F(MonitorLinkTest, StartupWithoutASectionUsesTheStoredFilesOrFactoryDefaults) {
  auto stored = StoreFiles(/*current=*/7);  // out of range: the slot in use is 0
  StartupRecord start = link_->LoadStartupRecord();
  EXPECT_FALSE(start.from_monitor);
  EXPECT_FALSE(link_->open());
  stored->CurrentProfile = 0;
  EXPECT_TRUE(SameProfiles(*baseline_, *stored));
  EXPECT_EQ(std::memcmp(live_.get(), baseline_.get(), sizeof(SettingsRecord)), 0);

  fs::remove_all(data_);
  start = link_->LoadStartupRecord();
  EXPECT_FALSE(start.from_monitor);
  auto factory = FactoryRecord();
  EXPECT_EQ(std::memcmp(baseline_->profiles, factory->profiles, sizeof factory->profiles), 0);
  EXPECT_EQ(baseline_->CurrentProfile, 0);
}

TEST_F(MonitorLinkTest, StartupReportsAnUnpluggedKeyboard) {
  {
    PeloxProcess pelox(L"--unplugged --data=" + data_.wstring());
    ASSERT_TRUE(pelox.WaitForWindow());
    const StartupRecord start = link_->LoadStartupRecord();
    EXPECT_TRUE(start.from_monitor);
    EXPECT_FALSE(start.keyboard_plugged);
  }
  link_ = std::make_unique<MonitorLink>(host_, LinkStores{*live_, *baseline_, macros_, data_});
  // A section without its mutex: the copy is skipped, the record stays
  // reset, and a reset record has no keyboard.
  ThreadMonitor no_mutex({.plugged = 1, .window = false, .mutex = false}, data_);
  const StartupRecord start = link_->LoadStartupRecord();
  EXPECT_TRUE(start.from_monitor);
  EXPECT_FALSE(start.keyboard_plugged);
  EXPECT_FALSE(link_->has_mutex());
}

TEST_F(MonitorLinkTest, StartupWithAStuckMutexGivesUpInTimeAndUsesTheStoredFiles) {
  auto stored = StoreFiles();
  ThreadMonitor monitor({}, data_);
  {
    MutexHolder holder(MutexHolder::kHold, 1500);
    ASSERT_TRUE(holder.held());
    const DWORD start = GetTickCount();
    const StartupRecord s = link_->LoadStartupRecord();
    const DWORD took = GetTickCount() - start;
    EXPECT_FALSE(s.from_monitor);
    EXPECT_GE(took, 250u);
    EXPECT_LT(took, 1200u) << "bounded by the mutex limit, not by the holder";
    EXPECT_TRUE(SameProfiles(*baseline_, *stored));
  }
  // The view stays: once the mutex is free, an apply publishes.
  EXPECT_TRUE(link_->open());
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return monitor.count() == 1; }));
  EXPECT_EQ(FromFixed(monitor.notice(0).section->profiles[0].ProFileName), u"Stored 0");
}

TEST_F(MonitorLinkTest, AnAbandonedMutexCountsAsTakenAtStartupAndAtApply) {
  ThreadMonitor monitor({}, data_);
  {
    MutexHolder gone(MutexHolder::kAbandon);
    ASSERT_TRUE(gone.held());
  }
  EXPECT_TRUE(link_->LoadStartupRecord().from_monitor);
  EXPECT_EQ(FromFixed(baseline_->profiles[2].ProFileName), u"Monitor 2");
  EXPECT_TRUE(MutexFreeElsewhere()) << "released after the copy";

  {
    MutexHolder gone(MutexHolder::kAbandon);
    ASSERT_TRUE(gone.held());
  }
  ActiveSlot(*live_).LtEffectType = 4;
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return monitor.count() == 1; }));
  EXPECT_EQ(monitor.notice(0).section->profiles[1].LtEffectType, 4);
  EXPECT_TRUE(monitor.notice(0).mutex_free);
  EXPECT_TRUE(MutexFreeElsewhere());
}

TEST_F(MonitorLinkTest, AShortSectionIsNeverReadOrWritten) {
  auto stored = StoreFiles();
  ThreadMonitor monitor({.section_size = 4096}, data_);
  EXPECT_FALSE(link_->LoadStartupRecord().from_monitor);
  EXPECT_TRUE(SameProfiles(*baseline_, *stored));
  link_->ApplySetting(0);  // must not write past the 4096 bytes
  EXPECT_TRUE(link_->last_outcome().not_published);
  host_.window.PumpFor(200);
  EXPECT_EQ(monitor.count(), 0u) << "no notice for a copy that was not made";
}

// ---- Apply ----------------------------------------------------------------

// A monitor slower than the start-up, and one that started again: each is
// linked at the next apply and gets the whole record, every flag raised.
TEST_F(MonitorLinkTest, AMonitorThatCameLateOrAgainGetsTheWholeRecordAtTheNextApply) {
  auto stored = StoreFiles();
  EXPECT_FALSE(link_->LoadStartupRecord().from_monitor);
  live_->profiles[2].LtEffectType = 4;
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start ? "started again" : "came late");
    ThreadMonitor monitor({}, data_);
    link_->ApplySetting(0);
    ASSERT_TRUE(Pump([&] { return monitor.count() == 1; }));
    const SettingsRecord& s = *monitor.notice(0).section;
    EXPECT_EQ(s.profiles[2].LtEffectType, 4);
    EXPECT_EQ(FromFixed(s.profiles[0].ProFileName), u"Stored 0") << "our record, not its seed";
    for (int p = 0; p < kProfileCount; ++p) {
      EXPECT_EQ(s.LightingChanged[p], 1) << p;
      EXPECT_EQ(s.StandardKeyChanged[p], 1) << p;
      EXPECT_EQ(s.DefaultsRestored[p], 0) << p;
    }
    EXPECT_TRUE(link_->last_outcome().ok());
    ASSERT_TRUE(Pump([&] { return host_.closes.size() == static_cast<size_t>(start + 1); }));
  }
}

TEST_F(MonitorLinkTest, ApplyPublishesTheWholeRecordWithItsFlagsBeforeTheNotice) {
  ThreadMonitor monitor({}, data_);
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
  // A macro key whose events are stale: the apply refreshes it from the
  // library file before the copy.
  MacroLibrary library;
  auto macro = std::make_unique<MacroRecord>();
  ToFixed(macro->name, u"Hello");
  macro->eventCount = 2;
  macro->events[0] = {0x0B, 1, 20};
  macro->events[1] = {0x0B, 2, 0};
  library.push_back(std::move(macro));
  ASSERT_TRUE(SaveMacroLibrary(library, data_ / kMacroFileName));
  KeyAssignment& key = live_->profiles[0].MacroKeyInfo[2];
  key.actionType = kActionTypeMacro;
  ToFixed(key.macroName, u"Hello");
  live_->profiles[1].LtEffectType = 3;
  live_->profiles[3].standardkey[5] = 0;
  live_->CurrentProfile = 3;

  auto expected = std::make_unique<SettingsRecord>(*live_);
  ScanChanges(*expected, *baseline_);
  RefreshMacroAssignments(library, *expected, data_ / kMacroFileName);
  ASSERT_EQ(expected->profiles[0].MacroKeyInfo[2].eventCount, 2);

  link_->ApplySetting(0);
  EXPECT_TRUE(testing::AllFlagsClear(*live_)) << "flags cleared after the copy";
  EXPECT_EQ(std::memcmp(live_.get(), baseline_.get(), sizeof(SettingsRecord)), 0);
  ASSERT_TRUE(Pump([&] { return monitor.count() == 1; }));
  const ThreadMonitor::Notice n = monitor.notice(0);
  EXPECT_EQ(n.wp, 0u);
  EXPECT_EQ(n.lp, 0);
  EXPECT_TRUE(n.mutex_free) << "the notice comes after the release";
  EXPECT_TRUE(n.files_saved) << "the notice comes after the files";
  EXPECT_EQ(std::memcmp(n.section.get(), expected.get(), sizeof(SettingsRecord)), 0)
      << "the section holds all 107,576 bytes of the scanned record";
  EXPECT_EQ(n.section->LightingChanged[1], 1);
  EXPECT_EQ(n.section->StandardKeyChanged[3], 1);
  EXPECT_EQ(n.section->CurrentProfileChanged, 1);
  EXPECT_EQ(host_.refreshes, 1);
  ASSERT_TRUE(Pump([&] { return host_.closes.size() == 1; })) << "the answer closes the window";
  EXPECT_FALSE(link_->awaiting_ack());

  // A second apply without edits publishes every flag 0.
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return monitor.count() == 2 && host_.closes.size() == 2; }));
  EXPECT_TRUE(testing::AllFlagsClear(*monitor.notice(1).section));
  EXPECT_TRUE(SameProfiles(*monitor.notice(1).section, *expected));
}

TEST_F(MonitorLinkTest, RestoreRequestPublishesEveryMarkedFlagWithModeOne) {
  ThreadMonitor monitor({}, data_);
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
  live_->profiles[2].HDDKeyboard = 0;  // the last scan sees it...
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return monitor.count() == 1 && host_.closes.size() == 1; }));
  ASSERT_EQ(monitor.notice(0).section->HddKeyboardChanged, 1);
  live_->ProfileImported[2] = 1;  // ...and a profile was imported since
  live_->profiles[1].PollingRate = 2;
  host_.refreshes = 0;

  PostMessageW(host_.window.hwnd(), WM_APPLY_ALL_SETTING, 1, 2);  // the waiting window's request
  ASSERT_TRUE(Pump([&] { return monitor.count() == 2; }));
  const ThreadMonitor::Notice n = monitor.notice(1);
  EXPECT_EQ(n.wp, 1u);
  const SettingsRecord& s = *n.section;
  for (int p = 0; p < kFlagEntries; ++p) {
    EXPECT_EQ(s.LightingChanged[p], 1) << p;
    EXPECT_EQ(s.StandardKeyChanged[p], 1) << p;
    EXPECT_EQ(s.ModifyKeyChanged[p], 1) << p;
    EXPECT_EQ(s.DefaultsRestored[p], 1) << p;
    EXPECT_EQ(s.AdvancedChanged[p], 1) << p;
    for (int k = 0; k < kKeyAssignments; ++k) ASSERT_EQ(s.MacroKeyInfoChanged[p][k], 1) << p;
    EXPECT_EQ(s.ProfileImported[p], p == 2 ? 1 : 0) << p;
  }
  EXPECT_EQ(s.CurrentProfileChanged, 1);
  EXPECT_EQ(s.HddKeyboardChanged, 1) << "the last scan's value";
  auto factory = FactoryRecord();
  EXPECT_EQ(std::memcmp(s.profiles, factory->profiles, sizeof s.profiles), 0);
  EXPECT_EQ(host_.refreshes, 2) << "once after the reset, once after the publication";
}

TEST_F(MonitorLinkTest, NotifyProfilePostsTheProfileAndLeavesTheSectionAlone) {
  ThreadMonitor monitor({}, data_);
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
  auto before = std::make_unique<SettingsRecord>(monitor.section());
  live_->CurrentProfile = 3;
  link_->NotifyProfile(3);
  ASSERT_TRUE(Pump([&] { return monitor.count() == 1; }));
  EXPECT_EQ(monitor.notice(0).wp, 2u);
  EXPECT_EQ(monitor.notice(0).lp, 3);
  EXPECT_EQ(std::memcmp(monitor.notice(0).section.get(), before.get(), sizeof(SettingsRecord)), 0);
  EXPECT_FALSE(link_->awaiting_ack());
}

TEST_F(MonitorLinkTest, IncomingNoticesSwitchProfileAndLightingAndIgnoreTheRest) {
  ThreadMonitor monitor({}, data_);
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
  HWND me = host_.window.hwnd();
  auto post = [&](WPARAM wp, LPARAM lp) {
    const size_t n = host_.window.received.size();
    PostMessageW(me, WM_APPLY_ALL_SETTING, wp, lp);
    ASSERT_TRUE(Pump([&] { return host_.window.received.size() > n; }));
  };

  post(2, 20);
  EXPECT_EQ(live_->CurrentProfile, 2);
  EXPECT_EQ(host_.shown_profile, 2);
  EXPECT_EQ(host_.refreshes, 1);
  post(7, 20);  // no such profile
  EXPECT_EQ(live_->CurrentProfile, 2);
  EXPECT_EQ(host_.refreshes, 1);

  const std::pair<WPARAM, int> lighting[] = {{1, 2}, {2, 5}, {3, 3}, {4, 4}, {9, 1}, {0, 1}};
  for (auto [code, mode] : lighting) {
    post(code, 30);
    EXPECT_EQ(live_->profiles[2].LtEffectType, mode) << code;
  }
  EXPECT_EQ(host_.lighting_refreshes, 6);

  // Held while the host says so (a dialog edits the profile), in order.
  host_.hold = true;
  post(3, 20);
  post(1, 30);
  EXPECT_EQ(live_->CurrentProfile, 2);
  host_.hold = false;
  link_->ReleaseHeldNotices();
  EXPECT_EQ(live_->CurrentProfile, 3);
  EXPECT_EQ(live_->profiles[3].LtEffectType, 2);
  post(2, 20);

  // A notice sent rather than posted never reaches the link.
  SendMessageW(me, WM_APPLY_ALL_SETTING, 0, 20);
  EXPECT_EQ(live_->CurrentProfile, 2);
  // Unknown commands, an unknown request, and an acknowledgement while no
  // apply waits: nothing happens, nothing is published.
  auto before = std::make_unique<SettingsRecord>(*live_);
  post(0, 99);
  post(5, 2);
  post(0, 1);
  host_.accept_requests = false;  // a request no waiting window made
  post(1, 2);
  post(0, 2);
  EXPECT_EQ(std::memcmp(before.get(), live_.get(), sizeof(SettingsRecord)), 0);
  EXPECT_TRUE(host_.closes.empty());
  EXPECT_EQ(monitor.count(), 0u);
}

TEST_F(MonitorLinkTest, ApplyWithoutAMonitorWindowSavesEverythingAndTimerOneCloses) {
  // A section without a window: the no-monitor road must not write it.
  ThreadMonitor section_only({.window = false}, data_);
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
  auto before = std::make_unique<SettingsRecord>(section_only.section());
  live_->profiles[0].iResponTime = 8;
  live_->ProfileImported[0] = 1;

  const DWORD start = GetTickCount();
  link_->ApplySetting(0);
  for (const wchar_t* f : {L"config.ini", L"config\\Default0.gkp", L"config\\Default1.gkp",
                           L"config\\Default2.gkp", L"config\\Default3.gkp", L"sequence.dat"}) {
    EXPECT_TRUE(fs::exists(data_ / f)) << fs::path(f);
  }
  EXPECT_EQ(std::memcmp(live_.get(), baseline_.get(), sizeof(SettingsRecord)), 0);
  EXPECT_EQ(live_->ProfileImported[0], 0);
  EXPECT_TRUE(host_.closes.empty());
  ASSERT_TRUE(Pump([&] { return !host_.closes.empty(); }));
  EXPECT_GE(host_.closes[0] - start, 90u);
  EXPECT_EQ(std::memcmp(&section_only.section(), before.get(), sizeof(SettingsRecord)), 0);
  host_.window.PumpFor(250);
  EXPECT_EQ(host_.closes.size(), 1u) << "timer 1 is a one-shot";
  EXPECT_FALSE(link_->awaiting_ack());
}

TEST_F(MonitorLinkTest, ApplyWithAStuckMutexSavesButPublishesNothingAndKeepsTheChangesPending) {
  ThreadMonitor monitor({}, data_);
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
  auto before = std::make_unique<SettingsRecord>(monitor.section());
  live_->profiles[1].LtEffectType = 4;
  {
    MutexHolder holder(MutexHolder::kHold, 1500);
    ASSERT_TRUE(holder.held());
    const DWORD start = GetTickCount();
    link_->ApplySetting(0);
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 250u);
    EXPECT_LT(took, 1200u);
    ProfileSlot saved{};
    LoadProfileFile(saved, data_ / L"config" / L"Default1.gkp");
    EXPECT_EQ(saved.LtEffectType, 4) << "the edit is on disk";
    EXPECT_TRUE(fs::exists(data_ / L"sequence.dat"));
    ASSERT_TRUE(Pump([&] { return !host_.closes.empty(); }));
    EXPECT_GE(host_.closes[0] - start, took + 90u) << "closed by timer 1";
    EXPECT_EQ(monitor.count(), 0u) << "no notice without a copy";
    EXPECT_FALSE(link_->awaiting_ack());
    EXPECT_TRUE(link_->last_outcome().not_published) << "the user is told";
  }
  EXPECT_EQ(std::memcmp(&monitor.section(), before.get(), sizeof(SettingsRecord)), 0);
  EXPECT_EQ(baseline_->profiles[1].LtEffectType, before->profiles[1].LtEffectType)
      << "the baseline is still what was last published";
  // The next apply reports the change the skipped one could not.
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return monitor.count() == 1; }));
  EXPECT_EQ(monitor.notice(0).section->LightingChanged[1], 1);
  EXPECT_EQ(monitor.notice(0).section->profiles[1].LtEffectType, 4);
}

TEST_F(MonitorLinkTest, WithoutAMutexNothingIsCopiedNoNoticeGoesAndTheChangesStayPending) {
  ThreadMonitor monitor({.mutex = false}, data_);
  link_->LoadStartupRecord();
  auto before = std::make_unique<SettingsRecord>(monitor.section());
  live_->profiles[0].LtEffectType = 4;
  link_->ApplySetting(0);
  EXPECT_TRUE(link_->last_outcome().not_published);
  EXPECT_TRUE(link_->last_outcome().failed.empty()) << "the files were saved";
  EXPECT_EQ(live_->LightingChanged[0], 1) << "pending for the next apply";
  ASSERT_TRUE(Pump([&] { return !host_.closes.empty(); }));  // timer 1
  EXPECT_EQ(monitor.count(), 0u);
  EXPECT_EQ(std::memcmp(&monitor.section(), before.get(), sizeof(SettingsRecord)), 0);
}

// ---- Acknowledgements -----------------------------------------------------

TEST_F(MonitorLinkTest, AMissingAcknowledgementClosesTheWaitingWindowAfterTheLimit) {
  ThreadMonitor monitor({.ack = false}, data_);
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
  const DWORD start = GetTickCount();
  link_->ApplySetting(0);
  EXPECT_TRUE(link_->awaiting_ack());
  ASSERT_TRUE(Pump([&] { return !host_.closes.empty(); }));
  EXPECT_GE(host_.closes[0] - start, 290u);
  EXPECT_FALSE(link_->awaiting_ack());
  host_.window.PumpFor(400);
  EXPECT_EQ(host_.closes.size(), 1u);
}

TEST_F(MonitorLinkTest, PeloxAcknowledgesOrNotAsItsOptionsSay) {
  {
    PeloxProcess pelox(L"--data=" + data_.wstring());
    ASSERT_TRUE(pelox.WaitForWindow());
    ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
    link_->timing.ack_wait_ms = 3000;
    const DWORD start = GetTickCount();
    link_->ApplySetting(0);
    ASSERT_TRUE(Pump([&] { return !host_.closes.empty(); }));
    EXPECT_LT(host_.closes[0] - start, 1500u) << "closed by the acknowledgement";
  }
  link_ = std::make_unique<MonitorLink>(host_, LinkStores{*live_, *baseline_, macros_, data_});
  link_->timing = {0, 100, 300, 300};
  host_.closes.clear();
  PeloxProcess silent(L"--no-ack --data=" + data_.wstring());
  ASSERT_TRUE(silent.WaitForWindow());
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
  const DWORD start = GetTickCount();
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return !host_.closes.empty(); }));
  EXPECT_GE(host_.closes[0] - start, 290u) << "closed by timer 2";
}

// Pelox answers 400 ms late; the first apply gives up after 150 ms. Its
// answer must not close the next apply's waiting window, whether it comes
// before or during that apply.
TEST_F(MonitorLinkTest, ALateAcknowledgementNeverClosesTheNextWaitingWindow) {
  PeloxProcess pelox(L"--ack-delay=400 --data=" + data_.wstring());
  ASSERT_TRUE(pelox.WaitForWindow());
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);

  // During: the second apply's notice is out before the first answer comes.
  link_->timing.ack_wait_ms = 150;
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return host_.closes.size() == 1; }));
  link_->timing.ack_wait_ms = 3000;
  const DWORD second = GetTickCount();
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return host_.closes.size() == 2; }));
  EXPECT_GE(host_.closes[1] - second, 350u) << "closed by its own answer, not the late one";
  EXPECT_LT(host_.closes[1] - second, 2500u) << "and not by the time limit either";

  // Before: the late answer arrives between two applies.
  link_->timing.ack_wait_ms = 150;
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return host_.closes.size() == 3; }));
  host_.window.PumpFor(500);
  EXPECT_EQ(host_.closes.size(), 3u);
  link_->timing.ack_wait_ms = 3000;
  const DWORD fourth = GetTickCount();
  link_->ApplySetting(0);
  ASSERT_TRUE(Pump([&] { return host_.closes.size() == 4; }));
  EXPECT_GE(host_.closes[3] - fourth, 350u);
  EXPECT_LT(host_.closes[3] - fourth, 2500u);
}

TEST_F(MonitorLinkTest, ALostAcknowledgementCostsOneWaitNotEveryWaitAfter) {
  ThreadMonitor monitor({.acks_to_drop = 1}, data_);
  ASSERT_TRUE(link_->LoadStartupRecord().from_monitor);
  DWORD start = GetTickCount();
  link_->ApplySetting(0);  // never answered: closed by timer 2
  ASSERT_TRUE(Pump([&] { return host_.closes.size() == 1; }));
  EXPECT_GE(host_.closes[0] - start, 290u);
  start = GetTickCount();
  link_->ApplySetting(0);  // its answer is taken for the lost one
  ASSERT_TRUE(Pump([&] { return host_.closes.size() == 2; }));
  EXPECT_GE(host_.closes[1] - start, 290u);
  link_->timing.ack_wait_ms = 3000;  // far from an answer's time, even on a busy machine
  start = GetTickCount();
  link_->ApplySetting(0);  // back to normal
  ASSERT_TRUE(Pump([&] { return host_.closes.size() == 3; }));
  EXPECT_LT(host_.closes[2] - start, 2500u) << "closed by its answer, not the time limit";
}

// ---- Launch ---------------------------------------------------------------

TEST_F(MonitorLinkTest, LaunchStartsPeloxFromTheConfiguratorsFolderOnlyWhenNoneRuns) {
  // Beside this test exe sits a stand-in Pelox.exe that only leaves a
  // marker in VANTREL_DATA_DIR: a launch shows even when it ends at once.
  SetEnvironmentVariableW(L"VANTREL_DATA_DIR", data_.c_str());
  const fs::path marker = data_ / L"pelox_started";
  {
    ThreadMonitor running({}, data_);
    link_->LaunchMonitor();
    host_.window.PumpFor(500);
    EXPECT_FALSE(fs::exists(marker)) << "a monitor already runs";
  }
  link_->LaunchMonitor();
  EXPECT_TRUE(Pump([&] { return fs::exists(marker); }, 10000)) << "this exe's own folder";

  // The real Pelox.exe beside a configurator in another folder.
  const fs::path app = testing::ScratchDir(L"app");
  link_->executable_path = (app / L"Tevrin.exe").wstring();
  link_->LaunchMonitor();  // no Pelox.exe there: nothing, and no message box
  host_.window.PumpFor(300);
  EXPECT_EQ(FindWindowW(nullptr, monitor::kMonitorTitle), nullptr);
  fs::copy_file(fs::path(VANTREL_DIST_DIR L"Pelox.exe").make_preferred(), app / L"Pelox.exe");
  link_->LaunchMonitor();
  ASSERT_TRUE(Pump([&] { return FindWindowW(nullptr, monitor::kMonitorTitle) != nullptr; }, 10000));
  const std::wstring image = EndMonitorProcess();
  EXPECT_TRUE(fs::equivalent(fs::path(image), app / L"Pelox.exe")) << fs::path(image);
}

}  // namespace
}  // namespace vantrel::shell
