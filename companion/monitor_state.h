// The monitor's side of the link: the section and mutex it creates, the
// record seeded from the stored files, and the optional event log.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "model/monitor_protocol.h"
#include "model/settings_record.h"

namespace pelox {

// The names and the message both programs share.
using vantrel::monitor::kConfiguratorTitle;
using vantrel::monitor::kMonitorTitle;
using vantrel::monitor::kMutexName;
using vantrel::monitor::kSectionName;
using vantrel::monitor::WM_APPLY_ALL_SETTING;
// Bounds every wait for the mutex: a configurator stuck while holding it
// must not freeze the monitor's window.
inline constexpr DWORD kMutexWaitMs = 5000;

struct Options {
  bool unplugged = false;
  bool no_ack = false;
  unsigned ack_delay_ms = 0;
  std::wstring log_dir;   // empty: no log
  std::wstring data_dir;  // ends with a backslash
};

// Parses "--unplugged --no-ack --ack-delay=MS --log=DIR --data=DIR";
// unknown words are ignored.
Options ParseOptions(const wchar_t* command_line);

// "<roaming app data>\\Vantrel\\", the configurator's data folder.
std::wstring DefaultDataDir();

// Reads config.ini and the four profile files without writing anything;
// a slot without a file gets its factory defaults.
void SeedFromStoredFiles(vantrel::SettingsRecord& record, const std::wstring& data_dir);

class MonitorLink {
 public:
  ~MonitorLink();
  // Creates the mutex and the section (or opens them when a configurator
  // still holds them from an earlier monitor) and seeds the section with
  // `seed` while holding the mutex. False when they cannot be made.
  bool Create(const vantrel::SettingsRecord& seed);
  // Copies under the mutex; false when the wait ran out.
  bool Publish(const vantrel::SettingsRecord& record);
  bool Take(vantrel::SettingsRecord& record);
  bool SetPlugIn(int value);

 private:
  bool Lock();
  HANDLE mutex_ = nullptr;
  HANDLE section_ = nullptr;
  void* view_ = nullptr;
};

class EventLog {
 public:
  explicit EventLog(std::wstring dir) : dir_(std::move(dir)) {}
  void Line(const std::wstring& text);
  // publish-0001.bin, publish-0002.bin...: the raw record of each apply.
  void Dump(const vantrel::SettingsRecord& record);

 private:
  std::wstring dir_;
  int dumps_ = 0;
};

// One line naming every change flag that is set, e.g. "Lighting[1] StandardKey[0]".
std::wstring DescribeFlags(const vantrel::SettingsRecord& record);

}  // namespace pelox
