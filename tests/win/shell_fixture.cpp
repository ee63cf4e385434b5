#include "shell_fixture.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "shell/data_directory.h"
#include "shell/wait_dialog.h"
#include "win/win_util.h"

namespace vantrel::testing {
namespace fs = std::filesystem;

fs::path PrepareShellTest() {
  static const fs::path dir = [] {
    wchar_t tmp[MAX_PATH]{};
    GetEnvironmentVariableW(L"VANTREL_TEST_TMP", tmp, MAX_PATH);
    wchar_t exe[MAX_PATH]{};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    fs::path d = fs::path(tmp[0] ? tmp : L"C:\\windows\\temp") / fs::path(exe).stem();
    SetEnvironmentVariableW(L"VANTREL_DATA_DIR", d.wstring().c_str());
    win::SetApplicationDirectory(VANTREL_DIST_DIR);
    return d;
  }();
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir, ec);
  EXPECT_EQ(fs::path(shell::DataDirectory()), dir / L"");
  return dir;
}

namespace {
FakeMonitor* g_monitor = nullptr;
Script* g_script = nullptr;
}  // namespace

FakeMonitor::FakeMonitor(std::int32_t keyboard_plugged, bool ack) : acknowledge(ack) {
  mutex_ = CreateMutexW(nullptr, FALSE, monitor::kMutexName);
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                sizeof(SettingsRecord), monitor::kSectionName);
  view_ = MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  SettingsRecord& r = section();
  ResetRecord(r);
  ApplyFactoryDefaultsAll(r);
  r.CurrentProfile = 1;
  r.KeyboardPlugIn = keyboard_plugged;
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FakeVantrelMonitor";
  RegisterClassW(&wc);
  g_monitor = this;
  hwnd_ = CreateWindowExW(0, wc.lpszClassName, monitor::kMonitorTitle, WS_POPUP, 0, 0, 10, 10,
                          nullptr, nullptr, wc.hInstance, nullptr);
}

FakeMonitor::~FakeMonitor() {
  DestroyWindow(hwnd_);
  g_monitor = nullptr;
  UnmapViewOfFile(view_);
  CloseHandle(mapping_);
  CloseHandle(mutex_);
}

LRESULT CALLBACK FakeMonitor::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == shell::WM_APPLY_ALL_SETTING && g_monitor) {
    FakeMonitor& m = *g_monitor;
    std::error_code ec;
    m.notices.push_back({wp, lp, m.section().CurrentProfile,
                         fs::exists(fs::path(shell::DataDirectory()) / L"config.ini", ec)});
    if (lp == 0 && m.acknowledge) {
      PostMessageW(FindWindowW(nullptr, L"Vantrel"), shell::WM_APPLY_ALL_SETTING, 0, 1);
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

Script::Script(std::deque<std::function<bool()>> steps, UINT limit_ms)
    : steps_(std::move(steps)), deadline_(GetTickCount() + limit_ms) {
  g_script = this;
  timer_ = SetTimer(nullptr, 0, 15, Tick);
}

Script::~Script() {
  KillTimer(nullptr, timer_);
  g_script = nullptr;
}

void CALLBACK Script::Tick(HWND, UINT, UINT_PTR, DWORD) {
  Script* s = g_script;
  if (!s) return;
  if (static_cast<int>(GetTickCount() - s->deadline_) > 0) {
    ADD_FAILURE() << "script stuck with " << s->steps_.size() << " steps left";
    s->steps_.clear();
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM) {
          PostMessageW(h, WM_CLOSE, 0, 0);
          return TRUE;
        },
        0);
    return;
  }
  // A step may open a modal dialog whose loop calls us again: take it out
  // of the queue before running it.
  if (s->steps_.empty()) return;
  auto step = std::move(s->steps_.front());
  s->steps_.pop_front();
  if (!step()) s->steps_.push_front(std::move(step));
}

win::Dialog* FindOpenDialog(HWND except) {
  struct Search {
    HWND except;
    win::Dialog* found;
  } search{except, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM lp) {
        auto* s = reinterpret_cast<Search*>(lp);
        if (h == s->except || !IsWindowVisible(h)) return TRUE;
        if (auto* d = dynamic_cast<win::Dialog*>(win::Window::FromHandle(h))) {
          if (d->is_modal_running()) s->found = d;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Click(HWND parent, HWND button) {
  PostMessageW(parent, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void DrainQuit() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace vantrel::testing
