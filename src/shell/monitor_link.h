// The link to the monitor program (Pelox.exe, window "Vantrel Monitor"):
// the named section and mutex the monitor creates, message 1224 in both
// directions, and the launch of the monitor. The record is copied into and
// out of the section as one block under the mutex; the notice is posted only
// after the mutex is free again.
//
// The link is its own unit so that it runs without the main window: it
// reaches the window only through MonitorLinkHost (refresh the pages, the
// profile buttons, the lighting page, close the waiting window) and the
// host's window handle (timers 1 and 2, the owner of the one message box).
//
//   MonitorLink link(host, {live, baseline, macros, data_dir});
//   link.LaunchMonitor(); Sleep(link.timing.launch_pause_ms);
//   StartupRecord s = link.LoadStartupRecord();
//   ...  link.ApplySetting(0);  link.NotifyProfile(2);
//   // pre-dispatch filter:  link.OnApplyAllSetting(msg.wParam, msg.lParam);
//   // WM_TIMER:             link.OnTimer(id);
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "model/macro_store.h"
#include "model/monitor_protocol.h"
#include "model/profile_store.h"
#include "model/settings_record.h"

namespace vantrel::shell {

// Message 1224: notices between the configurator and the monitor, and the
// waiting window's apply request (model/monitor_protocol.h).
using monitor::WM_APPLY_ALL_SETTING;

// What the link asks of the window that owns it.
class MonitorLinkHost {
 public:
  // Owns timers 1 and 2 (their WM_TIMER goes back to MonitorLink::OnTimer)
  // and the message box; the monitor acknowledges to the window "Vantrel".
  virtual HWND LinkWindow() const = 0;
  virtual void RefreshAllControl() = 0;
  // Shows profile button `profile` (0..3) as the only selected one.
  virtual void ShowProfileButtons(int profile) = 0;
  virtual void RefreshLightingPanel() = 0;
  // The waiting window's OK action and the mouse capture released; nothing
  // when no waiting window is shown.
  virtual void CloseWaiting() = 0;
  // True once for the request of the waiting window that is shown now and
  // asked for `mode`; false for any other apply request (a stray message
  // of another program, or one echoed by a faulty monitor).
  virtual bool TakeApplyRequest(WPARAM mode) = 0;
  // True while a dialog over the window edits the profile: the keyboard's
  // profile and lighting switches wait until ReleaseHeldNotices.
  virtual bool HoldKeyboardNotices() const = 0;

 protected:
  ~MonitorLinkHost() = default;
};

// The records and files an apply works on.
struct LinkStores {
  SettingsRecord& live;
  SettingsRecord& baseline;
  MacroStore& macros;              // its file is set from data_dir when empty
  std::filesystem::path data_dir;  // DataDirectory, ends with a separator
};

struct StartupRecord {
  bool from_monitor;      // the monitor's copy, not the stored files
  bool keyboard_plugged;  // KeyboardPlugIn != 0; otherwise the program closes
  // Stored files the user is told about once the window is up.
  std::vector<std::filesystem::path> unreadable;  // left alone, never replaced
  std::vector<std::filesystem::path> restored;    // put back from the last good copy
};

// What the last apply could not do; the host tells the user once the
// waiting window has closed.
struct ApplyOutcome {
  // A monitor runs but the record could not be copied into its section:
  // no notice went out and the changes stay pending.
  bool not_published = false;
  std::vector<std::filesystem::path> failed;  // files not written
  bool ok() const { return !not_published && failed.empty(); }
};

class MonitorLink {
 public:
  // Product timings; tests shorten them.
  struct Timing {
    DWORD launch_pause_ms = 100;      // after launching the monitor
    UINT no_monitor_close_ms = 1000;  // timer 1: close the waiting window without a monitor
    DWORD mutex_wait_ms = 5000;       // every wait for the monitor's mutex
    UINT ack_wait_ms = 5000;          // timer 2: give up on the acknowledgement
  };
  static constexpr UINT_PTR kNoMonitorTimer = 1;
  static constexpr UINT_PTR kAckTimer = 2;

  MonitorLink(MonitorLinkHost& host, LinkStores stores);
  ~MonitorLink();
  MonitorLink(const MonitorLink&) = delete;
  MonitorLink& operator=(const MonitorLink&) = delete;

  Timing timing;
  // False only for measurements that time the work without the disk's flush.
  bool flush_files = true;
  // Full path of the configurator's exe, whose folder holds Pelox.exe;
  // empty: this process's own exe.
  std::wstring executable_path;

  // Starts Pelox.exe from the configurator's folder when no monitor window
  // exists. Does not wait; a missing exe is skipped quietly.
  void LaunchMonitor();

  // Opens the mutex and the section; true when the section is mapped and the
  // baseline holds the monitor's copy (change flags cleared). False: the
  // section is missing, not mappable, too short, or its mutex stayed busy
  // past the limit; the caller loads the stored files.
  bool OpenSettingsLink(SettingsRecord& baseline);

  // The start-up's record: reset baseline, the monitor's copy or else the
  // stored files (factory defaults when they fail), the macro library, a
  // CurrentProfile outside 0..3 made 0, live := baseline.
  StartupRecord LoadStartupRecord();

  // mode 0 apply, 1 restore (flags of MarkAllChanged kept): the change
  // scan, the library's copies in the keys, the copy into the section (the
  // link opened again first when it is not open, or its monitor changed),
  // the saves, the flags cleared and the baseline moved on, the notice.
  // Without a copy there is no notice and the changes stay pending.
  void ApplySetting(int mode);
  const ApplyOutcome& last_outcome() const { return outcome_; }
  // Saves the macro library as the apply does; false when it was not
  // written (its file not read yet, or the save failed).
  bool SaveMacros();
  // Tells the monitor the user selected `profile`; the section is not written.
  void NotifyProfile(int profile);
  // An arriving message 1224. The host's window procedure hands over posted
  // ones only, whichever message loop dispatched them.
  void OnApplyAllSetting(WPARAM wp, LPARAM lp);
  // Applies the keyboard's switches that arrived while the host held them.
  void ReleaseHeldNotices();
  // Timers 1 and 2 of the host window; true when `id` was one of them.
  bool OnTimer(UINT_PTR id);

  bool open() const { return view_ != nullptr; }
  bool has_mutex() const { return mutex_ != nullptr; }
  // An apply's notice is out and its acknowledgement not yet in.
  bool awaiting_ack() const { return awaiting_ack_; }
  // The last apply's notice was answered (not given up on).
  bool last_acknowledged() const { return acknowledged_; }

 private:
  enum class Lock { kAcquired, kNoMutex, kTimedOut };
  Lock LockSection();
  // Opens what is not open yet, or everything again for a monitor window
  // other than the one the link was opened for; true with a view mapped.
  bool EnsureOpen(HWND monitor, bool* map_failed = nullptr);
  void Close();
  // Copies the live record into the section under the mutex.
  bool Publish(HWND monitor);
  void SaveFiles();
  void PostApplyNotice(HWND monitor, int mode);
  void OnAcknowledgement();
  void GiveUpOnAcknowledgement();
  void OnApplyRequest(WPARAM mode);
  void OnKeyboardNotice(WPARAM wp, LPARAM lp);

  MonitorLinkHost& host_;
  LinkStores stores_;

  HANDLE mutex_ = nullptr;
  HANDLE section_ = nullptr;
  void* view_ = nullptr;
  HWND linked_monitor_ = nullptr;  // the monitor window the link was opened for
  // The section's monitor has not had our record yet (it came after the
  // start-up, or came back): the next publication raises every flag.
  bool owes_whole_record_ = false;

  ProfileSaveReport saves_;  // the slots whose file could not be read
  ApplyOutcome outcome_;

  // Acknowledgements carry no number. A notice whose wait ran out may still
  // be answered later; that answer must not close the next apply's waiting
  // window, so it is counted and swallowed when it comes.
  bool awaiting_ack_ = false;
  bool acknowledged_ = false;
  bool ack_swallowed_ = false;  // a late answer was swallowed during this wait
  int late_acks_ = 0;
  HWND noticed_monitor_ = nullptr;  // a new monitor owes no late answers

  // The keyboard's switches held while a dialog edits the profile, oldest
  // first; a flood keeps only the newest.
  static constexpr size_t kMaxHeldNotices = 16;
  std::vector<std::pair<WPARAM, LPARAM>> held_;
};

// The lighting mode a monitor's code (message 1224, lParam 30) stands for.
int MapLightingMode(WPARAM code);

}  // namespace vantrel::shell
