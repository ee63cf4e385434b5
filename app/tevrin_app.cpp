// CTevrinApp: prepares the process (common controls, restart support, the
// model's platform hooks) and runs the main window modally; the process
// ends when it closes. There is no other message loop. The menu hook is the
// main window's to install, once it is up. With arguments, the command
// line's job runs instead (shell/command_runner.h) and gives the exit code.

// <windows.h> must come before the headers that build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
// clang-format on

#include <string>
#include <vector>

#include "model/command_line.h"
#include "model/ini_file.h"
#include "model/key_codes.h"
#include "shell/command_runner.h"
#include "shell/main_window.h"
#include "skin/ex_menu.h"
#include "win/code_page_win.h"
#include "win/file_io_win.h"
#include "win/keyboard_layout_win.h"
#include "win/win_util.h"

namespace vantrel::app {

class CTevrinApp {
 public:
  // The restart manager may start the program again after a crash or an
  // update; there is nothing to recover.
  CTevrinApp() { RegisterApplicationRestart(nullptr, 0); }

  int InitInstance(const Command& command) {
    INITCOMMONCONTROLSEX icc{8, 0xFF};
    InitCommonControlsEx(&icc);
    win::InstallDebugTrace();
    SetSystemCodePage(&SystemAnsiCodePage());
    win::UsePlatformFileIo();
    SetActiveKeyboardLayout(&win::PlatformKeyboardLayout());
    // With arguments the program does their job and exits; the window is
    // not shown.
    if (command.kind != CommandKind::Window) return shell::RunCommand(command);
    // The owner-drawn menu hook is installed by the main window once it is
    // up: no menu can open before, and the hook slows every message sent.

    shell::CTevrinDlg dlg;
    win::SetMainWindow(&dlg);
    dlg.RunModal(nullptr);
    win::SetMainWindow(nullptr);
    return 0;
  }
};

}  // namespace vantrel::app

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // System DLLs (those loaded on first use among them) come from the system
  // folder only, never from the program's own: a DLL of that name left in a
  // downloads folder beside an unpacked program is not loaded. lang.dll is
  // loaded by its full path, as data.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The arguments as the C runtime split them at start-up (the shell's
  // splitter would load shell32 and what it brings before the window).
  std::vector<std::u16string> args;
  for (int i = 1; __wargv && i < __argc; ++i) args.push_back(vantrel::win::ToU16(__wargv[i]));
  vantrel::app::CTevrinApp app;
  return app.InitInstance(vantrel::ParseCommandLine(args));
}
