// The main window's side of the monitor link: the named section and mutex
// the monitor creates, and message 1224 in both directions. The record is
// copied as one block; the notice is posted only after the mutex is free.

// <windows.h> must come before the headers that build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstring>

#include "model/macro_store.h"
#include "model/profile_store.h"
#include "shell/app_state.h"
#include "shell/data_directory.h"
#include "shell/main_window.h"
#include "win/win_util.h"

namespace vantrel::shell {
namespace {

constexpr wchar_t kMonitorTitle[] = L"Vantrel Monitor";
constexpr wchar_t kMutexName[] = L"Q71_Gaming_Keyboard_Mutex_Object";
constexpr wchar_t kSectionName[] = L"Quarro_Gaming_Keyboard_RGB_Mutex_Data";

HWND MonitorWindow() { return FindWindowW(nullptr, kMonitorTitle); }

void PostToMonitor(WPARAM wp, LPARAM lp) {
  HWND monitor = MonitorWindow();
  if (!monitor) return;
  HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  PostMessageW(monitor, WM_APPLY_ALL_SETTING, wp, lp);
  SetCursor(old);
}

int MapLightingMode(WPARAM code) {
  switch (code) {
    case 1:
      return 2;
    case 2:
      return 5;
    case 3:
      return 3;
    case 4:
      return 4;
    default:
      return 1;
  }
}

}  // namespace

void CTevrinDlg::LaunchMonitor() {
  if (MonitorWindow()) return;
  wchar_t exe[MAX_PATH]{};
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  std::wstring path(exe, n);
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"Pelox.exe";
  // A missing monitor exe is not the user's business: the shell would
  // otherwise put up its own "not found" message box.
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  ShellExecuteW(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool CTevrinDlg::OpenSettingsLink(SettingsRecord& baseline) {
  m_hMutex = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kMutexName);
  m_hMapping = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, kSectionName);
  if (!m_hMapping) return false;
  void* view = MapViewOfFile(m_hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (!view) {
    MessageBoxW(hwnd(), L"Could not map view of file.", L"Vantrel", MB_OK);
    return false;
  }
  // A section shorter than the record would make the copy read past it.
  MEMORY_BASIC_INFORMATION info{};
  if (!VirtualQuery(view, &info, sizeof info) || info.RegionSize < sizeof(SettingsRecord)) {
    UnmapViewOfFile(view);
    return false;
  }
  m_view = view;
  if (m_hMutex && WaitForSingleObject(m_hMutex, INFINITE) != WAIT_FAILED) {
    std::memcpy(&baseline, m_view, sizeof(SettingsRecord));
    ReleaseMutex(m_hMutex);
  }
  ClearChangeFlags(baseline);
  return true;
}

void CTevrinDlg::ApplySetting(int mode) {
  SettingsRecord& live = LiveRecord();
  SettingsRecord& baseline = BaselineRecord();
  const ProfilePaths paths{std::filesystem::path(DataDirectory())};
  win::DebugTrace(L"\napply\n");
  if (!MonitorWindow()) {
    win::DebugTrace(L"\napply setting not found hid\n");
    SetTimer(hwnd(), 1, timing.no_monitor_close_ms, nullptr);
    RefreshMacroAssignments(Macros(), live, MacroFile());
    SaveAllProfiles(live, paths);
    ClearChangeFlags(live);
    baseline = live;
    SaveMacroLibrary(Macros(), MacroFile());
    return;
  }
  if (mode != 1) ScanChanges(live, baseline);
  RefreshMacroAssignments(Macros(), live, MacroFile());
  if (m_hMutex && WaitForSingleObject(m_hMutex, INFINITE) != WAIT_FAILED) {
    if (m_view) std::memcpy(m_view, &live, sizeof(SettingsRecord));
    ReleaseMutex(m_hMutex);
  }
  SaveAllProfiles(live, paths);
  ClearChangeFlags(live);
  baseline = live;
  SaveMacroLibrary(Macros(), MacroFile());
  PostToMonitor(mode, 0);
  win::DebugTrace(L"\nmain refreshallcontrol\n");
  RefreshAllControl();
}

void CTevrinDlg::NotifyProfile(int profile) { PostToMonitor(2, profile); }

void CTevrinDlg::OnApplyAllSetting(WPARAM wp, LPARAM lp) {
  win::DebugTrace(L"\nWM_APPLY_ALL_SETTING\n");
  SettingsRecord& live = LiveRecord();
  switch (lp) {
    case 1:
      m_DlgWaitting.OnOK();
      ReleaseCapture();
      break;
    case 2:
      win::DebugTrace(L"\nWM_APPLY_ALL_SETTING apply\n");
      if (wp == 0) {
        win::DebugTrace(L"\nWM_APPLY_ALL_SETTING apply #0 apply\n");
        ApplySetting(0);
      } else if (wp == 1) {
        win::DebugTrace(L"\nWM_APPLY_ALL_SETTING apply #1 reset\n");
        ApplyFactoryDefaultsAll(live);
        MarkAllChanged(live);
        win::DebugTrace(L"\nmain refreshallcontrol\n");
        RefreshAllControl();
        ApplySetting(1);
      }
      break;
    case 20:
      if (wp <= 3) {
        live.CurrentProfile = static_cast<int>(wp);
        static constexpr int kProfileButtons[4] = {kProfile1, kProfile2, kProfile3, kProfile4};
        for (int p = 0; p < 4; ++p) button(kProfileButtons[p]).SetCheck(p == static_cast<int>(wp));
        RefreshAllControl();
      }
      break;
    case 30:
      ActiveSlot(live).LtEffectType = MapLightingMode(wp);
      if (m_DlgLightPanel) m_DlgLightPanel->PutSettingToControl();
      break;
    default:
      break;
  }
}

}  // namespace vantrel::shell
