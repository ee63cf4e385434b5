// Owner-drawn popup menus: item kinds and sizes, item colours, and the
// frame the menu hook paints around a shown menu window.
#include "skin/ex_menu.h"

#include <gtest/gtest.h>

#include <functional>

#include "win/window.h"

using namespace vantrel;
using namespace vantrel::skin;

namespace {

// A top-level owner that calls `on_idle` with the menu window while the
// menu is up. It forwards no owner-draw message: the window base hands
// them to the menu being tracked.
class Owner : public win::Window {
 public:
  std::function<void(HWND)> on_idle;
  UINT last_command = 0;

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT&) override {
    if (msg == WM_ENTERIDLE && wp == MSGF_MENU && on_idle) {
      auto idle = std::exchange(on_idle, nullptr);
      idle(reinterpret_cast<HWND>(lp));
    }
    return false;
  }
  bool OnCommand(HWND, UINT id, UINT) override {
    last_command = id;
    return true;
  }
};

UINT Measure(const CExMenu& menu, UINT id) {
  MEASUREITEMSTRUCT m{ODT_MENU, 0, id, 0, 0, 0};
  menu.MeasureItem(m);
  return m.itemHeight;
}

UINT Width(const CExMenu& menu, UINT id) {
  MEASUREITEMSTRUCT m{ODT_MENU, 0, id, 0, 0, 0};
  menu.MeasureItem(m);
  return m.itemWidth;
}

MENUITEMINFOW ItemInfo(HMENU menu, int pos) {
  MENUITEMINFOW info{sizeof info, MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU | MIIM_ID};
  GetMenuItemInfoW(menu, pos, TRUE, &info);
  return info;
}

TEST(ExMenu, ItemKindsAndSizes) {
  CExMenu sub;
  sub.AppendItem(3001, L"Inner");
  CExMenu menu;
  menu.AppendItem(2001, L"abc");
  EXPECT_EQ(Width(menu, 2001), 36u);
  menu.AppendItem(kSeparatorId, L"");
  menu.AppendItem(2002, L"0123456789");  // 10 characters: every item 120 wide
  menu.AppendItem(2003, L"More", &sub);
  menu.AppendItem(2004, L"x");  // shorter texts never narrow the menu

  for (UINT id : {0u, 2001u, 2002u, 2004u}) EXPECT_GE(Width(menu, id), 120u) << id;
  EXPECT_EQ(Measure(menu, 0), 5u);
  EXPECT_EQ(Measure(menu, 1), 0u);
  EXPECT_EQ(Measure(menu, 2001), 20u);
  EXPECT_EQ(Measure(menu, 2048), 20u);

  ASSERT_EQ(GetMenuItemCount(menu.handle()), 5);
  const MENUITEMINFOW separator = ItemInfo(menu.handle(), 1);
  EXPECT_EQ(separator.fType & (MFT_OWNERDRAW | MFT_SEPARATOR), MFT_OWNERDRAW | MFT_SEPARATOR);
  const MENUITEMINFOW popup = ItemInfo(menu.handle(), 3);
  EXPECT_TRUE(popup.fType & MFT_OWNERDRAW);
  EXPECT_EQ(popup.hSubMenu, sub.handle());
  const MENUITEMINFOW plain = ItemInfo(menu.handle(), 0);
  EXPECT_EQ(plain.wID, 2001u);
  EXPECT_NE(plain.dwItemData, 0u);
  // Owner-drawn, yet the texts are there for a screen reader to read.
  for (auto [pos, text] : {std::pair{0, L"abc"}, {2, L"0123456789"}, {3, L"More"}}) {
    wchar_t got[32]{};
    GetMenuStringW(menu.handle(), pos, got, 32, MF_BYPOSITION);
    EXPECT_STREQ(got, text) << pos;
  }
}

// Draws item `pos` into a 40 x 20 bitmap and returns the colour at (30, 10),
// away from the text.
COLORREF DrawnBackground(const CExMenu& menu, int pos, bool selected) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 40, 20);
  HGDIOBJ old = SelectObject(dc, canvas);
  const MENUITEMINFOW info = ItemInfo(menu.handle(), pos);
  DRAWITEMSTRUCT d{ODT_MENU,
                   0,
                   info.wID,
                   ODA_DRAWENTIRE,
                   selected ? ODS_SELECTED : 0u,
                   reinterpret_cast<HWND>(menu.handle()),
                   dc,
                   {0, 0, 40, 20},
                   info.dwItemData};
  menu.DrawItem(d);
  SelectClipRgn(dc, nullptr);
  COLORREF c = GetPixel(dc, 30, 10);
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return c;
}

TEST(ExMenu, DarkItemsOrangeSelection) {
  CExMenu menu;
  menu.AppendItem(2001, L"A");
  menu.AppendItem(2002, L"B", nullptr, true, true);
  EXPECT_EQ(DrawnBackground(menu, 0, false), RGB(0, 0, 0));
  EXPECT_EQ(DrawnBackground(menu, 0, true), kAccent);
  EXPECT_EQ(DrawnBackground(menu, 1, true), kAccent);
}

class HookedMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallMenuHook();
    ASSERT_TRUE(owner.Create(WS_POPUP | WS_VISIBLE, 0, nullptr, {40, 40, 240, 140}));
    menu.AppendItem(2001, L"Red");
    menu.AppendItem(kSeparatorId, L"");
    menu.AppendItem(2002, L"Green");
    menu.item_width = 135;
  }
  Owner owner;
  CExMenu menu;
};

TEST_F(HookedMenu, ShownMenuGetsTheFrameAndIsUnhookedWhenClosed) {
  HWND seen = nullptr;
  bool hooked = false;
  COLORREF ring[4] = {};
  COLORREF inside = CLR_INVALID;
  COLORREF printed[2] = {};
  owner.on_idle = [&](HWND menu_window) {
    seen = menu_window;
    hooked = GetPropW(menu_window, L"CoolMenu_oldProc") != nullptr;
    UpdateWindow(menu_window);
    GdiFlush();
    RECT r{};
    GetWindowRect(menu_window, &r);
    // What reached the screen, not what a window DC would say.
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < 4; ++i)
      ring[i] = GetPixel(screen, r.left + i, r.top + (r.bottom - r.top) / 2);
    inside = GetPixel(screen, r.right - 10, r.top + 12);
    ReleaseDC(nullptr, screen);
    // The printed image (menu animations on Windows) carries the frame too.
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateBitmap(r.right - r.left, r.bottom - r.top, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(mem, canvas);
    SendMessageW(menu_window, WM_PRINT, reinterpret_cast<WPARAM>(mem),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    printed[0] = GetPixel(mem, 0, 5);
    printed[1] = GetPixel(mem, 2, 5);
    SelectObject(mem, old);
    DeleteObject(canvas);
    DeleteDC(mem);
    EndMenu();
  };
  menu.TrackAt(owner.hwnd(), {60, 60}, true);
  ASSERT_NE(seen, nullptr);
  EXPECT_TRUE(hooked);
  EXPECT_EQ(ring[0], kAccent);
  EXPECT_EQ(ring[1], kFrameDark);
  EXPECT_EQ(ring[2], kFrameDark);
  EXPECT_EQ(inside, RGB(0, 0, 0));
  EXPECT_EQ(printed[0], kAccent);
  EXPECT_EQ(printed[1], kFrameDark);
  // Hidden or destroyed: either way the window no longer carries our hook.
  EXPECT_TRUE(!IsWindow(seen) || GetPropW(seen, L"CoolMenu_oldProc") == nullptr);
}

TEST_F(HookedMenu, ChoiceReachesTheOwnerAsCommandOrAsResult) {
  auto choose_first = [](HWND menu_window) {
    // Select the first item and pick it, as a keyboard user would.
    PostMessageW(menu_window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu_window, WM_KEYDOWN, VK_RETURN, 0);
  };
  owner.on_idle = choose_first;
  EXPECT_EQ(menu.TrackAt(owner.hwnd(), {60, 60}, true), 2001u);
  EXPECT_EQ(owner.last_command, 0u);

  owner.on_idle = choose_first;
  EXPECT_NE(menu.TrackAt(owner.hwnd(), {60, 60}, false), 0u);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_EQ(owner.last_command, 2001u);
}

}  // namespace
