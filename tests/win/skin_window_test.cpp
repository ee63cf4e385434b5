// Skinned windows end to end: a skin written to a scratch folder, a
// skinned dialog with its buttons, their looks and notifications, the key
// filter, and GDI handle counts over many windows.
#include <gtest/gtest.h>
// <windows.h> must come before <commctrl.h>.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <vector>

#include "gdi_tracker.h"
#include "skin/bitmap_btn.h"
#include "skin/skin.h"
#include "skin/skinned_dialog.h"
#include "skin_fixture.h"
#include "win/dialog_templates.h"
#include "win/win_util.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

constexpr int kW = 160, kH = 100;
const std::vector<TestButton> kButtons = {
    {L"1", {10, 10, 50, 30}}, {L"2", {60, 10, 100, 30}}, {L"7", {10, 50, 70, 80}}};
const wchar_t* const kKeys[] = {L"1", L"2", L"7", L"99"};  // "99" is not in the file

class SkinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::wstring dir = ScratchDir(L"window");
    WriteTestSkin(dir, L"skin_test.ini", kW, kH, RoundedMask(kW, kH, 10), kButtons);
    win::SetApplicationDirectory(dir);
  }
  void SetUp() override {
    ASSERT_TRUE(host_.Create(WS_POPUP | WS_VISIBLE, 0, nullptr, RECT{100, 100, 400, 300}));
  }
  win::Window host_;
};

struct TestPanel : skin::SkinnedDialog {
  explicit TestPanel(const wchar_t* file = L"skin_test.ini")
      : SkinnedDialog(win::kMainCtrlPanelTemplate, Drag::Parent), file_(file) {}
  skin::CBitmapBtn a, b, c, d;
  std::vector<SkinButtonPos> positions;
  std::vector<HWND> commands;
  int texts_painted = 0;

  bool OnCreate(const CREATESTRUCTW&) override {
    skin::CBitmapBtn* buttons[] = {&a, &b, &c, &d};
    positions = ApplySkin({file_, kKeys}, buttons);
    a.text = L"Play";
    return true;
  }
  bool OnCommand(HWND control, UINT id, UINT code) override {
    if (id == 0 && code == BN_CLICKED) commands.push_back(control);
    return SkinnedDialog::OnCommand(control, id, code);
  }
  void PaintTexts(HDC) override { ++texts_painted; }
  bool OnMouse(const win::MouseEvent& e) override {
    if (e.message == WM_MOUSEMOVE) moves.push_back(e.pt);
    return SkinnedDialog::OnMouse(e);
  }
  std::vector<POINT> moves;
  const wchar_t* file_;
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

SIZE WindowSize(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// Draws `button` the way its parent would be asked to, into a bitmap, and
// returns the colour in the middle of the button.
COLORREF DrawnColour(skin::SkinnedDialog& parent, skin::CBitmapBtn& button, UINT state) {
  RECT rc{};
  GetClientRect(button.hwnd(), &rc);
  win::WindowDC screen(nullptr);
  win::MemoryDC dc(screen.get());
  win::Bitmap canvas(CreateCompatibleBitmap(screen.get(), rc.right, rc.bottom));
  win::SelectGuard keep(dc.get(), canvas.get());
  DRAWITEMSTRUCT di{ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, state, button.hwnd(), dc.get(), rc, 0};
  SendMessageW(parent.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&di));
  return GetPixel(dc.get(), rc.right / 2, 2);
}

TEST_F(SkinTest, SkinSizesTheWindowCutsItsOutlineAndPlacesButtons) {
  TestPanel panel;
  ASSERT_TRUE(panel.CreateChild(host_.hwnd()));
  SIZE size = WindowSize(panel.hwnd());
  EXPECT_EQ(size.cx, kW);
  EXPECT_EQ(size.cy, kH);
  win::Region rgn(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(panel.hwnd(), rgn.get()), COMPLEXREGION);
  EXPECT_TRUE(panel.images().background);
  EXPECT_TRUE(panel.images().mask);

  ASSERT_EQ(panel.positions.size(), 4u);
  EXPECT_EQ(panel.positions[2].right, 70);
  RECT r{};
  GetWindowRect(panel.c.hwnd(), &r);
  MapWindowPoints(nullptr, panel.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_TRUE(EqualRect(&r, &kButtons[2].rect));
  EXPECT_EQ(GetDlgCtrlID(panel.a.hwnd()), 0);
  EXPECT_TRUE(GetWindowLongPtrW(panel.a.hwnd(), GWL_STYLE) & WS_TABSTOP) << "reached with Tab";
  // The key missing from the file gives a button without area.
  ASSERT_NE(panel.d.hwnd(), nullptr);
  EXPECT_EQ(WindowSize(panel.d.hwnd()).cx, 0);
}

TEST_F(SkinTest, ButtonsShowTheirFourLooks) {
  TestPanel panel;
  ASSERT_TRUE(panel.CreateChild(host_.hwnd()));
  skin::CBitmapBtn& b = panel.b;  // no text: the image alone
  EXPECT_EQ(DrawnColour(panel, b, 0), kNormal);
  EXPECT_EQ(DrawnColour(panel, b, ODS_SELECTED), kDown);
  EXPECT_EQ(DrawnColour(panel, b, ODS_DISABLED), kDisabled);
  b.SetCheck(true);
  EXPECT_EQ(DrawnColour(panel, b, 0), kDown);
  EXPECT_EQ(DrawnColour(panel, b, ODS_DISABLED), kDisabled);
  b.toggle_mode = true;
  EXPECT_EQ(DrawnColour(panel, b, ODS_DISABLED), kDown);
  b.toggle_mode = false;
  b.SetCheck(false);
  // A captioned button composes text over the same picture.
  EXPECT_EQ(DrawnColour(panel, panel.a, 0), kNormal);

  // Hover: the pointer comes over the button while the application is active.
  SetActiveWindow(host_.hwnd());
  SendMessageW(b.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  ASSERT_TRUE(b.hovered());
  EXPECT_EQ(GetCapture(), b.hwnd());
  EXPECT_EQ(DrawnColour(panel, b, 0), kOver);
  // The parent hears of the move, in screen coordinates.
  Pump();
  POINT screen{3, 3};
  ClientToScreen(b.hwnd(), &screen);
  ASSERT_EQ(panel.moves.size(), 1u);
  EXPECT_EQ(panel.moves[0].x, screen.x);
  EXPECT_EQ(panel.moves[0].y, screen.y);
  // ...and leaves it (far outside every window).
  SendMessageW(b.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(-3000, -3000));
  EXPECT_FALSE(b.hovered());
  EXPECT_NE(GetCapture(), b.hwnd());
  // A drag that began elsewhere does not light it.
  SendMessageW(b.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_FALSE(b.hovered());
}

// The tip control comes with the first pointer move over the button and
// carries the latest text; a move over another window makes none.
TEST_F(SkinTest, TooltipAppearsOnFirstHoverWithTheLatestText) {
  TestPanel panel;
  ASSERT_TRUE(panel.CreateChild(host_.hwnd()));
  panel.a.SetTooltipText(L"first");
  panel.a.SetTooltipText(L"");  // an empty text keeps the tip
  EXPECT_EQ(panel.a.tooltip(), nullptr);
  MSG elsewhere{panel.b.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)};
  panel.a.PreTranslateMessage(elsewhere);
  EXPECT_EQ(panel.a.tooltip(), nullptr);

  auto shown_text = [&] {
    wchar_t buf[64] = {};
    TOOLINFOW info{TTTOOLINFOW_V2_SIZE};
    info.hwnd = panel.a.hwnd();
    info.uId = 1;
    info.lpszText = buf;
    SendMessageW(panel.a.tooltip(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&info));
    return std::wstring(buf);
  };
  MSG over{panel.a.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)};
  panel.a.PreTranslateMessage(over);
  ASSERT_NE(panel.a.tooltip(), nullptr);
  EXPECT_EQ(shown_text(), L"first");
  const HWND tip = panel.a.tooltip();
  panel.a.SetTooltipText(L"second");
  EXPECT_EQ(shown_text(), L"second");
  panel.a.PreTranslateMessage(over);
  EXPECT_EQ(panel.a.tooltip(), tip);  // one control per button
  EXPECT_EQ(panel.b.tooltip(), nullptr);
}

TEST_F(SkinTest, SetCheckRepaintsOnlyOnChange) {
  TestPanel panel;
  ASSERT_TRUE(panel.CreateChild(host_.hwnd()));
  ShowWindow(panel.hwnd(), SW_SHOW);
  UpdateWindow(host_.hwnd());
  HWND b = panel.b.hwnd();
  UpdateWindow(b);
  ASSERT_FALSE(GetUpdateRect(b, nullptr, FALSE));
  panel.b.SetCheck(false);
  EXPECT_FALSE(GetUpdateRect(b, nullptr, FALSE));
  panel.b.SetCheck(true);
  EXPECT_TRUE(GetUpdateRect(b, nullptr, FALSE));
  UpdateWindow(b);
  panel.b.SetCheck(true);
  EXPECT_FALSE(GetUpdateRect(b, nullptr, FALSE));
}

TEST_F(SkinTest, ClicksNotifyOnceInBothModes) {
  struct Listener : TestPanel {
    int ups = 0;
    bool OnMouse(const win::MouseEvent& e) override {
      if (e.message == WM_LBUTTONUP) ++ups;
      return true;
    }
  } panel;
  ASSERT_TRUE(panel.CreateChild(host_.hwnd()));
  ShowWindow(panel.hwnd(), SW_SHOW);
  HWND b = panel.b.hwnd();
  for (bool toggle : {false, true}) {
    SCOPED_TRACE(toggle ? "toggle" : "push");
    panel.commands.clear();
    panel.ups = 0;
    panel.b.toggle_mode = toggle;
    const bool before = panel.b.GetCheck();
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_TRUE(skin::CBitmapBtn::MouseButtonDown());
    SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    Pump();
    EXPECT_EQ(panel.commands, std::vector<HWND>{b});
    EXPECT_EQ(panel.ups, 1);
    EXPECT_FALSE(skin::CBitmapBtn::MouseButtonDown());
    EXPECT_EQ(panel.b.GetCheck(), toggle ? !before : before);
    EXPECT_NE(GetCapture(), b);
    EXPECT_FALSE(SendMessageW(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  }
}

// The skin file is parsed once by the INI layer; every button must land
// where the private-profile functions (what skin authors test against)
// put it, however the file is written: case and spaces around names,
// quotes, comments, a key given twice, a section given twice, a value
// without '=' and one that is too long.
TEST_F(SkinTest, ButtonPositionsReadAsThePrivateProfileFunctionsReadThem) {
  const std::wstring dir = ScratchDir(L"irregular");
  const std::wstring file = L"skin_irregular.ini";
  const std::string long_value(5000, '7');
  const std::string text =
      "; skin written by hand\r\n"
      "[SCREEN]\r\nNormal=none.bmp\r\n"
      "  [ buttonPOS ]  \r\n"
      "  1  =  1, 10, 12, 30, 20 ,x\r\n"
      "2=\"2,40,12,30,20\"\r\n"
      "3=3,70,12,30,20\r\n"
      "3=3,99,99,9,9\r\n"
      "; 4=4,1,1,1,1\r\n"
      "5\r\n"
      "6=\"6,100,12,30,20\r\n"
      "[BUTTONPOS]\r\n7=7,130,12,30,20\r\n1=1,0,0,1,1\r\n"
      "8=8,1," +
      long_value +
      "\r\n"
      "[other]\r\n9=9,5,5,5,5\r\n";
  HANDLE h =
      CreateFileW((dir + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);

  const wchar_t* const keys[] = {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L" 1 "};
  win::SetApplicationDirectory(dir);
  win::Window window;
  ASSERT_TRUE(window.Create(WS_POPUP, 0, nullptr, RECT{0, 0, 10, 10}));
  skin::SkinImages images;
  const std::vector<SkinButtonPos> positions =
      skin::LoadSkin(window.hwnd(), {file.c_str(), keys}, images, {});
  ASSERT_EQ(positions.size(), std::size(keys));
  for (size_t k = 0; k < std::size(keys); ++k) {
    const SkinButtonPos expected =
        ParseButtonPos(win::ToU16(skin::ReadSkinString(dir + file, L"BUTTONPOS", keys[k])));
    EXPECT_EQ(positions[k].left, expected.left) << k;
    EXPECT_EQ(positions[k].top, expected.top) << k;
    EXPECT_EQ(positions[k].right, expected.right) << k;
    EXPECT_EQ(positions[k].bottom, expected.bottom) << k;
    EXPECT_EQ(std::u16string(positions[k].name), std::u16string(expected.name)) << k;
    EXPECT_EQ(std::u16string(positions[k].caption), std::u16string(expected.caption)) << k;
  }
  // Not a tautology: the file's first "1" and first "3" win.
  EXPECT_EQ(positions[0].left, 10);
  EXPECT_EQ(positions[2].left, 70);
  // Back to the suite's skin for the tests that follow.
  win::SetApplicationDirectory(ScratchDir(L"window"));
}

TEST_F(SkinTest, MissingSkinFileGivesAnEmptyWindowAndNothingFails) {
  TestPanel panel(L"no_such_skin.ini");
  ASSERT_TRUE(panel.CreateChild(host_.hwnd()));
  SIZE size = WindowSize(panel.hwnd());
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, 0);
  EXPECT_FALSE(panel.images().background);
  ASSERT_NE(panel.a.hwnd(), nullptr);
  EXPECT_EQ(WindowSize(panel.a.hwnd()).cx, 0);
  EXPECT_EQ(panel.images().region, nullptr);
}

// A click on a panel's background drags the window it sits in.
TEST_F(SkinTest, PanelBackgroundDragsTheParent) {
  struct Host : win::Window {
    int drags = 0;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT&) override {
      if (msg != WM_NCLBUTTONDOWN || wp != HTCAPTION) return false;
      ++drags;
      return true;  // no real move loop in a test
    }
  } host;
  ASSERT_TRUE(host.Create(WS_POPUP | WS_VISIBLE, 0, nullptr, RECT{0, 0, 300, 200}));
  TestPanel panel;
  ASSERT_TRUE(panel.CreateChild(host.hwnd()));
  SendMessageW(panel.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 5));
  Pump();
  EXPECT_EQ(host.drags, 1);
}

// Enter, Esc and Space posted to a focused standard OK button would click
// it; a skinned dialog swallows them before translation.
struct KeyProbe : skin::SkinnedDialog {
  KeyProbe(bool skinned) : SkinnedDialog(win::kWarningTemplate, Drag::Self), skinned_(skinned) {}
  bool OnInitDialog() override {
    HWND ok = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 40,
                              20, hwnd(), reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
    SetFocus(ok);
    for (WPARAM vk : {VK_SPACE, VK_RETURN, VK_ESCAPE}) {
      PostMessageW(ok, WM_KEYDOWN, vk, 1);
      PostMessageW(ok, WM_KEYUP, vk, 0xC0000001);
    }
    PostMessageW(hwnd(), WM_APP, 0, 0);
    return false;
  }
  bool PreTranslateMessage(MSG& msg) override {
    return skinned_ && SkinnedDialog::PreTranslateMessage(msg);
  }
  bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (msg == WM_APP) End(7);
    return msg == WM_APP;
  }
  bool skinned_;
};

TEST_F(SkinTest, EnterEscAndSpaceNeverEndASkinnedDialog) {
  KeyProbe skinned(true);
  EXPECT_EQ(skinned.RunModal(host_.hwnd()), 7);
  // The same keys without the filter do press the button: the test can fail.
  KeyProbe plain(false);
  EXPECT_EQ(plain.RunModal(host_.hwnd()), IDOK);
}

TEST_F(SkinTest, GdiObjectsDoNotGrowOverManyWindows) {
  GdiTracker::Install();
  auto system_count = [] { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); };
  size_t live_in_window = 0;
  auto cycle = [&] {
    TestPanel panel;
    panel.CreateChild(host_.hwnd());
    ShowWindow(panel.hwnd(), SW_SHOW);
    panel.a.SetTooltipText(L"tip");
    MSG over{panel.a.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)};
    panel.a.PreTranslateMessage(over);
    panel.b.SetCheck(true);
    RedrawWindow(panel.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_GT(panel.texts_painted, 0);
    live_in_window = GdiTracker::Live();
    panel.Destroy();
  };
  cycle();  // first use creates the system's cached objects
  const size_t ours = GdiTracker::Live();
  const DWORD system = system_count();
  for (int i = 0; i < 40; ++i) cycle();
  EXPECT_EQ(GdiTracker::Live(), ours);
  // The window's pictures (background, mask) and each button's strip of
  // looks were seen while it lived.
  EXPECT_GE(live_in_window, ours + 2 + 3);
  // Where the system keeps a count (Windows; Wine reports 0), it must hold too.
  EXPECT_LE(system_count(), system + 2);
}

// The tracker itself sees a leak.
TEST_F(SkinTest, GdiTrackerSeesALeak) {
  GdiTracker::Install();
  win::WindowDC screen(nullptr);
  const size_t before = GdiTracker::Live();
  HBITMAP leaked = CreateCompatibleBitmap(screen.get(), 4, 4);
  EXPECT_EQ(GdiTracker::Live(), before + 1);
  DeleteObject(leaked);
  EXPECT_EQ(GdiTracker::Live(), before);
}

}  // namespace
