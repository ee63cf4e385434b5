// The configurator's own work in one apply, MonitorLink::ApplySetting: the
// change scan, the macro refresh from sequence.dat, the copy into the
// monitor's section under its mutex, and the save of config.ini, the four
// profile files and sequence.dat. The section, mutex and monitor window are
// this process's own, so the figures hold no second process. Against it, in
// the same run: the same steps with the saves made through the platform's
// private-profile functions, key by key. Windows only (it drives the shell).
#include <cstdio>

#ifndef _WIN32
int main() {
  std::printf("apply bench: Windows only (the monitor link is a Win32 unit)\n");
  return 0;
}
#else

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "model/macro_store.h"
#include "model/profile_store.h"
#include "model/text.h"
#include "private_profile_io.h"
#include "shell/monitor_link.h"
#include "win/file_io_win.h"

namespace {

using namespace vantrel;
using bench::MedianMs;
namespace fs = std::filesystem;

class BenchHost : public shell::MonitorLinkHost {
 public:
  BenchHost() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ApplyBenchWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"Vantrel", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            wc.hInstance, nullptr);
    monitor_ = CreateWindowExW(0, wc.lpszClassName, monitor::kMonitorTitle, WS_POPUP, 0, 0, 1, 1,
                               nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~BenchHost() {
    DestroyWindow(monitor_);
    DestroyWindow(hwnd_);
  }
  HWND LinkWindow() const override { return hwnd_; }
  void RefreshAllControl() override {}
  void ShowProfileButtons(int) override {}
  void RefreshLightingPanel() override {}
  void CloseWaiting() override {}
  bool TakeApplyRequest(WPARAM) override { return true; }
  bool HoldKeyboardNotices() const override { return false; }
  HWND monitor() const { return monitor_; }

 private:
  HWND hwnd_ = nullptr, monitor_ = nullptr;
};

// Notices and timers the applies leave behind.
void Drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// Four full profiles: names, game files, every key assignment filled, the
// first six keys of each profile bound to library macros.
void FillRecord(SettingsRecord& r) {
  ResetRecord(r);
  ApplyFactoryDefaultsAll(r);
  r.CurrentProfile = 1;
  r.KeyboardPlugIn = 1;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileSlot& s = r.profiles[p];
    ToFixed(s.ProFileName, u"Profile " + ToU16Decimal(p));
    ToFixed(s.GameFile, u"C:\\Games\\Title " + ToU16Decimal(p) + u"\\game.exe");
    for (int k = 0; k < kKeyAssignments; ++k) {
      KeyAssignment& e = s.MacroKeyInfo[k];
      e.entryIndex = std::uint8_t(k);
      e.actionType = k < 6 ? kActionTypeMacro : std::uint8_t(1 + k % 6);
      e.keyCode = std::uint16_t(0x04 + k);
      ToFixed(e.macroName, u"Macro " + ToU16Decimal((p * 6 + k) % 20));
      e.eventCount = kMacroEvents;
      e.repeatCount = 3;
      for (int i = 0; i < kMacroEvents; ++i) e.events[i] = 0x00010004u + i * 0x100 + k;
      ToFixed(e.programPath, u"C:\\Program Files\\Tool\\tool" + ToU16Decimal(k) + u".exe");
    }
  }
}

MacroLibrary Library() {
  MacroLibrary lib;
  for (int i = 0; i < 20; ++i) {
    auto m = std::make_unique<MacroRecord>();
    ToFixed(m->name, u"Macro " + ToU16Decimal(i));
    m->repeatCount = 1;
    m->eventCount = kMacroEvents;
    for (int e = 0; e < kMacroEvents; ++e) {
      m->events[e] = {std::uint8_t(4 + (i + e) % 30), std::uint8_t(e % 2 + 1),
                      std::uint16_t(e * 7 + i)};
    }
    lib.push_back(std::move(m));
  }
  return lib;
}

// An edit between applies, as a user makes: the lighting mode of the
// active profile and a colour in every profile (so every file changes).
void Edit(SettingsRecord& r, int run) {
  ActiveSlot(r).LtEffectType = 1 + run % 4;
  for (ProfileSlot& s : r.profiles) s.iRGBGreen = run % 256;
}

}  // namespace

int main() {
  win::UsePlatformFileIo();  // files read and saved as the program does
  const fs::path root = fs::temp_directory_path() / "vantrel-apply-bench";
  fs::remove_all(root);
  const fs::path ours_dir = root / "ours" / "";
  const fs::path platform_dir = root / "platform" / "";
  fs::create_directories(ours_dir / "config");
  fs::create_directories(platform_dir / "config");

  HANDLE mutex = CreateMutexW(nullptr, FALSE, monitor::kMutexName);
  HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(SettingsRecord), monitor::kSectionName);
  if (!mutex || !section || GetLastError() == ERROR_ALREADY_EXISTS) {
    std::printf("apply bench: the section already exists (is Pelox.exe running?)\n");
    return 1;
  }
  void* view = MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  BenchHost host;

  auto live = std::make_unique<SettingsRecord>();
  auto baseline = std::make_unique<SettingsRecord>();
  FillRecord(*live);
  std::memcpy(view, live.get(), sizeof(SettingsRecord));
  MacroLibrary library = Library();
  const int runs = 15;

  // Ours: the link itself.
  MacroStore ours_macros;
  shell::MonitorLink link(host, {*live, *baseline, ours_macros, ours_dir});
  SaveMacroLibrary(library, ours_dir / kMacroFileName);
  if (!link.OpenSettingsLink(*baseline)) {
    std::printf("apply bench: the link did not open\n");
    return 1;
  }
  *live = *baseline;
  link.ApplySetting(0);  // warm-up: every file exists afterwards, as in steady use
  double ours[2] = {0, 0};
  for (bool flush : {true, false}) {
    link.flush_files = flush;
    ours[flush ? 0 : 1] = MedianMs(
        runs,
        [&](int i) {
          Edit(*live, i);
          link.ApplySetting(0);
        },
        Drain);
  }
  auto check = std::make_unique<SettingsRecord>();
  LoadAllProfiles(*check, ProfilePaths{ours_dir});
  if (std::memcmp(check->profiles, live->profiles, sizeof live->profiles) != 0 ||
      std::memcmp(view, live.get(), offsetof(SettingsRecord, MacroKeyInfoChanged)) != 0) {
    std::printf("apply bench: the saved files or the section differ from the live record\n");
    return 1;
  }

  // The platform's functions for the saves; every other step the same.
  FillRecord(*live);
  *baseline = *live;
  MacroLibrary platform_macros;
  reference::SaveMacros(library, (platform_dir / kMacroFileName).wstring());
  const ProfilePaths platform{platform_dir};
  auto platform_apply = [&] {
    ScanChanges(*live, *baseline);
    RefreshMacroAssignments(platform_macros, *live, platform_dir / kMacroFileName);
    const DWORD r = WaitForSingleObject(mutex, 5000);
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {
      std::memcpy(view, live.get(), sizeof(SettingsRecord));
      ReleaseMutex(mutex);
    }
    reference::SaveAll(*live, platform);
    ClearChangeFlags(*live);
    *baseline = *live;
    reference::SaveMacros(platform_macros, (platform_dir / kMacroFileName).wstring());
    PostMessageW(host.monitor(), shell::WM_APPLY_ALL_SETTING, 0, 0);
  };
  platform_apply();
  const double via_platform = MedianMs(
      runs,
      [&](int i) {
        Edit(*live, i);
        platform_apply();
      },
      Drain);

  std::printf("one apply (scan, macro refresh, section copy, 6 files), median of %d:\n", runs);
  std::printf("  MonitorLink::ApplySetting: %.2f ms with flush, %.2f ms without\n", ours[0],
              ours[1]);
  std::printf("  same steps, saves through the private-profile functions: %.2f ms\n", via_platform);
  std::printf("  ratio: %.1fx with flush, %.1fx without\n", via_platform / ours[0],
              via_platform / ours[1]);

  UnmapViewOfFile(view);
  CloseHandle(section);
  CloseHandle(mutex);
  fs::remove_all(root);
  return 0;
}

#endif
