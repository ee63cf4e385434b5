// Start-up of Tevrin.exe against Wine's own notepad.exe, measured in the
// same run: time from process creation to the main window shown (less
// the fixed 100 ms pause the program makes after launching the monitor),
// and the peak working set once it is up. Medians of several runs.
//   build/windows/bench/startup_bench.exe  (under Wine; ..\dist\Tevrin.exe)
#include <cstdio>

#ifndef _WIN32
int main() {
  std::puts("startup_bench: measures Tevrin.exe under Wine; nothing to do natively");
  return 0;
}
#else
// <windows.h> must come before <psapi.h>.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "bench_timing.h"

namespace {

constexpr int kRuns = 5;
constexpr double kPauseMs = 100.0;

struct Sample {
  double ms = -1;
  double peak_mb = 0;
};

struct Find {
  DWORD pid;
  HWND found;
};

HWND VisibleWindowOf(DWORD pid) {
  Find f{pid, nullptr};
  EnumWindows(
      [](HWND h, LPARAM lp) {
        auto* f = reinterpret_cast<Find*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == f->pid && IsWindowVisible(h) && !GetWindow(h, GW_OWNER)) {
          f->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&f));
  return f.found;
}

// A process started from `command`, timed from just before its creation.
struct Started {
  PROCESS_INFORMATION pi{};
  vantrel::bench::Clock::time_point start = vantrel::bench::Clock::now();
  bool ok = false;
  explicit Started(std::wstring command) {
    STARTUPINFOW si{sizeof si};
    ok = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi) != FALSE;
  }
  ~Started() {
    if (!ok) return;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  double Ms() const { return vantrel::bench::MillisecondsSince(start); }
};

Sample Measure(std::wstring command) {
  Sample s;
  Started p(std::move(command));
  if (!p.ok) return s;
  const PROCESS_INFORMATION& pi = p.pi;
  HWND window = nullptr;
  for (int i = 0; i < 20000 && !window; ++i) {
    window = VisibleWindowOf(pi.dwProcessId);
    if (!window) Sleep(1);
  }
  const double ms = p.Ms();
  if (window) {
    s.ms = ms;
    Sleep(300);  // let it finish painting before the working set is read
    PROCESS_MEMORY_COUNTERS pmc{sizeof pmc};
    if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc)) {
      s.peak_mb = pmc.PeakWorkingSetSize / (1024.0 * 1024.0);
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(pi.hProcess, 3000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  return s;
}

// A whole run of a process that shows no window: creation to exit.
double RunToExit(std::wstring command) {
  Started p(std::move(command));
  if (!p.ok) return -1;
  WaitForSingleObject(p.pi.hProcess, 20000);
  return p.Ms();
}

}  // namespace

int main() {
  wchar_t exe[MAX_PATH]{};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dir(exe);
  dir.resize(dir.find_last_of(L'\\') + 1);
  const std::wstring tevrin = L"\"" + dir + L"..\\dist\\Tevrin.exe\"";
  // Settings of the measured runs go to a scratch folder, not the user's.
  const std::wstring data = dir + L"startup-bench-data";
  SetEnvironmentVariableW(L"VANTREL_DATA_DIR", data.c_str());

  std::vector<double> t_ms, t_mb, n_ms, n_mb;
  Measure(tevrin);  // first run: disk cache, font cache, monitor launch
  Measure(L"notepad.exe");
  for (int r = 0; r < kRuns; ++r) {
    const Sample t = Measure(tevrin);
    const Sample n = Measure(L"notepad.exe");
    if (t.ms < 0 || n.ms < 0) {
      std::puts("startup_bench: a window did not appear");
      return 1;
    }
    t_ms.push_back(t.ms - kPauseMs);
    t_mb.push_back(t.peak_mb);
    n_ms.push_back(n.ms);
    n_mb.push_back(n.peak_mb);
  }
  // The command line's /profile N with the monitor the runs above left
  // running: it should cost about a process start.
  std::vector<double> p_ms;
  for (int r = 0; r < kRuns; ++r) p_ms.push_back(RunToExit(tevrin + L" /profile 2"));
  // A monitor the program launched keeps running: end it with the bench.
  if (HWND monitor = FindWindowW(nullptr, L"Vantrel Monitor"))
    PostMessageW(monitor, WM_CLOSE, 0, 0);

  const double tm = vantrel::bench::Median(t_ms), nm = vantrel::bench::Median(n_ms),
               tw = vantrel::bench::Median(t_mb), nw = vantrel::bench::Median(n_mb);
  std::printf(
      "start to window shown (median of %d): Tevrin %.1f ms (less the %.0f ms pause), "
      "notepad %.1f ms, ratio %.2f (target <= 1.5)\n",
      kRuns, tm, kPauseMs, nm, nm > 0 ? tm / nm : 0.0);
  std::printf("peak working set: Tevrin %.1f MB, notepad %.1f MB, ratio %.2f (target <= 1.5)\n", tw,
              nw, nw > 0 ? tw / nw : 0.0);
  const double pm = vantrel::bench::Median(p_ms);
  std::printf(
      "Tevrin.exe /profile 2, whole run (median of %d): %.1f ms, ratio to notepad's "
      "start %.2f\n",
      kRuns, pm, nm > 0 ? pm / nm : 0.0);
  return 0;
}
#endif
