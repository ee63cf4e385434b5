// A skinned window for screenshots: a skin made in code (rounded outline
// with a notch, four buttons), one button in each of the four looks.
#include <windows.h>

#include "skin/skinned_dialog.h"
#include "skin_fixture.h"
#include "win/dialog_templates.h"
#include "win/win_util.h"

using namespace vantrel;

namespace {

constexpr int kW = 360, kH = 200;
const std::vector<testing::TestButton> kButtons = {{L"1", {20, 60, 100, 96}},
                                                   {L"2", {110, 60, 190, 96}},
                                                   {L"3", {200, 60, 280, 96}},
                                                   {L"4", {20, 120, 280, 160}}};
const wchar_t* const kKeys[] = {L"1", L"2", L"3", L"4"};

class DemoDialog : public skin::SkinnedDialog {
 public:
  explicit DemoDialog(UINT close_after_ms)
      : SkinnedDialog(win::kWarningTemplate, Drag::Self), close_after_ms_(close_after_ms) {}

 protected:
  bool OnCreate(const CREATESTRUCTW&) override {
    skin::CBitmapBtn* buttons[] = {&normal_, &hover_, &pressed_, &disabled_};
    ApplySkin({L"demo.ini", kKeys}, buttons);
    normal_.text = L"Normal";
    hover_.text = L"Hover";
    pressed_.text = L"Pressed";
    disabled_.text = L"Disabled: right-aligned, and a caption far too long to fit";
    disabled_.alignment = 2;
    pressed_.SetCheck(true);
    EnableWindow(disabled_.hwnd(), FALSE);
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
    // Hover comes from the pointer; bring it over the hover button.
    RECT r{};
    GetWindowRect(hover_.hwnd(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(hover_.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    return true;
  }
  void PaintTexts(HDC dc) override {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(253, 253, 253));
    RECT r{0, 20, kW, 50};
    DrawTextW(dc, L"Skinned window", -1, &r, DT_CENTER | DT_SINGLELINE);
  }

 private:
  skin::CBitmapBtn normal_, hover_, pressed_, disabled_;
  UINT close_after_ms_;
};

}  // namespace

// Argument: milliseconds after which the window closes itself (0: stays).
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
  const std::wstring dir = testing::ScratchDir(L"demo");
  testing::WriteTestSkin(dir, L"demo.ini", kW, kH, testing::RoundedMask(kW, kH, 24), kButtons);
  win::SetApplicationDirectory(dir);
  DemoDialog dlg(static_cast<UINT>(_wtoi(args)));
  win::SetMainWindow(&dlg);
  return static_cast<int>(dlg.RunModal(nullptr));
}
