// Shows the macro page in the real main window for screenshots and a look
// by hand, with three library macros of which key G1 carries one.
//   macro_page_demo.exe idle|menu|shortcut [close-after-ms]
// "idle" only shows the page: click a key button and use the arrow keys
// (xdotool) to see its menu. "menu" opens key G1's menu with its macro
// submenu by itself; "shortcut" opens the shortcut dialog of key G2 with
// Alt toggled on and Delete captured. Under Wine a menu opened by a timer,
// without any user input yet, can stay behind the main window: "idle" with
// real clicks is the reliable way to a screenshot of the menu.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "model/macro_library.h"
#include "model/text.h"
#include "panels/macro_ctrl_panel.h"
#include "panels/shortcut_dialog.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "skin/ex_menu.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"

using namespace vantrel;

namespace {

shell::CTevrinDlg* g_main = nullptr;
bool g_shortcut = false;
bool g_idle = false;
UINT g_close_after = 0;

std::unique_ptr<MacroRecord> Macro(const char16_t* name, int events) {
  auto m = std::make_unique<MacroRecord>();
  std::memset(m.get(), 0, sizeof(MacroRecord));
  ToFixed(m->name, name);
  m->repeatCount = 1;
  m->eventCount = events;
  for (int i = 0; i < events; ++i)
    m->events[i] = {static_cast<std::uint8_t>(0x04 + i / 2),
                    i % 2 ? kMacroActionRelease : kMacroActionPress, 30};
  return m;
}

void CALLBACK CloseAll(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM) {
        if (auto* d = dynamic_cast<panels::CDlgShortCut*>(win::Window::FromHandle(h)))
          PostMessageW(d->hwnd(), WM_CLOSE, 0, 0);
        return TRUE;
      },
      0);
  if (g_main) PostMessageW(g_main->hwnd(), WM_CLOSE, 0, 0);
}

// Waits inside the menu's or the dialog's own loop for what was opened.
void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
  if (!g_shortcut) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    KillTimer(nullptr, id);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    return;
  }
  panels::CDlgShortCut* dlg = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM lp) {
        auto* d = dynamic_cast<panels::CDlgShortCut*>(win::Window::FromHandle(h));
        if (d && IsWindowVisible(h)) *reinterpret_cast<panels::CDlgShortCut**>(lp) = d;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dlg));
  if (!dlg) return;
  KillTimer(nullptr, id);
  HWND alt = dlg->m_toggles[panels::CDlgShortCut::kAlt].hwnd();
  SendMessageW(alt, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(alt, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  SendMessageW(dlg->hwnd(), win::WM_CAPTUREDKEY, VK_DELETE, 0x01);
}

void CALLBACK Start(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto* page = dynamic_cast<panels::CDlgMacroCtrlPanel*>(g_main->panel(1));
  if (!page) return;
  g_main->ShowPanel(1);
  MacroLibrary& library = shell::Macros();
  if (library.empty()) {
    library.push_back(Macro(u"Copy line", 6));
    library.push_back(Macro(u"Burst fire", 10));
    library.push_back(Macro(u"Greeting", 14));
  }
  page->set_key_index(0);
  SendMessageW(page->hwnd(), WM_COMMAND, MAKEWPARAM(1101, 0), 0);  // G1: Burst fire
  if (g_close_after) SetTimer(nullptr, 0, g_close_after, CloseAll);
  if (g_idle) return;
  SetTimer(nullptr, 0, 30, Drive);
  if (g_shortcut) {
    page->set_key_index(1);
    PostMessageW(page->hwnd(), WM_COMMAND, MAKEWPARAM(1002, 0), 0);
  } else {
    page->OpenKeyMenu(0);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  g_shortcut = argc > 1 && std::wcscmp(argv[1], L"shortcut") == 0;
  g_idle = argc > 1 && std::wcscmp(argv[1], L"idle") == 0;
  g_close_after = argc > 2 ? static_cast<UINT>(_wtoi(argv[2])) : 0;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  skin::InstallMenuHook();
  // The demo sits beside the tests; the skin and lang.dll are in dist.
  win::SetApplicationDirectory(win::ApplicationDirectory() + L"..\\dist\\");
  shell::CTevrinDlg dlg;
  dlg.timing.launch_pause_ms = 0;
  g_main = &dlg;
  win::SetMainWindow(&dlg);
  SetTimer(nullptr, 0, 400, Start);
  dlg.RunModal(nullptr);
  win::SetMainWindow(nullptr);
  g_main = nullptr;
  return 0;
}
