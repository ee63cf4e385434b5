// The window base: object binding, typed handlers, reflection, and the
// modal loop (results, owner handling, pre-translation under nesting).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "win/dialog.h"
#include "win/dialog_templates.h"
#include "win/window.h"

using namespace vantrel::win;

namespace {

struct Recorder : Window {
  std::vector<UINT> seen;
  bool created = false;
  bool OnCreate(const CREATESTRUCTW&) override { return created = true; }
  bool OnTimer(UINT_PTR id) override {
    seen.push_back(static_cast<UINT>(id));
    throw std::runtime_error("must not reach user32");
  }
  bool OnMouse(const MouseEvent& e) override {
    seen.push_back(e.message);
    seen.push_back(static_cast<UINT>(e.pt.x));
    return true;
  }
};

TEST(WindowBase, BindsAtCreationAndDecodesMessages) {
  Recorder w;
  ASSERT_TRUE(w.Create(WS_POPUP, 0, nullptr, RECT{0, 0, 50, 50}));
  EXPECT_TRUE(w.created);
  EXPECT_EQ(Window::FromHandle(w.hwnd()), &w);
  SendMessageW(w.hwnd(), WM_TIMER, 7, 0);  // throws inside; must be contained
  SendMessageW(w.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 4));
  EXPECT_EQ(w.seen, (std::vector<UINT>{7, WM_LBUTTONDOWN, static_cast<UINT>(-3)}));
  HWND h = w.hwnd();
  w.Destroy();
  EXPECT_EQ(w.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(Window::FromHandle(h), nullptr);
}

TEST(WindowBase, FailedOnCreateFailsCreation) {
  struct Refuses : Window {
    bool OnCreate(const CREATESTRUCTW&) override { return false; }
  } w;
  EXPECT_FALSE(w.Create(WS_POPUP, 0, nullptr, RECT{0, 0, 10, 10}));
  EXPECT_EQ(w.hwnd(), nullptr);
}

// An owner-drawn button subclassed by the base draws itself: the parent
// reflects WM_DRAWITEM without code of its own.
TEST(WindowBase, ReflectsDrawItemToTheControlObject) {
  struct Button : Window {
    int draws = 0;
    bool OnDrawItem(DRAWITEMSTRUCT&) override { return ++draws, true; }
  } button;
  Window parent;
  ASSERT_TRUE(parent.Create(WS_POPUP, 0, nullptr, RECT{0, 0, 60, 60}));
  HWND b = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 20, 20,
                           parent.hwnd(), nullptr, nullptr, nullptr);
  ASSERT_TRUE(button.Subclass(b));
  DRAWITEMSTRUCT di{ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, 0, b, nullptr, {0, 0, 20, 20}, 0};
  EXPECT_EQ(SendMessageW(parent.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&di)), TRUE);
  EXPECT_EQ(button.draws, 1);
}

struct Probe : Dialog {
  using Dialog::Dialog;
  bool saw_create = false, saw_init = false;
  std::function<void(Probe&)> on_init;
  bool OnCreate(const CREATESTRUCTW&) override { return saw_create = true; }
  bool OnInitDialog() override {
    saw_init = true;
    if (on_init) on_init(*this);
    return true;
  }
};

TEST(ModalDialog, ReturnsTheEndValueAndSeesCreation) {
  Probe d(kWarningTemplate);
  d.on_init = [](Probe& p) { PostMessageW(p.hwnd(), WM_NULL, 0, 0), p.End(1); };
  EXPECT_EQ(d.RunModal(nullptr), 1);
  EXPECT_TRUE(d.saw_create);
  EXPECT_TRUE(d.saw_init);
  EXPECT_EQ(d.hwnd(), nullptr);
}

TEST(ModalDialog, CloseEndsLikeCancel) {
  Probe d(kWaitingTemplate);
  d.on_init = [](Probe& p) { PostMessageW(p.hwnd(), WM_CLOSE, 0, 0); };
  EXPECT_EQ(d.RunModal(nullptr), IDCANCEL);
}

TEST(ModalDialog, QuitEndsTheLoopAndIsPostedAgain) {
  Probe d(kWaitingTemplate);
  d.on_init = [](Probe&) { PostQuitMessage(3); };
  EXPECT_EQ(d.RunModal(nullptr), IDCANCEL);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(ModalDialog, TemplateItemsExist) {
  Probe d(kKeyAssignmentTemplate);
  HWND edit = nullptr;
  d.on_init = [&](Probe& p) {
    edit = GetDlgItem(p.hwnd(), 1000);
    p.End(1);
  };
  d.RunModal(nullptr);
  EXPECT_NE(edit, nullptr);
}

// The main window runs modally; from inside it a nested dialog runs; a
// message posted to the main window meanwhile reaches the main window's
// PreTranslateMessage, and the owner is disabled only while the nested
// dialog runs.
struct MainProbe : Dialog {
  MainProbe() : Dialog(kMainTemplate) {}
  Probe inner{kWarningTemplate};
  INT_PTR inner_result = 0;
  bool owner_disabled_inside = false, owner_enabled_after = false, got_notice = false;
  bool OnInitDialog() override {
    PostMessageW(hwnd(), WM_APP, 0, 0);
    return true;
  }
  bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (msg != WM_APP) return false;
    inner.on_init = [this](Probe&) { PostMessageW(hwnd(), WM_APP + 1, 0, 0); };
    inner_result = inner.RunModal(hwnd());
    owner_enabled_after = IsWindowEnabled(hwnd());
    End(5);
    return true;
  }
  bool PreTranslateMessage(MSG& msg) override {
    if (msg.message == WM_APP + 1 && msg.hwnd == hwnd()) {
      got_notice = true;
      owner_disabled_inside = !IsWindowEnabled(hwnd());
      inner.End(1);
      return true;
    }
    return false;
  }
};

TEST(ModalDialog, NestedLoopFeedsTheMainWindowsPreTranslate) {
  MainProbe main;
  SetMainWindow(&main);
  EXPECT_EQ(main.RunModal(nullptr), 5);
  SetMainWindow(nullptr);
  EXPECT_TRUE(main.got_notice);
  EXPECT_EQ(main.inner_result, 1);
  EXPECT_TRUE(main.owner_disabled_inside);
  EXPECT_TRUE(main.owner_enabled_after);
}

TEST(ChildDialog, CreatesInsideItsParentWithoutALoop) {
  Window parent;
  ASSERT_TRUE(parent.Create(WS_POPUP, 0, nullptr, RECT{0, 0, 100, 100}));
  Probe panel(kMainCtrlPanelTemplate);
  ASSERT_TRUE(panel.CreateChild(parent.hwnd()));
  EXPECT_TRUE(panel.saw_create);
  EXPECT_EQ(GetParent(panel.hwnd()), parent.hwnd());
  EXPECT_EQ(Window::FromHandle(panel.hwnd()), &panel);
}

}  // namespace

namespace {

// A modal dialog shows centred over its owner.
TEST(ModalDialog, IsCentredOverItsOwner) {
  Window owner;
  ASSERT_TRUE(owner.Create(WS_POPUP | WS_VISIBLE, 0, nullptr, RECT{100, 80, 500, 380}));
  struct Sized : Dialog {
    Sized() : Dialog(kWarningTemplate) {}
    RECT shown{};
    bool OnInitDialog() override {
      SetWindowPos(hwnd(), nullptr, 0, 0, 100, 60, SWP_NOMOVE | SWP_NOZORDER);
      PostMessageW(hwnd(), WM_APP, 0, 0);
      return true;
    }
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
      if (msg != WM_APP) return false;
      GetWindowRect(hwnd(), &shown);
      End(1);
      return true;
    }
  } dlg;
  EXPECT_EQ(dlg.RunModal(owner.hwnd()), 1);
  EXPECT_EQ(dlg.shown.left, 250);
  EXPECT_EQ(dlg.shown.top, 200);
}

}  // namespace
