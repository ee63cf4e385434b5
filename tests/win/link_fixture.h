// Shared by the monitor link and companion tests: scratch folders, the real
// Pelox.exe of the runnable folder as a second process, a window titled
// "Vantrel" that plays the configurator's receiving end, and access to the
// section under the real names.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/monitor_protocol.h"
#include "model/settings_record.h"

namespace vantrel::testing {

inline constexpr UINT kNotice = monitor::WM_APPLY_ALL_SETTING;  // message 1224

// <VANTREL_TEST_TMP>\<exe name>\<name>\, emptied and created.
std::filesystem::path ScratchDir(const std::wstring& name);

// The file's bytes; empty when missing.
std::string FileBytes(const std::filesystem::path& path);

// Pelox.exe started with `arguments`; closed (or, failing that, ended) when
// the object goes. Every test also ends monitors it did not start itself.
class PeloxProcess {
 public:
  explicit PeloxProcess(const std::wstring& arguments,
                        const std::wstring& exe = L"" /* default: the runnable folder's */);
  ~PeloxProcess();
  PeloxProcess(const PeloxProcess&) = delete;
  PeloxProcess& operator=(const PeloxProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  // Its "Vantrel Monitor" window once it is up (the section is seeded by
  // then), or nullptr after `limit_ms`.
  HWND WaitForWindow(DWORD limit_ms = 10000);
  // Exit code once it ended within `limit_ms`, or STILL_ACTIVE.
  DWORD WaitForExit(DWORD limit_ms);

 private:
  HANDLE process_ = nullptr;
};

// Ends whatever process owns a "Vantrel Monitor" window (left over by a
// failed test, or started by the shell) and returns its exe path.
std::wstring EndMonitorProcess();

// A test with the real Pelox.exe: fresh data and log folders, and no
// monitor left running before or after it.
class MonitorProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EndMonitorProcess();
    data_ = ScratchDir(L"data");
    log_ = ScratchDir(L"log");
  }
  void TearDown() override { EndMonitorProcess(); }

  // Pelox.exe's options for these folders, then `extra`.
  std::wstring Args(const std::wstring& extra = L"") const {
    return L"--data=" + data_.wstring() + L" --log=" + log_.wstring() + L" " + extra;
  }
  std::string Log() const { return FileBytes(log_ / L"pelox.log"); }

  std::filesystem::path data_, log_;
};

// Message 1224 as a configurator window receives it.
struct Received {
  WPARAM wp;
  LPARAM lp;
  DWORD tick;
};

// A hidden top-level window titled "Vantrel": where the monitor posts its
// notices. Posted 1224 messages are recorded (and handed to `on_notice`)
// before dispatch; the window procedure itself ignores 1224, so a message
// sent rather than posted is never seen. WM_TIMER goes to `on_timer`.
class ConfiguratorWindow {
 public:
  ConfiguratorWindow();
  ~ConfiguratorWindow();
  HWND hwnd() const { return hwnd_; }

  std::vector<Received> received;
  std::function<void(WPARAM, LPARAM)> on_notice;
  std::function<void(UINT_PTR)> on_timer;

  // Pumps this thread's messages until `done` or `limit_ms`; returns done().
  bool PumpUntil(const std::function<bool()>& done, DWORD limit_ms = 5000);
  void PumpFor(DWORD ms);

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
};

// The record in the section, copied under the mutex; false when the
// section or the mutex is missing or the mutex stays busy for 2 s.
bool ReadSection(SettingsRecord& record);
bool WriteSection(const SettingsRecord& record);

std::unique_ptr<SettingsRecord> FactoryRecord();

// The four slots, CurrentProfile and KeyboardPlugIn, byte for byte.
::testing::AssertionResult SameProfiles(const SettingsRecord& a, const SettingsRecord& b);

// Every change flag of the trailer (KeyboardPlugIn excluded) is 0.
bool AllFlagsClear(const SettingsRecord& r);

}  // namespace vantrel::testing
