// The whole program as a user runs it: Tevrin.exe of the runnable folder and
// the real Pelox.exe as two processes. Start-up launches the monitor from the
// program's own folder, an unplugged keyboard ends the program by itself,
// and Apply then OK reach the monitor before the program ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "link_fixture.h"
#include "model/settings_record.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

const std::wstring kDist = VANTREL_DIST_DIR;

// Tevrin.exe as a second process, with its settings in `data`; ended at the
// latest when the object goes.
class ProgramProcess {
 public:
  explicit ProgramProcess(const fs::path& data, const std::wstring& arguments = L"") {
    SetEnvironmentVariableW(L"VANTREL_DATA_DIR", data.wstring().c_str());
    std::wstring command = L"\"" + kDist + L"Tevrin.exe\" " + arguments;
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
      CloseHandle(pi.hThread);
      process_ = pi.hProcess;
      id_ = pi.dwProcessId;
    }
  }
  ~ProgramProcess() {
    if (process_ && WaitForExit(0) == STILL_ACTIVE) {
      if (HWND w = MainWindow(0)) PostMessageW(w, WM_CLOSE, 0, 0);
      if (WaitForExit(5000) == STILL_ACTIVE) TerminateProcess(process_, 1);
    }
    if (process_) CloseHandle(process_);
  }
  bool started() const { return process_ != nullptr; }

  // Its visible "Vantrel" window, or nullptr after `limit_ms`.
  HWND MainWindow(DWORD limit_ms = 20000) const {
    const DWORD start = GetTickCount();
    do {
      HWND w = nullptr;
      while ((w = FindWindowExW(nullptr, w, nullptr, L"Vantrel")) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == id_ && IsWindowVisible(w)) return w;
      }
      Sleep(20);
    } while (GetTickCount() - start < limit_ms);
    return nullptr;
  }
  DWORD WaitForExit(DWORD limit_ms) const {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process_, limit_ms) == WAIT_OBJECT_0)
      GetExitCodeProcess(process_, &code);
    return code;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// A click on the main window's skinned button whose middle is at (x, y) of
// its client area, as the window receives it (the platform's own click
// needs the mouse capture, which Wine refuses to an inactive window).
void ClickAt(HWND main, int x, int y) {
  HWND button = ChildWindowFromPointEx(main, POINT{x, y}, CWP_SKIPINVISIBLE);
  ASSERT_TRUE(button && button != main) << x << "," << y;
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool WaitFor(const std::function<bool()>& done, DWORD limit_ms = 15000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limit_ms) return false;
    Sleep(20);
  }
  return true;
}

using ProgramTest = MonitorProcessTest;

TEST_F(ProgramTest, StartsTheMonitorFromItsOwnFolder) {
  ProgramProcess program(data_);
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(program.MainWindow());
  ASSERT_TRUE(WaitFor([] { return FindWindowW(nullptr, L"Vantrel Monitor") != nullptr; }));
  const fs::path monitor_exe = EndMonitorProcess();
  EXPECT_TRUE(fs::equivalent(monitor_exe, fs::path(kDist) / L"Pelox.exe")) << monitor_exe;
}

TEST_F(ProgramTest, EndsByItselfWhenTheKeyboardIsUnplugged) {
  PeloxProcess monitor(Args(L"--unplugged"));
  ASSERT_TRUE(monitor.WaitForWindow());
  ProgramProcess program(data_);
  ASSERT_TRUE(program.started());
  EXPECT_NE(program.WaitForExit(20000), STILL_ACTIVE);
}

TEST_F(ProgramTest, ApplyReachesTheMonitorAndOkEndsTheProgram) {
  PeloxProcess monitor(Args());
  ASSERT_TRUE(monitor.WaitForWindow());
  ProgramProcess program(data_);
  HWND main = program.MainWindow();
  ASSERT_TRUE(main);
  // Start-up tells the monitor the active profile.
  ASSERT_TRUE(WaitFor([&] { return Log().find("profile 0") != std::string::npos; })) << Log();

  ClickAt(main, 698 + 76 / 2, 389 + 30 / 2);  // Apply
  ASSERT_TRUE(WaitFor([&] { return Log().find("apply mode=0") != std::string::npos; })) << Log();
  const std::string dump = FileBytes(log_ / L"publish-0001.bin");
  ASSERT_EQ(dump.size(), sizeof(SettingsRecord));
  auto published = std::make_unique<SettingsRecord>();
  std::memcpy(published.get(), dump.data(), dump.size());
  EXPECT_EQ(published->CurrentProfile, 0);
  EXPECT_EQ(published->KeyboardPlugIn, 1);
  EXPECT_TRUE(fs::exists(data_ / L"config.ini"));
  for (int p = 0; p < 4; ++p)
    EXPECT_TRUE(fs::exists(data_ / L"config" / (L"Default" + std::to_wstring(p) + L".gkp")));
  ASSERT_TRUE(WaitFor([&] { return Log().find("ack") != std::string::npos; })) << Log();

  // The acknowledgement closed the waiting window: the main window takes
  // OK again, and OK applies once more and ends the program.
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }));
  ClickAt(main, 530 + 78 / 2, 389 + 30 / 2);  // OK
  EXPECT_EQ(program.WaitForExit(20000), 0u);
  EXPECT_TRUE(fs::exists(log_ / L"publish-0002.bin")) << Log();
}

// The command line: each job against the real monitor, its exit code and
// what it leaves behind; the window never shows.
TEST_F(ProgramTest, CommandLineJobsReachTheMonitorAndTheFiles) {
  auto run = [&](const std::wstring& args) {
    ProgramProcess program(data_, args);
    const DWORD code = program.WaitForExit(20000);
    EXPECT_EQ(program.MainWindow(0), nullptr) << args;
    return code;
  };
  const fs::path backup = data_ / L"all.vbak", exported = data_ / L"three.gkp";
  EXPECT_EQ(run(L"/profile 2"), 3u) << "no monitor runs";
  EXPECT_EQ(run(L"/profile 5"), 1u);
  EXPECT_EQ(run(L"/bogus"), 1u);
  EXPECT_EQ(run(L"/backup"), 1u);
  {
    PeloxProcess monitor(Args());
    ASSERT_TRUE(monitor.WaitForWindow());
    EXPECT_EQ(run(L"-PROFILE 2"), 0u);
    ASSERT_TRUE(WaitFor([&] { return Log().find("profile 1") != std::string::npos; })) << Log();
    EXPECT_EQ(run(L"/backup \"" + backup.wstring() + L"\""), 0u);
    EXPECT_EQ(FileBytes(backup).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(run(L"/export 3 \"" + exported.wstring() + L"\""), 0u);
    EXPECT_TRUE(fs::exists(exported));
    EXPECT_EQ(run(L"/export 2 \"" + (data_ / L"config" / L"Default1.gkp").wstring() + L"\""), 2u)
        << "a stored profile file is no export's target";
    EXPECT_EQ(run(L"/restore \"" + exported.wstring() + L"\""), 2u) << "not a backup";
    EXPECT_EQ(run(L"/restore \"" + backup.wstring() + L"\""), 0u);
    ASSERT_TRUE(WaitFor([&] { return Log().find("apply mode=0") != std::string::npos; })) << Log();
    const std::string dump = FileBytes(log_ / L"publish-0001.bin");
    ASSERT_EQ(dump.size(), sizeof(SettingsRecord));
    auto published = std::make_unique<SettingsRecord>();
    std::memcpy(published.get(), dump.data(), dump.size());
    for (int p = 0; p < 4; ++p) EXPECT_EQ(published->ProfileImported[p], 1) << p;
    EXPECT_TRUE(fs::exists(data_ / L"config" / L"Default3.gkp")) << "the apply saved";
    EXPECT_EQ(run(L"/import 1 \"" + exported.wstring() + L"\""), 0u);
    EXPECT_TRUE(fs::exists(log_ / L"publish-0002.bin"));
  }
  PeloxProcess silent(Args(L"--no-ack"));
  ASSERT_TRUE(silent.WaitForWindow());
  const DWORD start = GetTickCount();
  EXPECT_EQ(run(L"/import 1 \"" + exported.wstring() + L"\""), 3u) << "no answer in time";
  EXPECT_LT(GetTickCount() - start, 12000u);
}

}  // namespace
}  // namespace vantrel::testing
