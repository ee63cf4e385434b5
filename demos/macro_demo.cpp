// Shows the macro manager on the default skin for screenshots and a look by
// hand:  macro_demo.exe empty|events|record|menu|submenu [close-after-ms]
// "events" opens on a macro with keys, a pause and a mouse click; "record"
// starts recording and feeds it two keys; "menu" opens the event list's menu
// on the second line, "submenu" also opens the mouse button submenus.
#include <windows.h>

#include <memory>
#include <string>

#include "model/text.h"
#include "panels/macro_man.h"
#include "skin/ex_menu.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"

using namespace vantrel;

namespace {

MacroLibrary g_library;

void Add(const char16_t* name, std::initializer_list<MacroEvent> events, int repeat) {
  auto m = std::make_unique<MacroRecord>();
  ToFixed(m->name, name);
  int i = 0;
  for (const MacroEvent& e : events) m->events[i++] = e;
  m->eventCount = i;
  m->repeatCount = repeat;
  g_library.push_back(std::move(m));
}

class Demo : public panels::CDlgMacroMan {
 public:
  Demo(std::wstring mode, UINT close_after_ms)
      : CDlgMacroMan(g_library), mode_(std::move(mode)), close_after_ms_(close_after_ms) {}

 protected:
  bool OnInitDialog() override {
    const bool result = CDlgMacroMan::OnInitDialog();
    if (close_after_ms_) SetTimer(hwnd(), 1, close_after_ms_, nullptr);
    // Once the window is on screen.
    if (mode_ != L"empty" && mode_ != L"events") SetTimer(hwnd(), 2, 300, nullptr);
    return result;
  }
  bool OnTimer(UINT_PTR id) override {
    if (id == 2) {
      KillTimer(hwnd(), 2);
      if (mode_ == L"record") {
        PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(m_btnRecord.hwnd()));
        PostMessageW(hwnd(), win::WM_CAPTUREDKEY, VK_LCONTROL, 0);
        PostMessageW(hwnd(), win::WM_CAPTUREDKEY, 'C', 0);
      } else {
        SendMessageW(m_eventList.hwnd(), LB_SETCURSEL, 1, 0);
        RECT r{};
        SendMessageW(m_eventList.hwnd(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
        POINT at{r.left + 40, r.top + 8};
        ClientToScreen(m_eventList.hwnd(), &at);
        SetCursorPos(at.x, at.y);
        if (mode_ == L"submenu") SetTimer(hwnd(), 3, 400, nullptr);
        PostMessageW(m_eventList.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 8));
      }
      return true;
    }
    if (id == 3) {
      // Fired inside the menu's own loop: walk to the mouse submenu and into
      // the first button's.
      KillTimer(hwnd(), 3);
      if (HWND menu = FindWindowW(L"#32768", nullptr)) {
        for (int i = 0; i < 4; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RIGHT, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RIGHT, 0);
      }
      return true;
    }
    EndMenu();
    if (recording())
      SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                   reinterpret_cast<LPARAM>(m_btnRecord.hwnd()));
    End(IDCANCEL);
    return true;
  }

 private:
  std::wstring mode_;
  UINT close_after_ms_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
  win::SetApplicationDirectory(win::ApplicationDirectory() + L"..\\dist\\");
  skin::InstallMenuHook();
  std::wstring arg = args ? args : L"";
  const size_t space = arg.find(L' ');
  const std::wstring mode = arg.substr(0, space);
  const UINT close_after = space == std::wstring::npos ? 0 : _wtoi(arg.c_str() + space + 1);
  if (mode != L"empty") {
    // Ctrl+C, a pause, then a left click: keys, releases, pause and mouse.
    Add(u"Copy and click",
        {{0xE0, 1, 0}, {0x06, 1, 30}, {0x06, 2, 0}, {0xE0, 2, 120}, {240, 1, 0}, {240, 2, 0}}, 3);
    Add(u"Reload", {{0x15, 1, 0}, {0x15, 2, 0}}, 0);
    Add(u"Spray", {{240, 1, 500}, {240, 2, 0}}, 10);
  }
  Demo dlg(mode, close_after);
  return static_cast<int>(dlg.RunModal(nullptr));
}
