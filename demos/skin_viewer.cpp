// Skin viewer: shows any window's skin from the runnable folder with the
// skin engine — its outline, its Normal picture, and its buttons in turn in
// the normal, pressed, disabled and hover looks — for looking at every skin
// of the default skin set (tools/skin-shots.sh screenshots them all).
// Arguments: the skin file relative to the runnable folder, then the
// milliseconds after which the window closes itself (0: stays).
// <windows.h> must come before the headers that build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <memory>
#include <string>
#include <vector>

#include "skin/skinned_dialog.h"
#include "win/dialog_templates.h"
#include "win/win_util.h"

using namespace vantrel;

namespace {

class SkinViewer : public skin::SkinnedDialog {
 public:
  SkinViewer(std::wstring file, UINT close_after_ms)
      : SkinnedDialog(win::kWarningTemplate, Drag::Self),
        file_(std::move(file)),
        close_after_ms_(close_after_ms) {}

 protected:
  bool OnCreate(const CREATESTRUCTW&) override {
    // Every BUTTONPOS key of the file, in file order.
    std::wstring path = win::ApplicationDirectory() + file_;
    std::vector<wchar_t> list(8192);
    GetPrivateProfileStringW(L"BUTTONPOS", nullptr, L"", list.data(),
                             static_cast<DWORD>(list.size()), path.c_str());
    for (const wchar_t* k = list.data(); *k && keys_.size() < 200; k += wcslen(k) + 1)
      keys_.emplace_back(k);
    std::vector<const wchar_t*> key_ptrs;
    std::vector<skin::CBitmapBtn*> button_ptrs;
    for (const std::wstring& k : keys_) {
      key_ptrs.push_back(k.c_str());
      buttons_.push_back(std::make_unique<skin::CBitmapBtn>());
      button_ptrs.push_back(buttons_.back().get());
    }
    const bool main = file_.find(L"skin_Config") != std::wstring::npos;
    ApplySkin(
        {file_.c_str(), key_ptrs, main ? L"skins\\" : L"Skins\\", main ? L"Disable" : L"Disabled"},
        button_ptrs);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
      if (i % 4 == 1) buttons_[i]->SetCheck(true);
      if (i % 4 == 2) EnableWindow(buttons_[i]->hwnd(), FALSE);
    }
    return true;
  }
  bool OnInitDialog() override {
    SetTimer(hwnd(), 1, 200, nullptr);
    if (close_after_ms_) SetTimer(hwnd(), 2, close_after_ms_, nullptr);
    return false;
  }
  bool OnTimer(UINT_PTR id) override {
    KillTimer(hwnd(), id);
    if (id == 2) {
      End(1);
      return true;
    }
    // The hover look comes from the pointer: put it over the fourth button.
    if (buttons_.size() > 3) {
      RECT r{};
      GetWindowRect(buttons_[3]->hwnd(), &r);
      SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
      SendMessageW(buttons_[3]->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    }
    return true;
  }

 private:
  std::wstring file_;
  UINT close_after_ms_;
  std::vector<std::wstring> keys_;
  std::vector<std::unique_ptr<skin::CBitmapBtn>> buttons_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  win::SetApplicationDirectory(win::ApplicationDirectory() + L"..\\dist\\");
  SkinViewer viewer(argv[1], argc > 2 ? static_cast<UINT>(_wtoi(argv[2])) : 0);
  win::SetMainWindow(&viewer);
  return static_cast<int>(viewer.RunModal(nullptr));
}
