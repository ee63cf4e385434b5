// The test rig itself: a Windows test exe runs under Wine with a display,
// and a top-level window can be created, shown and destroyed.
#include <gtest/gtest.h>
#include <windows.h>

TEST(Rig, WindowCanBeShownOnTheVirtualDisplay) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VantrelRigTest";
  RegisterClassW(&wc);
  HWND w = CreateWindowW(wc.lpszClassName, L"rig", WS_POPUP | WS_VISIBLE, 10, 10, 50, 40, nullptr,
                         nullptr, wc.hInstance, nullptr);
  ASSERT_NE(w, nullptr);
  RECT r{};
  GetWindowRect(w, &r);
  EXPECT_EQ(r.right - r.left, 50);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  DestroyWindow(w);
}
