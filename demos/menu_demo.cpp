// Shows the owner-drawn controls together for a screenshot and a look by
// hand: the list box with icons and an open editor, a picture slider, and
// an owner-drawn menu (framed by the menu hook) with its submenu open.
//   menu_demo.exe [close-after-ms]
#include <windows.h>

#include <cwchar>
#include <string>

#include "skin/ex_menu.h"
#include "skin/list_box_ex.h"
#include "skin/slider.h"
#include "skin_fixture.h"
#include "win/gdi.h"
#include "win/window.h"

using namespace vantrel;

namespace {

constexpr UINT_PTR kOpenMenuTimer = 1, kCloseTimer = 2;

class Demo : public win::Window {
 public:
  explicit Demo(UINT close_after) : close_after_(close_after) {}

  bool Build() {
    if (!Create(WS_POPUP | WS_VISIBLE, 0, nullptr, {0, 0, 560, 320}, L"Menu demo")) return false;
    list_.Create(hwnd(), {20, 20, 220, 200}, 5);
    list_.selected_text_colour = RGB(255, 255, 255);
    list_.text_colour = RGB(220, 220, 220);
    list_.selection_colour = skin::kAccent;
    list_.background = back_.get();
    list_.AddItem(L"Key down A", 138);
    list_.AddItem(L"Pause 50 ms", 140);
    list_.AddItem(L"Key down B", 138);
    list_.AddItem(L"No icon, reserved", 1);
    list_.AddItem(L"No icon", 0);
    list_.AddItemAndEdit();
    for (wchar_t c : std::wstring(L"New macro")) SendMessageW(list_.editor(), WM_CHAR, c, 0);

    BuildSlider();
    font_.reset(CreateFontW(14, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH,
                            L"Arial"));
    SetTimer(hwnd(), kOpenMenuTimer, 300, nullptr);
    if (close_after_) SetTimer(hwnd(), kCloseTimer, close_after_, nullptr);
    return true;
  }

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (skin::CListBoxEx::ReflectCtlColor(msg, wp, lp, result)) return true;
    if (menu_ && msg == WM_MEASUREITEM &&
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->CtlType == ODT_MENU) {
      menu_->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
      result = TRUE;
      return true;
    }
    if (menu_ && msg == WM_DRAWITEM && reinterpret_cast<DRAWITEMSTRUCT*>(lp)->CtlType == ODT_MENU) {
      menu_->DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
      result = TRUE;
      return true;
    }
    if (msg == WM_ENTERIDLE && wp == MSGF_MENU && !submenu_opened_) {
      // Walk down to the submenu item and open it, as a keyboard user would.
      submenu_opened_ = true;
      HWND menu_window = reinterpret_cast<HWND>(lp);
      for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT})
        PostMessageW(menu_window, WM_KEYDOWN, key, 0);
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return false;
  }
  bool OnEraseBackground(HDC dc) override {
    RECT rc{};
    GetClientRect(hwnd(), &rc);
    FillRect(dc, &rc, back_.get());
    return true;
  }
  bool OnTimer(UINT_PTR id) override {
    KillTimer(hwnd(), id);
    if (id == kOpenMenuTimer) ShowMenu();
    if (id == kCloseTimer) {
      EndMenu();
      PostMessageW(hwnd(), WM_CLOSE, 0, 0);
    }
    return true;
  }

 private:
  void BuildSlider() {
    wchar_t tmp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tmp);
    const std::wstring base = std::wstring(tmp) + L"menu_demo_";
    using testing::WriteBmp24;
    WriteBmp24(base + L"track.bmp", 240, 16,
               [](int, int y) { return y == 7 || y == 8 ? RGB(90, 90, 90) : RGB(24, 24, 24); });
    WriteBmp24(base + L"fill.bmp", 240, 16,
               [](int, int y) { return y == 7 || y == 8 ? skin::kAccent : RGB(24, 24, 24); });
    // A round thumb on a magenta corner colour: the outline cuts it round.
    for (auto [name, colour] :
         {std::pair{L"n.bmp", RGB(200, 200, 200)}, std::pair{L"h.bmp", RGB(255, 255, 255)},
          std::pair{L"p.bmp", RGB(178, 81, 10)}}) {
      COLORREF c = colour;
      WriteBmp24(base + name, 16, 16, [c](int x, int y) {
        int dx = 2 * x - 15, dy = 2 * y - 15;
        return dx * dx + dy * dy <= 225 ? c : RGB(255, 0, 255);
      });
    }
    skin::SliderSetup setup;
    setup.owner = hwnd();
    setup.control_id = 3;
    setup.rect = {20, 240, 260, 256};
    setup.range = {0, 10};
    setup.track_picture = base + L"track.bmp";
    setup.fill_picture = base + L"fill.bmp";
    setup.thumb_pictures = {base + L"n.bmp", base + L"h.bmp", base + L"p.bmp"};
    slider_.Create(setup);
    slider_.SetValue(3);
  }

  void ShowMenu() {
    skin::CExMenu sub(font_.get());
    sub.AppendItem(3001, L"Wave");
    sub.AppendItem(3002, L"Ripple", nullptr, true);
    sub.AppendItem(3003, L"Breathing");
    sub.item_width = 135;
    skin::CExMenu menu(font_.get());
    menu.AppendItem(2001, L"Static");
    menu.AppendItem(2002, L"Reactive", nullptr, false, true);
    menu.AppendItem(skin::kSeparatorId, L"");
    menu.AppendItem(2003, L"Off");
    menu.AppendItem(2004, L"Effects", &sub);
    menu.item_width = 135;
    // The submenu's items come to this owner too: the top menu draws them
    // from the records their item data points to.
    menu_ = &menu;
    RECT rc{};
    GetWindowRect(hwnd(), &rc);
    menu.TrackAt(hwnd(), {rc.left + 250, rc.top + 20});
    menu_ = nullptr;
  }

  UINT close_after_;
  win::Brush back_{CreateSolidBrush(RGB(16, 16, 16))};
  win::Font font_;
  skin::CListBoxEx list_;
  skin::CClickSlider slider_;
  skin::CExMenu* menu_ = nullptr;
  bool submenu_opened_ = false;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
  skin::InstallMenuHook();
  Demo demo(args && *args ? static_cast<UINT>(_wtoi(args)) : 0);
  if (!demo.Build()) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
