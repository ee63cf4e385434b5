// Shows one page of the default skin inside a plain stand-in of the main
// window, or the key assignment dialog, for screenshots and a look by hand.
//   panels_demo.exe keyboard|lighting|advanced|keyassi [close-after-ms]
// "lighting-menu" and "advanced-menu" open the page's first menu.
// The keyboard page shows two remapped keys; the key assignment dialog
// opens on position 0 (Esc) as if Q had just been pressed.
#include <windows.h>

#include <cwchar>
#include <memory>
#include <string>

#include "model/settings_record.h"
#include "panels/adv_ctrl_panel.h"
#include "panels/key_assi.h"
#include "panels/light_ctrl_panel.h"
#include "panels/main_ctrl_panel.h"
#include "skin/ex_menu.h"
#include "skin/skinned_dialog.h"
#include "win/dialog_templates.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"

using namespace vantrel;

namespace {

SettingsRecord g_record;

class Stand : public skin::SkinnedDialog {
 public:
  Stand(std::wstring page, UINT close_after_ms)
      : SkinnedDialog(win::kMainTemplate, Drag::Self),
        page_(std::move(page)),
        close_after_ms_(close_after_ms) {}

 protected:
  bool OnCreate(const CREATESTRUCTW&) override {
    ApplySkin({L"Skins\\skin_Config.ini", {}, L"skins\\", L"Disable"}, {});
    return true;
  }
  bool OnInitDialog() override {
    HWND menu_button = nullptr;
    if (page_ == L"keyboard") {
      panel_ = std::make_unique<panels::CDlgMainCtrlPanel>(g_record);
    } else if (page_.starts_with(L"lighting")) {
      auto light = std::make_unique<panels::CDlgLightCtrlPanel>(g_record);
      light->CreateChild(hwnd());
      menu_button = light->m_btnMode.hwnd();
      panel_ = std::move(light);
    } else {
      auto adv = std::make_unique<panels::CDlgAdvCtrlPanel>(g_record);
      adv->CreateChild(hwnd());
      menu_button = adv->m_btnResponse.hwnd();
      panel_ = std::move(adv);
    }
    if (!panel_->hwnd()) panel_->CreateChild(hwnd());
    MoveWindow(panel_->hwnd(), 1, 100, 781, 267, TRUE);
    panel_->PutSettingToControl();
    ShowWindow(panel_->hwnd(), SW_SHOW);
    if (close_after_ms_) SetTimer(hwnd(), 1, close_after_ms_, nullptr);
    // Once the window is on screen: activating it would close the menu.
    if (page_.ends_with(L"-menu")) SetTimer(hwnd(), 2, 300, nullptr);
    menu_button_ = menu_button;
    return false;
  }
  bool OnTimer(UINT_PTR id) override {
    if (id == 2) {
      KillTimer(hwnd(), 2);
      PostMessageW(panel_->hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                   reinterpret_cast<LPARAM>(menu_button_));
      return true;
    }
    EndMenu();
    End(1);
    return true;
  }

 private:
  std::wstring page_;
  UINT close_after_ms_;
  std::unique_ptr<panels::Panel> panel_;
  HWND menu_button_ = nullptr;
};

class KeyAssiDemo : public panels::CDlgKeyAssi {
 public:
  explicit KeyAssiDemo(UINT close_after_ms) : close_after_ms_(close_after_ms) {}

 protected:
  bool OnInitDialog() override {
    CDlgKeyAssi::OnInitDialog();
    PostMessageW(hwnd(), win::WM_CAPTUREDKEY, 'Q', 0);
    if (close_after_ms_) SetTimer(hwnd(), 1, close_after_ms_, nullptr);
    return false;
  }
  bool OnTimer(UINT_PTR) override {
    End(IDCANCEL);
    return true;
  }

 private:
  UINT close_after_ms_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
  win::SetApplicationDirectory(win::ApplicationDirectory() + L"..\\dist\\");
  skin::InstallMenuHook();
  ResetRecord(g_record);
  ApplyFactoryDefaultsAll(g_record);
  g_record.CurrentProfile = 0;
  g_record.profiles[0].standardkey[44] = 0x29;  // Caps Lock sends Esc
  g_record.profiles[0].standardkey[31] = 0x04;  // Q sends A
  g_record.profiles[0].PollingRate = 2;
  g_record.profiles[0].iResponTime = 1;
  std::wstring arg = args ? args : L"";
  const std::wstring page = arg.substr(0, arg.find(L' '));
  const size_t space = arg.find(L' ');
  const UINT close_after = space == std::wstring::npos ? 0 : _wtoi(arg.c_str() + space + 1);
  if (page == L"keyassi") {
    KeyAssiDemo dlg(close_after);
    dlg.m_keyPosition = 0;
    dlg.m_currentCode = 0x29;
    return static_cast<int>(dlg.RunModal(nullptr));
  }
  Stand stand(page, close_after);
  win::SetMainWindow(&stand);
  return static_cast<int>(stand.RunModal(nullptr));
}
