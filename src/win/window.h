// The one window base: an HWND wrapper whose static window procedure finds
// its C++ object and turns messages into typed virtual handlers.
//
//   class MyWindow : public vantrel::win::Window {
//     bool OnCommand(HWND control, UINT id, UINT code) override {
//       if (control == ok_.hwnd()) { ...; return true; }
//       return false;                      // not handled: default processing
//     }
//   };
//
// - Windows of our own class: Create(...). Controls of system classes
//   ("BUTTON", "LISTBOX"...): create them yourself, then Subclass(hwnd).
//   Dialogs: see dialog.h.
// - Every handler returns whether it handled the message; unhandled
//   messages go to the default procedure (DefWindowProc, DefDlgProc, or the
//   control's original procedure). OnMessage sees every message first.
// - WM_DRAWITEM / WM_MEASUREITEM sent to a parent are reflected to the
//   control's own object (OnDrawItem / OnMeasureItem) when it is one of
//   ours, and those of menu items to the owner-drawn menu being tracked
//   (TrackedMenu), so no window forwards them itself.
// - The object does not own its lifetime: keep it as a member; the window
//   is destroyed with the object (or earlier by the system, after which
//   hwnd() is nullptr).
// - A window that describes itself (Describe) answers WM_GETOBJECT for its
//   client area with that description (accessible.h).
// - PreTranslateMessage runs in modal loops (dialog.h) before a message
//   is translated and dispatched: the target window and each parent up to
//   its top-level window, nothing else. True = swallowed. Notices and
//   requests posted to a window are handled in its window procedure, so
//   they are acted on whichever loop runs (ours, a menu's, a system
//   dialog's).
#pragma once

#include <windows.h>

#include "win/accessible.h"

namespace vantrel::win {

struct MouseEvent {
  UINT message;  // WM_MOUSEMOVE, WM_[LRM]BUTTON{DOWN,UP,DBLCLK}
  POINT pt;      // client coordinates
  UINT keys;     // MK_* flags
};

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }
  // The object behind a window created or subclassed through this base, or
  // nullptr.
  static Window* FromHandle(HWND hwnd);

  // A window of this base's own class ("VantrelWindow", arrow cursor, no
  // background brush).
  bool Create(DWORD style, DWORD ex_style, HWND parent, const RECT& rect,
              const wchar_t* title = L"");
  // Attaches to an existing window (typically a system control); the
  // original procedure becomes the default processing.
  bool Subclass(HWND hwnd);
  void Destroy();

  virtual bool PreTranslateMessage(MSG& msg);

  // For screen readers (accessible.h): fills `info` and returns true, or
  // returns false to leave the window to the system's standard object.
  virtual bool Describe(AccessibleInfo& info) const;
  // What a click does, from the keyboard (Space, Enter) or a screen
  // reader's default action; false when the window has nothing to press.
  virtual bool Press();

  // Arrow-key group (focus_nav.h): 0 none.
  int focus_group() const { return focus_group_; }
  void set_focus_group(int group) { focus_group_ = group; }
  // A top-level window: a key was pressed in it, focus marks show.
  bool keyboard_used() const { return keyboard_used_; }
  void set_keyboard_used() { keyboard_used_ = true; }

 protected:
  // The next window of our classes created on this thread attaches to
  // `self` at its first message (before WM_NCCREATE for top-level windows,
  // which get WM_GETMINMAXINFO first).
  static void ExpectCreation(Window* self);
  // Our dialog window class (DLGWINDOWEXTRA, default processing DefDlgProcW).
  static const wchar_t* DialogClassName();
  void set_dialog() { is_dialog_ = true; }

  // Decodes and dispatches one message; override only for unusual needs.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

  // Any message before decoding; true = handled, `result` is returned.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // After the default creation succeeded; false fails creation.
  virtual bool OnCreate(const CREATESTRUCTW& cs);
  virtual void OnDestroy();
  virtual bool OnCommand(HWND control, UINT id, UINT code);
  virtual bool OnTimer(UINT_PTR id);
  virtual bool OnPaint();
  virtual bool OnEraseBackground(HDC dc);
  virtual bool OnMouse(const MouseEvent& e);
  // Reflected from the parent: this window is the owner-drawn control.
  virtual bool OnDrawItem(DRAWITEMSTRUCT& item);
  virtual bool OnMeasureItem(MEASUREITEMSTRUCT& item);
  // After WM_NCDESTROY was processed and the object detached.
  virtual void OnFinalMessage();

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool dialog_class);
  void Attach(HWND hwnd);
  void Detach();

  HWND hwnd_ = nullptr;
  WNDPROC original_proc_ = nullptr;  // set for subclassed windows
  bool is_dialog_ = false;           // default processing is DefDlgProcW
  int focus_group_ = 0;
  bool keyboard_used_ = false;
};

// An owner-drawn popup menu while it is tracked: every window of ours hands
// it the measuring and drawing of menu items (ODT_MENU). Menus register
// themselves for the time they are shown (TrackedMenuScope).
class OwnerDrawnMenu {
 public:
  virtual void MeasureItem(MEASUREITEMSTRUCT& item) const = 0;
  virtual void DrawItem(const DRAWITEMSTRUCT& item) const = 0;

 protected:
  ~OwnerDrawnMenu() = default;
};
const OwnerDrawnMenu* TrackedMenu();
class TrackedMenuScope {
 public:
  explicit TrackedMenuScope(const OwnerDrawnMenu* menu);
  ~TrackedMenuScope();
  TrackedMenuScope(const TrackedMenuScope&) = delete;
  TrackedMenuScope& operator=(const TrackedMenuScope&) = delete;

 private:
  const OwnerDrawnMenu* previous_;
};

// The application's main window: the owner of dialogs run without one.
void SetMainWindow(Window* window);
Window* MainWindow();

// Runs `msg` through the PreTranslateMessage chain; true = swallowed.
bool PreTranslateChain(MSG& msg);

}  // namespace vantrel::win
