// The keyboard capture with a real hook: keys injected with SendInput arrive
// as WM_CAPTUREDKEY, never as key messages, until the capture is removed.
#include "win/keyboard_capture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "model/macro_recorder.h"

using vantrel::win::InstallKeyboardCapture;
using vantrel::win::RemoveKeyboardCapture;
using vantrel::win::WM_CAPTUREDKEY;

namespace {

std::vector<std::pair<WPARAM, LPARAM>> g_captured;
std::vector<WPARAM> g_key_messages;
int g_left = 0;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CAPTUREDKEY) g_captured.emplace_back(wp, lp);
  if (msg == vantrel::win::WM_CAPTURELEFT) ++g_left;
  if (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) {
    g_key_messages.push_back(wp);
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

INPUT Key(WORD vk, DWORD flags, DWORD time = 0) {
  INPUT in{};
  in.ki.time = time;
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = flags;
  return in;
}

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
}

class KeyboardCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CaptureTarget";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, L"CaptureTarget", L"capture", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                            10, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd_, nullptr);
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
    Pump(100);
    g_captured.clear();
    g_key_messages.clear();
    g_left = 0;
  }
  void TearDown() override { DestroyWindow(hwnd_); }
  void Send(std::vector<INPUT> inputs) {
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
              inputs.size());
    Pump(300);
  }
  HWND hwnd_ = nullptr;
};

TEST_F(KeyboardCapture, SwallowsKeysAndPostsThemUntilRemoved) {
  ASSERT_EQ(GetFocus(), hwnd_);
  Send({Key('B', 0), Key('B', KEYEVENTF_KEYUP)});
  ASSERT_EQ(g_key_messages, (std::vector<WPARAM>{'B', 'B'})) << "keys reach the window before";

  g_key_messages.clear();
  InstallKeyboardCapture(hwnd_);
  Send({Key('A', 0), Key('A', KEYEVENTF_KEYUP), Key(VK_RETURN, KEYEVENTF_EXTENDEDKEY),
        Key(VK_RETURN, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP), Key(VK_RETURN, 0),
        Key(VK_LSHIFT, 0), Key(VK_LSHIFT, KEYEVENTF_KEYUP)});
  RemoveKeyboardCapture();
  const std::vector<std::pair<WPARAM, LPARAM>> expected = {
      {'A', 0x00},       {'A', 0x80},       {VK_RETURN, 0x01}, {VK_RETURN, 0x81},
      {VK_RETURN, 0x00}, {VK_LSHIFT, 0x00}, {VK_LSHIFT, 0x80}};
  EXPECT_EQ(g_captured, expected);
  EXPECT_TRUE(g_key_messages.empty()) << g_key_messages.size() << " key messages leaked";

  EXPECT_FALSE(vantrel::win::KeyboardCaptureInstalled());

  g_captured.clear();
  SetFocus(hwnd_);
  Send({Key('A', 0), Key('A', KEYEVENTF_KEYUP)});
  EXPECT_TRUE(g_captured.empty());
  EXPECT_EQ(g_key_messages, (std::vector<WPARAM>{'A', 'A'}));
}

// Installing while installed makes no second hook (one left behind would
// swallow every key of the desktop for good); removing twice is harmless.
TEST_F(KeyboardCapture, InstallingTwiceLeavesNoHookBehind) {
  InstallKeyboardCapture(hwnd_);
  InstallKeyboardCapture(hwnd_);
  RemoveKeyboardCapture();
  RemoveKeyboardCapture();
  EXPECT_FALSE(vantrel::win::KeyboardCaptureInstalled());
  Send({Key('A', 0), Key('A', KEYEVENTF_KEYUP)});
  EXPECT_TRUE(g_captured.empty());
  EXPECT_EQ(g_key_messages, (std::vector<WPARAM>{'A', 'A'}));
}

TEST_F(KeyboardCapture, FeedsTheRecorderOnePressPerHeldKey) {
  vantrel::MacroRecorderShared shared;
  vantrel::MacroRecorder rec(
      {[this] { InstallKeyboardCapture(hwnd_); }, [] { RemoveKeyboardCapture(); }}, shared);
  rec.StartRecording();
  // The auto-repeat of a held key: several presses, one release.
  Send({Key('A', 0), Key('A', 0), Key('A', 0), Key('A', KEYEVENTF_KEYUP),
        Key(VK_RETURN, KEYEVENTF_EXTENDEDKEY)});
  for (const auto& [vk, flags] : g_captured) {
    rec.OnCapturedKey(static_cast<std::uint32_t>(vk), static_cast<std::uint32_t>(flags),
                      GetTickCount());
  }
  rec.StopRecording();
  ASSERT_EQ(rec.count, 3);
  EXPECT_EQ(rec.events[0].keyCode, 0x04);  // A
  EXPECT_EQ(rec.events[0].action, vantrel::kMacroActionPress);
  EXPECT_EQ(rec.events[1].action, vantrel::kMacroActionRelease);
  EXPECT_EQ(rec.events[2].keyCode, 0x58);  // keypad Enter
  EXPECT_TRUE(g_key_messages.empty());
}

// Esc is the way out for a person without a mouse: held a second it leaves
// the capture (told once, then keys pass); shorter, it is captured as a key
// on its release, auto-repeat and all.
TEST_F(KeyboardCapture, EscHeldASecondLeavesAndAShortOneIsCaptured) {
  InstallKeyboardCapture(hwnd_);
  const DWORD t = GetTickCount();
  Send(
      {Key(VK_ESCAPE, 0, t), Key(VK_ESCAPE, 0, t + 300), Key(VK_ESCAPE, KEYEVENTF_KEYUP, t + 600)});
  EXPECT_EQ(g_captured,
            (std::vector<std::pair<WPARAM, LPARAM>>{{VK_ESCAPE, 0x00}, {VK_ESCAPE, 0x80}}));
  EXPECT_EQ(g_left, 0);

  g_captured.clear();
  Send({Key(VK_ESCAPE, 0, t + 700), Key(VK_ESCAPE, 0, t + 1400),
        Key(VK_ESCAPE, KEYEVENTF_KEYUP, t + 1800), Key('A', 0, t + 1900),
        Key('A', KEYEVENTF_KEYUP, t + 2000)});
  EXPECT_EQ(g_left, 1);
  EXPECT_TRUE(g_captured.empty());
  EXPECT_EQ(g_key_messages, (std::vector<WPARAM>{'A', 'A'})) << "after leaving, keys pass";
  RemoveKeyboardCapture();
}

// Another key pressed while Esc is held makes Esc a key at once, in order,
// however long it is held; a key already down when the capture began has
// its release passed on, so the system does not keep it down.
TEST_F(KeyboardCapture, EscWithAnotherKeyIsAKeyAndEarlierPressesAreReleased) {
  Send({Key(VK_LSHIFT, 0)});
  g_key_messages.clear();
  InstallKeyboardCapture(hwnd_);
  const DWORD t = GetTickCount();
  Send({Key(VK_ESCAPE, 0, t), Key('K', 0, t + 100), Key('K', KEYEVENTF_KEYUP, t + 200),
        Key(VK_ESCAPE, KEYEVENTF_KEYUP, t + 1500), Key(VK_LSHIFT, KEYEVENTF_KEYUP, t + 1600)});
  RemoveKeyboardCapture();
  EXPECT_EQ(g_left, 0);
  EXPECT_EQ(g_captured, (std::vector<std::pair<WPARAM, LPARAM>>{
                            {VK_ESCAPE, 0x00}, {'K', 0x00}, {'K', 0x80}, {VK_ESCAPE, 0x80}}));
  EXPECT_FALSE(GetAsyncKeyState(VK_LSHIFT) & 0x8000) << "Shift is up again";
  EXPECT_EQ(g_key_messages.size(), 1u) << "only Shift's release reached the window";
}

}  // namespace
