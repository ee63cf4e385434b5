#include "shell/command_runner.h"

#include <windows.h>

#include <cwchar>
#include <filesystem>
#include <memory>
#include <string>

#include "model/backup.h"
#include "model/monitor_protocol.h"
#include "model/profile_store.h"
#include "model/profile_transfer.h"
#include "shell/app_state.h"
#include "shell/data_directory.h"
#include "shell/monitor_link.h"
#include "skin/lang_strings.h"
#include "skin/warning_dialog.h"
#include "win/win_util.h"

namespace vantrel::shell {
namespace {

namespace fs = std::filesystem;

// The texts of the command line (lang.dll 1520..).
enum CommandText : UINT {
  kUsage = 1520,
  kDone,
  kBadUsage,
  kFileFailed,
  kNotTaken,
  kNoMonitor,
  kShortUsage,
};

using skin::Text;

// Where messages go: the output the program's caller redirected, else the
// console it was started from; nowhere when there is neither.
class Console {
 public:
  Console() {
    out_ = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out_ && out_ != INVALID_HANDLE_VALUE && GetFileType(out_) != FILE_TYPE_UNKNOWN) {
      console_ = GetConsoleMode(out_, &mode) != FALSE;
      return;
    }
    out_ = nullptr;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    out_ = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
    if (out_ == INVALID_HANDLE_VALUE) out_ = nullptr;
    owned_ = console_ = out_ != nullptr;
  }
  ~Console() {
    if (owned_) CloseHandle(out_);
  }
  bool present() const { return out_ != nullptr; }
  void Line(const std::wstring& text) const {
    if (!out_) return;
    const std::wstring line = text + L"\r\n";
    DWORD written = 0;
    if (console_) {
      WriteConsoleW(out_, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
      return;
    }
    // A pipe or a file takes UTF-8.
    const int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), n,
                        nullptr, nullptr);
    WriteFile(out_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }

 private:
  HANDLE out_ = nullptr;
  bool console_ = false;
  bool owned_ = false;
};

std::wstring WithFile(UINT id, const std::u16string& file) {
  return skin::TextWith(id, win::ToWide(file));
}

// The link's window for a job: hidden, top-level and titled "Vantrel", so
// the monitor finds it for its answer (a message-only window it would not).
class CommandHost : public MonitorLinkHost {
 public:
  CommandHost() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VantrelCommand";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, monitor::kConfiguratorTitle,
                            WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, this);
  }
  ~CommandHost() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  MonitorLink* link = nullptr;
  bool closed = false;

  HWND LinkWindow() const override { return hwnd_; }
  void RefreshAllControl() override {}
  void ShowProfileButtons(int) override {}
  void RefreshLightingPanel() override {}
  void CloseWaiting() override { closed = true; }
  bool TakeApplyRequest(WPARAM) override { return false; }  // nobody asks here
  bool HoldKeyboardNotices() const override { return false; }

  // Messages until the link closed its wait (answer, or its time limit).
  void WaitForAnswer() {
    MSG msg;
    while (!closed && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      SetWindowLongPtrW(
          hwnd, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<CommandHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->link) {
      try {
        if (msg == monitor::WM_APPLY_ALL_SETTING && !InSendMessage()) {
          self->link->OnApplyAllSetting(wp, lp);
          return 0;
        }
        if (msg == WM_TIMER && self->link->OnTimer(wp)) return 0;
      } catch (...) {
        self->closed = true;
      }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  HWND hwnd_ = nullptr;
};

// A job that needs the record: the host, the link and the start-up record.
struct Job {
  Job() : link(host, {LiveRecord(), BaselineRecord(), MacroStorage(), DataDirectory()}) {
    host.link = &link;
    link.LoadStartupRecord();
  }
  ProfilePaths paths() const { return ProfilePaths{fs::path(DataDirectory())}; }
  // Apply's steps; the exit code.
  ExitCode Apply() {
    link.ApplySetting(0);
    if (link.awaiting_ack()) host.WaitForAnswer();
    if (!link.last_outcome().failed.empty()) return ExitCode::FileFailed;
    if (link.last_outcome().not_published || !link.last_acknowledged()) return ExitCode::NoMonitor;
    return ExitCode::Done;
  }
  CommandHost host;
  MonitorLink link;
};

ExitCode Run(const Command& c, const Console& console) {
  switch (c.kind) {
    case CommandKind::Profile: {
      HWND monitor = FindWindowW(nullptr, monitor::kMonitorTitle);
      if (!monitor) return ExitCode::NoMonitor;
      PostMessageW(monitor, monitor::WM_APPLY_ALL_SETTING, monitor::kSelectProfile, c.profile);
      return ExitCode::Done;
    }
    case CommandKind::Export: {
      Job job;
      const fs::path file(c.file);
      if (job.paths().IsStoredProfileFile(file) ||
          !ReplaceProfileFile(LiveRecord().profiles[c.profile], file)) {
        return ExitCode::FileFailed;
      }
      return ExitCode::Done;
    }
    case CommandKind::Backup: {
      Job job;
      return SaveBackupFile(LiveRecord(), Macros(), fs::path(c.file)) ? ExitCode::Done
                                                                      : ExitCode::FileFailed;
    }
    case CommandKind::Import: {
      Job job;
      if (!ImportProfileInto(LiveRecord(), Macros(), job.paths(), fs::path(c.file), c.profile))
        return ExitCode::FileFailed;
      return job.Apply();
    }
    case CommandKind::Restore: {
      Job job;
      if (RestoreBackupFile(fs::path(c.file), LiveRecord(), Macros()) != BackupResult::Ok)
        return ExitCode::FileFailed;
      MacroStorage().unread = false;  // the user's own choice replaces the library
      return job.Apply();
    }
    case CommandKind::Usage:
    case CommandKind::BadUsage:
    case CommandKind::Window:
      break;
  }
  (void)console;
  return ExitCode::BadUsage;
}

}  // namespace

int RunCommand(const Command& command) {
  const Console console;
  if (command.kind == CommandKind::Usage) {
    if (console.present()) {
      console.Line(Text(kUsage));
    } else {
      skin::CDlgWarning usage;
      usage.kind = skin::CDlgWarning::kNotice;
      usage.message = Text(kShortUsage);
      usage.RunModal(nullptr);
    }
    return static_cast<int>(ExitCode::Done);
  }
  if (command.kind == CommandKind::BadUsage || command.kind == CommandKind::Window) {
    console.Line(Text(kBadUsage));
    return static_cast<int>(ExitCode::BadUsage);
  }
  ExitCode code = ExitCode::FileFailed;
  try {
    code = Run(command, console);
  } catch (...) {
    win::DebugTrace(L"vantrel: exception stopped in a command\n");
  }
  switch (code) {
    case ExitCode::Done:
      console.Line(Text(kDone));
      break;
    case ExitCode::FileFailed:
      console.Line(WithFile(kFileFailed, command.file));
      break;
    case ExitCode::NoMonitor:
      console.Line(Text(command.kind == CommandKind::Profile ? kNoMonitor : kNotTaken));
      break;
    case ExitCode::BadUsage:
      console.Line(Text(kBadUsage));
      break;
  }
  return static_cast<int>(code);
}

}  // namespace vantrel::shell
