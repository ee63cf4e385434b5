// Pelox.exe, the companion monitor: one copy per session. It creates the
// section and mutex the configurator opens, seeds the record from the stored
// files (reading only) and shows its window until closed.
#include <windows.h>

#include <memory>

#include "monitor_window.h"
#include "win/code_page_win.h"
#include "win/file_io_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);  // system DLLs from the system only
  if (FindWindowW(nullptr, pelox::kMonitorTitle)) return 0;
  // A stored file without a byte-order mark is in the system code page, as
  // the configurator reads it, or names outside ASCII come out wrong. Files
  // are read as the configurator reads them.
  vantrel::SetSystemCodePage(&vantrel::SystemAnsiCodePage());
  vantrel::win::UsePlatformFileIo();
  auto context = std::make_unique<pelox::MonitorContext>();
  context->options = pelox::ParseOptions(GetCommandLineW());
  context->log = pelox::EventLog(context->options.log_dir);
  context->plugged = context->options.unplugged ? 0 : 1;

  pelox::SeedFromStoredFiles(context->record, context->options.data_dir);
  context->record.KeyboardPlugIn = context->plugged;
  if (!context->link.Create(context->record)) return 0;
  context->log.Line(L"start plugged=" + std::to_wstring(context->plugged) + L" profile=" +
                    std::to_wstring(context->record.CurrentProfile));

  HWND window = pelox::CreateMonitorWindow(instance, *context);
  if (!window) return 1;
  // Started by the configurator, the monitor comes up behind its window and
  // leaves it the keyboard focus, as a program that runs in the background.
  HWND configurator = FindWindowW(nullptr, pelox::kConfiguratorTitle);
  if (configurator && show != SW_HIDE) {
    SetWindowPos(window, configurator, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  } else {
    ShowWindow(window, show);
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  context->log.Line(L"exit");
  return 0;
}
