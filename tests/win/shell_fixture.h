// Shared by the shell tests: the shipped skin and lang.dll, a scratch data
// folder, a stand-in monitor in this process (its window, section and
// mutex under the real names) and a script of steps run from a thread
// timer while the main window's modal loop runs.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/settings_record.h"
#include "win/dialog.h"

namespace vantrel::testing {

// VANTREL_DATA_DIR and the application directory, once per process; the
// data folder is emptied before every test.
std::filesystem::path PrepareShellTest();

// The monitor as the main window sees it. Records every message 1224 with
// the section's CurrentProfile and whether config.ini existed when it came.
class FakeMonitor {
 public:
  struct Notice {
    WPARAM wp;
    LPARAM lp;
    std::int32_t section_profile;
    bool config_written;
  };
  explicit FakeMonitor(std::int32_t keyboard_plugged = 1, bool acknowledge = true);
  ~FakeMonitor();
  FakeMonitor(const FakeMonitor&) = delete;
  FakeMonitor& operator=(const FakeMonitor&) = delete;

  SettingsRecord& section() { return *static_cast<SettingsRecord*>(view_); }
  std::vector<Notice> notices;
  bool acknowledge;
  std::filesystem::path config_file;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
  HANDLE mutex_ = nullptr, mapping_ = nullptr;
  void* view_ = nullptr;
};

// Steps run in order, one attempt per 15 ms tick; a step returning false
// is tried again. After `limit_ms` every window of the thread gets WM_CLOSE
// and the test fails, so a stuck script cannot hang the run.
class Script {
 public:
  explicit Script(std::deque<std::function<bool()>> steps, UINT limit_ms = 15000);
  ~Script();
  bool finished() const { return steps_.empty(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::deque<std::function<bool()>> steps_;
  UINT_PTR timer_;
  DWORD deadline_;
};

// The visible modal dialog of class T above the main window, or nullptr.
win::Dialog* FindOpenDialog(HWND except);
template <typename T>
T* OpenDialog(HWND except) {
  return dynamic_cast<T*>(FindOpenDialog(except));
}

// A skinned button's click as its parent receives it.
void Click(HWND parent, HWND button);

// Removes a WM_QUIT the OK button left for outer loops.
void DrainQuit();

std::string FileBytes(const std::filesystem::path& path);

}  // namespace vantrel::testing
