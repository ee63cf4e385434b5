#include "link_fixture.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace vantrel::testing {
namespace fs = std::filesystem;

namespace {

using monitor::kMutexName;
using monitor::kSectionName;

std::wstring ExeStem() {
  wchar_t exe[MAX_PATH]{};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  return fs::path(exe).stem().wstring();
}

ConfiguratorWindow* g_window = nullptr;

}  // namespace

fs::path ScratchDir(const std::wstring& name) {
  wchar_t tmp[MAX_PATH]{};
  GetEnvironmentVariableW(L"VANTREL_TEST_TMP", tmp, MAX_PATH);
  fs::path dir = fs::path(tmp[0] ? tmp : L"C:\\windows\\temp") / ExeStem() / name;
  dir.make_preferred();
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir, ec);
  return dir / L"";
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

PeloxProcess::PeloxProcess(const std::wstring& arguments, const std::wstring& exe) {
  std::wstring path = exe.empty() ? std::wstring(VANTREL_DIST_DIR) + L"Pelox.exe" : exe;
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  std::wstring command = L"\"" + path + L"\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi)) {
    ADD_FAILURE() << "Pelox.exe did not start, error " << GetLastError();
    return;
  }
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
}

PeloxProcess::~PeloxProcess() {
  if (!process_) return;
  DWORD pid = GetProcessId(process_);
  // Close its own window first so it ends the way a user ends it.
  for (HWND w = FindWindowW(nullptr, monitor::kMonitorTitle); w;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid) PostMessageW(w, WM_CLOSE, 0, 0);
    w = FindWindowExW(nullptr, w, nullptr, monitor::kMonitorTitle);
  }
  if (WaitForSingleObject(process_, 3000) != WAIT_OBJECT_0) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 3000);
  }
  CloseHandle(process_);
}

HWND PeloxProcess::WaitForWindow(DWORD limit_ms) {
  const DWORD start = GetTickCount();
  const DWORD pid = process_ ? GetProcessId(process_) : 0;
  do {
    for (HWND w = FindWindowW(nullptr, monitor::kMonitorTitle); w;
         w = FindWindowExW(nullptr, w, nullptr, monitor::kMonitorTitle)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      // Shown only after WM_CREATE made its buttons.
      if (owner == pid && IsWindowVisible(w)) return w;
    }
    Sleep(10);
  } while (GetTickCount() - start < limit_ms);
  return nullptr;
}

DWORD PeloxProcess::WaitForExit(DWORD limit_ms) {
  if (!process_ || WaitForSingleObject(process_, limit_ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::wstring EndMonitorProcess() {
  std::wstring path;
  for (int round = 0; round < 8; ++round) {
    // In-process stand-ins are left to the test that made them.
    DWORD pid = 0;
    for (HWND w = FindWindowW(nullptr, monitor::kMonitorTitle); w && !pid;
         w = FindWindowExW(nullptr, w, nullptr, monitor::kMonitorTitle)) {
      GetWindowThreadProcessId(w, &pid);
      if (pid == GetCurrentProcessId()) pid = 0;
    }
    if (!pid) break;
    HANDLE p = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE,
                           FALSE, pid);
    if (!p) break;
    wchar_t image[MAX_PATH]{};
    DWORD n = MAX_PATH;
    if (QueryFullProcessImageNameW(p, 0, image, &n)) path = image;
    TerminateProcess(p, 1);
    WaitForSingleObject(p, 3000);
    CloseHandle(p);
  }
  return path;
}

ConfiguratorWindow::ConfiguratorWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VantrelTestConfigurator";
  RegisterClassW(&wc);
  hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"Vantrel", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                          wc.hInstance, nullptr);
  g_window = this;
}

ConfiguratorWindow::~ConfiguratorWindow() {
  g_window = nullptr;
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK ConfiguratorWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && g_window && g_window->on_timer) {
    g_window->on_timer(wp);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool ConfiguratorWindow::PumpUntil(const std::function<bool()>& done, DWORD limit_ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= limit_ms) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // The configurator's pre-dispatch filter: posted notices only.
      if (msg.hwnd == hwnd_ && msg.message == kNotice) {
        received.push_back({msg.wParam, msg.lParam, GetTickCount()});
        if (on_notice) on_notice(msg.wParam, msg.lParam);
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (done()) return true;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

void ConfiguratorWindow::PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

namespace {

template <typename F>
bool WithSection(F&& copy) {
  HANDLE mutex = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kMutexName);
  HANDLE section = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kSectionName);
  void* view = section ? MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr;
  bool ok = false;
  if (mutex && view) {
    const DWORD r = WaitForSingleObject(mutex, 2000);
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {
      copy(static_cast<SettingsRecord*>(view));
      ReleaseMutex(mutex);
      ok = true;
    }
  }
  if (view) UnmapViewOfFile(view);
  if (section) CloseHandle(section);
  if (mutex) CloseHandle(mutex);
  return ok;
}

}  // namespace

bool ReadSection(SettingsRecord& record) {
  return WithSection([&](SettingsRecord* s) { std::memcpy(&record, s, sizeof record); });
}

bool WriteSection(const SettingsRecord& record) {
  return WithSection([&](SettingsRecord* s) { std::memcpy(s, &record, sizeof record); });
}

std::unique_ptr<SettingsRecord> FactoryRecord() {
  auto r = std::make_unique<SettingsRecord>();
  ResetRecord(*r);
  ApplyFactoryDefaultsAll(*r);
  return r;
}

::testing::AssertionResult SameProfiles(const SettingsRecord& a, const SettingsRecord& b) {
  if (a.CurrentProfile != b.CurrentProfile) {
    return ::testing::AssertionFailure()
           << "CurrentProfile " << a.CurrentProfile << " vs " << b.CurrentProfile;
  }
  if (a.KeyboardPlugIn != b.KeyboardPlugIn) {
    return ::testing::AssertionFailure()
           << "KeyboardPlugIn " << a.KeyboardPlugIn << " vs " << b.KeyboardPlugIn;
  }
  for (int p = 0; p < kProfileCount; ++p) {
    const auto* x = reinterpret_cast<const unsigned char*>(&a.profiles[p]);
    const auto* y = reinterpret_cast<const unsigned char*>(&b.profiles[p]);
    for (size_t i = 0; i < sizeof(ProfileSlot); ++i) {
      if (x[i] != y[i]) {
        return ::testing::AssertionFailure() << "slot " << p << " differs at offset " << i;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

bool AllFlagsClear(const SettingsRecord& r) {
  const auto* begin = reinterpret_cast<const unsigned char*>(&r.MacroKeyInfoChanged);
  const auto* end = reinterpret_cast<const unsigned char*>(&r.KeyboardPlugIn);
  for (const auto* b = begin; b < end; ++b) {
    if (*b) return false;
  }
  return true;
}

}  // namespace vantrel::testing
