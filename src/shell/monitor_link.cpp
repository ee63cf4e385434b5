#include "shell/monitor_link.h"

// <windows.h> (through the header) must come before shellapi.h.
#include <shellapi.h>

#include <cstring>

#include "model/macro_store.h"
#include "model/profile_store.h"
#include "win/win_util.h"

namespace vantrel::shell {
namespace {

HWND FindMonitor() { return FindWindowW(nullptr, monitor::kMonitorTitle); }

// Posted, never sent: neither program waits for the other's window procedure.
void PostWithWaitCursor(HWND target, WPARAM wp, LPARAM lp) {
  HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  PostMessageW(target, WM_APPLY_ALL_SETTING, wp, lp);
  SetCursor(old);
}

std::wstring OwnExecutable() {
  wchar_t exe[MAX_PATH]{};
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return L"";
  return std::wstring(exe, n);
}

}  // namespace

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

MonitorLink::MonitorLink(MonitorLinkHost& host, LinkStores stores)
    : host_(host), stores_(std::move(stores)) {
  MacroStore& macros = stores_.macros;
  if (macros.file.empty()) {
    macros.file = stores_.data_dir / kMacroFileName;
    macros.last_good = ProfilePaths{stores_.data_dir}.last_good(macros.file);
  }
}

MonitorLink::~MonitorLink() {
  // The program keeps the link for its whole run; this only matters to
  // tests and to a main window started more than once in one process.
  Close();
}

void MonitorLink::Close() {
  if (view_) UnmapViewOfFile(view_);
  if (section_) CloseHandle(section_);
  if (mutex_) CloseHandle(mutex_);
  view_ = nullptr;
  section_ = mutex_ = nullptr;
  linked_monitor_ = nullptr;
}

void MonitorLink::LaunchMonitor() {
  if (FindMonitor()) return;
  const std::wstring exe = executable_path.empty() ? OwnExecutable() : executable_path;
  const size_t slash = exe.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return;
  const std::wstring path = exe.substr(0, slash + 1) + L"Pelox.exe";
  // A missing monitor exe is not the user's business: the shell would
  // otherwise put up its own "not found" message box.
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  ShellExecuteW(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

MonitorLink::Lock MonitorLink::LockSection() {
  if (!mutex_) return Lock::kNoMutex;
  // Bounded: a monitor that hangs while holding the mutex must not freeze
  // this window for ever. An owner that died holding it hands it over
  // abandoned; every copy is a single block, so the record is whole.
  const DWORD r = WaitForSingleObject(mutex_, timing.mutex_wait_ms);
  if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) return Lock::kAcquired;
  win::DebugTrace(L"\nmonitor mutex busy, copy skipped\n");
  return Lock::kTimedOut;
}

bool MonitorLink::EnsureOpen(HWND monitor, bool* map_failed) {
  // A monitor that started again has its own window: the link is made
  // anew for it, and it is owed the whole record.
  if (view_ && monitor && linked_monitor_ && monitor != linked_monitor_) Close();
  const bool was_open = view_ != nullptr;
  if (!mutex_) mutex_ = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, monitor::kMutexName);
  if (!section_) {
    section_ = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, monitor::kSectionName);
  }
  if (!section_) return false;
  if (!view_) {
    void* view = MapViewOfFile(section_, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (!view) {
      if (map_failed) *map_failed = true;
      return false;
    }
    // A section shorter than the record would make every copy run past it.
    MEMORY_BASIC_INFORMATION info{};
    if (!VirtualQuery(view, &info, sizeof info) || info.RegionSize < sizeof(SettingsRecord)) {
      UnmapViewOfFile(view);
      return false;
    }
    view_ = view;
  }
  if (!linked_monitor_) linked_monitor_ = monitor;
  if (!was_open) owes_whole_record_ = true;
  return true;
}

bool MonitorLink::OpenSettingsLink(SettingsRecord& baseline) {
  // Opened once: a second call (a window started again) keeps the handles.
  bool map_failed = false;
  if (!EnsureOpen(FindMonitor(), &map_failed)) {
    if (map_failed)
      MessageBoxW(host_.LinkWindow(), L"Could not map view of file.", L"Vantrel", MB_OK);
    return false;
  }
  switch (LockSection()) {
    case Lock::kAcquired:
      std::memcpy(&baseline, view_, sizeof(SettingsRecord));
      ReleaseMutex(mutex_);
      owes_whole_record_ = false;  // it has its own record, and we take it
      break;
    case Lock::kNoMutex:
      // Without the mutex the copy is skipped: the baseline stays reset
      // (KeyboardPlugIn 0), so the program closes after its start-up.
      break;
    case Lock::kTimedOut:
      // The monitor is stuck: start from the stored files. The view stays,
      // so later applies still publish once the mutex is free.
      return false;
  }
  ClearChangeFlags(baseline);
  return true;
}

StartupRecord MonitorLink::LoadStartupRecord() {
  SettingsRecord& baseline = stores_.baseline;
  const ProfilePaths paths{stores_.data_dir};
  // What a save killed half-way left behind.
  RemoveLeftoverTemporaries(paths.data_dir);
  RemoveLeftoverTemporaries(paths.config_dir());
  StartupRecord start{};
  ResetRecord(baseline);
  start.from_monitor = OpenSettingsLink(baseline);
  saves_ = {};
  auto note = [&start](StoredFile state, const std::filesystem::path& file) {
    if (state == StoredFile::Unreadable) start.unreadable.push_back(file);
    if (state == StoredFile::Restored) start.restored.push_back(file);
  };
  if (!start.from_monitor) {
    ResetRecord(baseline);  // a timed-out start may not leave a half-taken copy
    ProfileLoadReport found;
    LoadAllProfiles(baseline, paths, flush_files, &found);
    note(found.config, paths.config_file());
    for (int p = 0; p < kProfileCount; ++p) {
      note(found.profiles[p], paths.profile_file(p));
      if (found.key_map_repaired[p]) start.restored.push_back(paths.profile_file(p));
      saves_.unread[p] = found.profiles[p] == StoredFile::Unreadable;
    }
  }
  ClearMacroLibrary(stores_.macros.library);  // a start-up merges nothing
  note(stores_.macros.Load(), stores_.macros.file);
  // The slot in use must be the one shown and written back.
  ClampCurrentProfile(baseline);
  stores_.live = baseline;
  start.keyboard_plugged = baseline.KeyboardPlugIn != 0;
  return start;
}

void MonitorLink::SaveFiles() {
  if (!SaveAllProfiles(stores_.live, ProfilePaths{stores_.data_dir}, flush_files, &saves_)) {
    outcome_.failed.insert(outcome_.failed.end(), saves_.failed.begin(), saves_.failed.end());
  }
}

bool MonitorLink::SaveMacros() {
  MacroStore& macros = stores_.macros;
  // A library file not read yet is never saved over; while it holds
  // nothing of the user's there is nothing to miss either.
  if (!macros.Reread(stores_.live)) {
    if (macros.library.empty()) return true;
  } else if (macros.Save(flush_files)) {
    return true;
  }
  outcome_.failed.push_back(macros.file);
  return false;
}

bool MonitorLink::Publish(HWND monitor) {
  if (!EnsureOpen(monitor)) {
    win::DebugTrace(L"\nno section of the monitor, copy skipped\n");
    return false;
  }
  switch (LockSection()) {
    case Lock::kAcquired:
      // A monitor that has had none of our record takes all of it.
      if (owes_whole_record_) MarkWholeRecordChanged(stores_.live);
      std::memcpy(view_, &stores_.live, sizeof(SettingsRecord));
      ReleaseMutex(mutex_);
      owes_whole_record_ = false;
      return true;
    case Lock::kNoMutex:
      win::DebugTrace(L"\nno mutex of the monitor, copy skipped\n");
      return false;
    case Lock::kTimedOut:
      return false;
  }
  return false;
}

void MonitorLink::ApplySetting(int mode) {
  SettingsRecord& live = stores_.live;
  MacroStore& macros = stores_.macros;
  win::DebugTrace(L"\napply\n");
  outcome_ = {};
  const HWND monitor = FindMonitor();
  if (!monitor) win::DebugTrace(L"\napply setting not found hid\n");
  // The library's copies go into the keys before the scan, so a key whose
  // macro was edited in the manager is flagged: the other way round the
  // monitor got the new events with the key's flag at 0 and kept the old
  // macro on the keyboard.
  if (macros.Reread(live)) RefreshMacroAssignments(macros.library, live, macros.file);
  if (monitor && mode != 1) ScanChanges(live, stores_.baseline);
  const bool published = monitor && Publish(monitor);
  SaveFiles();
  // Without a monitor there is no one to tell; with one that did not get
  // the record, the baseline and the flags stay, so the next apply still
  // reports these changes. The user's edits are on disk either way.
  if (published || !monitor) {
    ClearChangeFlags(live);
    stores_.baseline = live;
  }
  SaveMacros();
  outcome_.not_published = monitor && !published;
  if (HWND now = published ? FindMonitor() : nullptr) {
    PostApplyNotice(now, mode);
  } else {
    // Nobody will answer (no monitor, no copy, or it went away meanwhile).
    SetTimer(host_.LinkWindow(), kNoMonitorTimer, timing.no_monitor_close_ms, nullptr);
  }
  if (!monitor) return;
  win::DebugTrace(L"\nmain refreshallcontrol\n");
  host_.RefreshAllControl();
}

void MonitorLink::PostApplyNotice(HWND monitor, int mode) {
  if (monitor != noticed_monitor_) {
    late_acks_ = 0;
    noticed_monitor_ = monitor;
  }
  PostWithWaitCursor(monitor, static_cast<WPARAM>(mode), 0);
  awaiting_ack_ = true;
  acknowledged_ = false;
  ack_swallowed_ = false;
  SetTimer(host_.LinkWindow(), kAckTimer, timing.ack_wait_ms, nullptr);
}

void MonitorLink::OnAcknowledgement() {
  if (late_acks_ > 0) {
    --late_acks_;
    if (awaiting_ack_) ack_swallowed_ = true;
    return;
  }
  if (!awaiting_ack_) return;  // no apply waits: a waiting window of another kind stays
  awaiting_ack_ = false;
  acknowledged_ = true;
  KillTimer(host_.LinkWindow(), kAckTimer);
  host_.CloseWaiting();
}

void MonitorLink::GiveUpOnAcknowledgement() {
  KillTimer(host_.LinkWindow(), kAckTimer);
  if (!awaiting_ack_) return;
  awaiting_ack_ = false;
  // When a late answer was swallowed meanwhile, it most likely was this
  // one (the earlier notice's answer was lost): owe nothing more.
  if (!ack_swallowed_) ++late_acks_;
  win::DebugTrace(L"\nno acknowledgement from the monitor, waiting window closed\n");
  host_.CloseWaiting();
}

void MonitorLink::NotifyProfile(int profile) {
  HWND window = FindMonitor();
  if (!window) return;
  EnsureOpen(window);  // a monitor that came late is linked as soon as it is seen
  PostWithWaitCursor(window, monitor::kSelectProfile, profile);
}

void MonitorLink::OnApplyAllSetting(WPARAM wp, LPARAM lp) {
  win::DebugTrace(L"\nWM_APPLY_ALL_SETTING\n");
  switch (lp) {
    case monitor::kAcknowledge:
      OnAcknowledgement();
      break;
    case monitor::kApplyRequest:
      win::DebugTrace(L"\nWM_APPLY_ALL_SETTING apply\n");
      if (!host_.TakeApplyRequest(wp)) {
        win::DebugTrace(L"\napply request not from the waiting window, ignored\n");
        break;
      }
      OnApplyRequest(wp);
      break;
    case monitor::kProfileSwitched:
    case monitor::kLightingSwitched:
      if (host_.HoldKeyboardNotices()) {
        if (held_.size() >= kMaxHeldNotices) held_.erase(held_.begin());
        held_.emplace_back(wp, lp);
        break;
      }
      OnKeyboardNotice(wp, lp);
      break;
    default:
      break;
  }
}

void MonitorLink::ReleaseHeldNotices() {
  std::vector<std::pair<WPARAM, LPARAM>> held;
  held.swap(held_);
  for (auto [wp, lp] : held) OnKeyboardNotice(wp, lp);
}

void MonitorLink::OnApplyRequest(WPARAM mode) {
  if (mode == 0) {
    win::DebugTrace(L"\nWM_APPLY_ALL_SETTING apply #0 apply\n");
    ApplySetting(0);
  } else if (mode == 1) {
    win::DebugTrace(L"\nWM_APPLY_ALL_SETTING apply #1 reset\n");
    ApplyFactoryDefaultsAll(stores_.live);
    MarkAllChanged(stores_.live);
    win::DebugTrace(L"\nmain refreshallcontrol\n");
    host_.RefreshAllControl();
    ApplySetting(1);
  }
}

void MonitorLink::OnKeyboardNotice(WPARAM wp, LPARAM lp) {
  SettingsRecord& live = stores_.live;
  if (lp == monitor::kProfileSwitched) {
    if (wp >= static_cast<WPARAM>(kProfileCount)) return;
    live.CurrentProfile = static_cast<int>(wp);
    host_.ShowProfileButtons(static_cast<int>(wp));
    host_.RefreshAllControl();
  } else {
    ActiveSlot(live).LtEffectType = MapLightingMode(wp);
    host_.RefreshLightingPanel();
  }
}

bool MonitorLink::OnTimer(UINT_PTR id) {
  if (id == kNoMonitorTimer) {
    KillTimer(host_.LinkWindow(), kNoMonitorTimer);
    host_.CloseWaiting();
    return true;
  }
  if (id == kAckTimer) {
    GiveUpOnAcknowledgement();
    return true;
  }
  return false;
}

}  // namespace vantrel::shell
