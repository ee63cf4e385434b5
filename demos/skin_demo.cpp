// A skinned window for screenshots: a skin made in code (rounded outline
// with a notch, four buttons), one button in each of the four looks.
#include <windows.h>

#include "skin/lang_strings.h"
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

// The default skin's main window with its 19 captioned buttons, texts from
// lang.dll: shows how the shipped texts fit the shipped pictures.
class MainDemo : public skin::SkinnedDialog {
 public:
  explicit MainDemo(UINT close_after_ms)
      : SkinnedDialog(win::kMainTemplate, Drag::Self), close_after_ms_(close_after_ms) {}

 protected:
  bool OnCreate(const CREATESTRUCTW&) override {
    static const wchar_t* const kMainKeys[] = {L"1",  L"2",  L"3",  L"4",  L"25", L"10", L"6",
                                               L"7",  L"8",  L"9",  L"11", L"12", L"13", L"15",
                                               L"21", L"22", L"20", L"16", L"17"};
    // Caption entry per button (-1: none; 100+n: "%s %d" of entry 8 and n).
    static const int kEntry[] = {0,   1,   2,   15, 14, 3,  4,  5,  6, 7,
                                 101, 102, 103, 9,  11, 12, 10, -1, -1};
    skin::LoadLangStrings(101, 17, texts_);
    skin::CBitmapBtn* list[19];
    for (int i = 0; i < 19; ++i) list[i] = &buttons_[i];
    ApplySkin({L"Skins\\skin_Config.ini", kMainKeys, L"skins\\", L"Disable"}, list);
    for (int i = 0; i < 19; ++i) {
      skin::CBitmapBtn& b = buttons_[i];
      if (kEntry[i] < 0) continue;
      b.text = kEntry[i] >= 100 ? skin::TextAt(texts_, 8) + L" " + std::to_wstring(kEntry[i] - 99)
                                : skin::TextAt(texts_, kEntry[i]);
      if (i < 4) b.font_height = 16, b.font_width = 6;
      if (i == 5 || i == 13) b.draw_flags = kDrawWordBreak, b.font_height = 20, b.font_width = 8;
      b.SetTooltipText(b.text);
    }
    buttons_[0].SetCheck(true);
    buttons_[5].SetCheck(true);
    return true;
  }
  bool OnInitDialog() override {
    if (close_after_ms_) SetTimer(hwnd(), 2, close_after_ms_, nullptr);
    return false;
  }
  bool OnTimer(UINT_PTR) override {
    End(1);
    return true;
  }

 private:
  skin::TextTable texts_;
  skin::CBitmapBtn buttons_[19];
  UINT close_after_ms_;
};

}  // namespace

// Argument: milliseconds after which the window closes itself (0: stays).
// With "main" after it: the default skin's main window from ..\\dist.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
  if (wcsstr(args, L"main")) {
    win::SetApplicationDirectory(win::ApplicationDirectory() + L"..\\dist\\");
    MainDemo main(static_cast<UINT>(_wtoi(args)));
    win::SetMainWindow(&main);
    return static_cast<int>(main.RunModal(nullptr));
  }
  const std::wstring dir = testing::ScratchDir(L"demo");
  testing::WriteTestSkin(dir, L"demo.ini", kW, kH, testing::RoundedMask(kW, kH, 24), kButtons);
  win::SetApplicationDirectory(dir);
  DemoDialog dlg(static_cast<UINT>(_wtoi(args)));
  win::SetMainWindow(&dlg);
  return static_cast<int>(dlg.RunModal(nullptr));
}
