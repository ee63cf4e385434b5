// The owner-drawn list box: in-place editing (commit, cancel, empty text,
// character limits), the notifications, and wheel scrolling.
#include "skin/list_box_ex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/window.h"

using namespace vantrel;
using namespace vantrel::skin;

namespace {

constexpr int kListId = 77;

class Parent : public win::Window {};

struct Notice {
  UINT msg;
  WPARAM wp;
  LPARAM lp;
  bool operator==(const Notice&) const = default;
};

class ListBoxEx : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.Create(WS_POPUP | WS_VISIBLE, 0, nullptr, {50, 50, 350, 350}));
    SetForegroundWindow(parent.hwnd());
    other = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 250, 10, 40, 20,
                            parent.hwnd(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(list.Create(parent.hwnd(), {10, 10, 210, 210}, 5));
    list.list_id = kListId;
    list.AddItem(L"First", 0);
    list.AddItem(L"Second", 0x10000 | 140);  // low word: the icon
    Drain();
  }

  // Takes the posted notifications off the parent's queue, dispatching the
  // rest.
  std::vector<Notice> Drain() {
    std::vector<Notice> seen;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.hwnd == parent.hwnd() && m.message >= kListEditCommitted &&
          m.message <= kListRightClick) {
        seen.push_back({m.message, m.wParam, m.lParam});
      } else {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
    }
    return seen;
  }

  std::wstring Text(int i) {
    wchar_t buf[64] = {};
    if (SendMessageW(list.hwnd(), LB_GETTEXTLEN, i, 0) >= 64) return L"<long>";
    SendMessageW(list.hwnd(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
    return buf;
  }
  int Count() { return static_cast<int>(SendMessageW(list.hwnd(), LB_GETCOUNT, 0, 0)); }
  void Type(const std::wstring& s) {
    for (wchar_t c : s) SendMessageW(list.editor(), WM_CHAR, c, 0);
  }
  std::wstring EditorText() {
    wchar_t buf[64] = {};
    GetWindowTextW(list.editor(), buf, 64);
    return buf;
  }
  void Select(int i) { SendMessageW(list.hwnd(), LB_SETCURSEL, i, 0); }

  Parent parent;
  HWND other = nullptr;
  CListBoxEx list;
};

TEST_F(ListBoxEx, NewItemCommitsOnEnterReleaseAndOnFocusLoss) {
  for (bool by_focus : {false, true}) {
    SCOPED_TRACE(by_focus ? "focus loss" : "Enter");
    const int before = Count();
    ASSERT_TRUE(list.AddItemAndEdit());
    ASSERT_NE(list.editor(), nullptr);
    EXPECT_EQ(GetFocus(), list.editor());
    EXPECT_FALSE(list.AddItemAndEdit());  // one editor at a time
    Type(L"Macro");
    SendMessageW(list.editor(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_NE(list.editor(), nullptr);  // the press alone commits nothing
    if (by_focus)
      SetFocus(other);
    else
      SendMessageW(list.editor(), WM_KEYUP, VK_RETURN, 0);
    EXPECT_EQ(list.editor(), nullptr);
    EXPECT_EQ(list.edited_index(), -1);
    ASSERT_EQ(Count(), before + 1);
    EXPECT_EQ(Text(before), L"Macro");
    EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETCURSEL, 0, 0), before);
    EXPECT_EQ(Drain(), (std::vector<Notice>{{kListEditCommitted, WPARAM(before), kListId}}));
  }
}

TEST_F(ListBoxEx, EmptyTextRemovesTheItemAndTellsTheOwner) {
  ASSERT_TRUE(list.AddItemAndEdit());
  SendMessageW(list.editor(), WM_KEYUP, VK_RETURN, 0);
  EXPECT_EQ(Count(), 2);
  Select(0);
  ASSERT_EQ(list.EditSelectedItem(), 0);
  SetWindowTextW(list.editor(), L"");
  SetFocus(other);
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(Text(0), L"Second");
  EXPECT_EQ(Drain(), (std::vector<Notice>{{kListEditCancelled, 2, kListId},
                                          {kListEditCancelled, 0, kListId}}));
}

TEST_F(ListBoxEx, EscRemovesTheEditedItem) {
  Select(1);
  EXPECT_EQ(list.EditSelectedItem(), 140);  // the icon id
  EXPECT_EQ(EditorText(), L"Second");
  SendMessageW(list.editor(), WM_KEYUP, VK_ESCAPE, 0);
  EXPECT_EQ(list.editor(), nullptr);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(Text(0), L"First");
  EXPECT_EQ(Drain(), (std::vector<Notice>{{kListEditCancelled, 1, kListId}}));
}

TEST_F(ListBoxEx, CommitKeepsTheItemData) {
  Select(1);
  ASSERT_EQ(list.EditSelectedItem(), 140);
  SetWindowTextW(list.editor(), L"250");
  SendMessageW(list.editor(), WM_KEYUP, VK_RETURN, 0);
  EXPECT_EQ(Text(1), L"250");
  EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETITEMDATA, 1, 0), 0x10000 | 140);
}

TEST_F(ListBoxEx, EditorLimits) {
  const struct {
    bool numbers;
    const wchar_t* typed;
    const wchar_t* kept;
  } cases[] = {
      {false, L"abcdefghijklmnopqrstuvwxyz", L"abcdefghijklmno"},  // 15
      {false, L"12 ab", L"12 ab"},
      {true, L"123456789012345678901234", L"12345678901234567890"},  // 20
      {true, L"1a2b-3", L"123"},                                     // digits only
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    if (c.numbers) {
      Select(0);
      ASSERT_GE(list.EditSelectedItem(), 0);
      SetWindowTextW(list.editor(), L"");
    } else {
      ASSERT_TRUE(list.AddItemAndEdit());
    }
    Type(c.typed);
    EXPECT_EQ(EditorText(), c.kept);
    SendMessageW(list.editor(), WM_KEYUP, VK_ESCAPE, 0);
    Drain();
  }
}

TEST_F(ListBoxEx, NoEditorWithoutSelectionOrWhileOneIsOpen) {
  Select(-1);
  EXPECT_EQ(list.EditSelectedItem(), -1);
  EXPECT_EQ(list.editor(), nullptr);
  ASSERT_TRUE(list.AddItemAndEdit());
  Select(0);
  EXPECT_EQ(list.EditSelectedItem(), -1);
}

TEST_F(ListBoxEx, DeleteKeyAndRightButtonNotify) {
  SetFocus(list.hwnd());
  SendMessageW(list.hwnd(), WM_KEYDOWN, VK_DELETE, 0);
  SendMessageW(list.hwnd(), WM_KEYUP, VK_DELETE, 0);
  SendMessageW(list.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 5));
  EXPECT_EQ(Drain(),
            (std::vector<Notice>{{kListDeletePressed, 0, 0}, {kListRightClick, 0, kListId}}));
}

TEST_F(ListBoxEx, RealKeysThroughTheQueue) {
  // Injected keys: Delete on the list, then Enter released in an editor.
  SetForegroundWindow(parent.hwnd());
  SetFocus(list.hwnd());
  auto press = [&](WORD vk) {
    // Another test's window may have taken the foreground meanwhile;
    // activation gives the focus back to the control that had it.
    if (GetForegroundWindow() != parent.hwnd()) SetForegroundWindow(parent.hwnd());
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  };
  auto settle = [&](std::vector<Notice>& into) {
    for (int i = 0; i < 20; ++i) {
      Sleep(10);
      for (const Notice& n : Drain()) into.push_back(n);
    }
  };
  std::vector<Notice> seen;
  press(VK_DELETE);
  settle(seen);
  ASSERT_TRUE(list.AddItemAndEdit());
  ASSERT_EQ(GetFocus(), list.editor());
  for (WORD vk : {WORD('A'), WORD('B'), WORD(VK_RETURN)}) {
    press(vk);
    settle(seen);  // one key at a time: the editor must see A before Enter
  }
  settle(seen);
  EXPECT_EQ(list.editor(), nullptr);
  EXPECT_EQ(Text(2), L"ab");
  EXPECT_EQ(seen,
            (std::vector<Notice>{{kListDeletePressed, 0, 0}, {kListEditCommitted, 2, kListId}}));
}

TEST_F(ListBoxEx, WheelScrollsOneLinePerMessage) {
  for (int i = 0; i < 30; ++i) list.AddItem(L"Item", 0);
  EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETITEMHEIGHT, 0, 0), CListBoxEx::kItemHeight);
  auto wheel = [&](int delta) {
    SendMessageW(list.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(60, 60));
  };
  wheel(-WHEEL_DELTA * 3);  // a big turn is still one line
  EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETTOPINDEX, 0, 0), 1);
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETTOPINDEX, 0, 0), 2);
  wheel(WHEEL_DELTA);
  EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETTOPINDEX, 0, 0), 1);
}

TEST_F(ListBoxEx, HoverFollowsThePointerButNotWhileEditing) {
  const int row = CListBoxEx::kItemHeight;
  SendMessageW(list.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, row / 2));
  EXPECT_EQ(list.hover_index(), 0);
  SendMessageW(list.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, row + row / 2));
  EXPECT_EQ(list.hover_index(), 1);
  SendMessageW(list.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 10 * row));  // below the items
  EXPECT_EQ(list.hover_index(), -1);
  ASSERT_TRUE(list.AddItemAndEdit());
  SendMessageW(list.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, row / 2));
  EXPECT_EQ(list.hover_index(), -1);
  SendMessageW(list.hwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(list.hover_index(), -1);
}

TEST_F(ListBoxEx, BackgroundBrushAnswersCtlColor) {
  LRESULT result = 0;
  HDC dc = GetDC(list.hwnd());
  EXPECT_FALSE(
      CListBoxEx::ReflectCtlColor(WM_CTLCOLORLISTBOX, WPARAM(dc), LPARAM(list.hwnd()), result));
  HBRUSH brush = CreateSolidBrush(RGB(20, 20, 20));
  list.background = brush;
  EXPECT_TRUE(
      CListBoxEx::ReflectCtlColor(WM_CTLCOLORLISTBOX, WPARAM(dc), LPARAM(list.hwnd()), result));
  EXPECT_EQ(result, reinterpret_cast<LRESULT>(brush));
  EXPECT_FALSE(CListBoxEx::ReflectCtlColor(WM_CTLCOLORLISTBOX, WPARAM(dc), LPARAM(other), result));
  ReleaseDC(list.hwnd(), dc);
  list.background = nullptr;
  DeleteObject(brush);
}

}  // namespace
