// Dialogs on the window base: modal dialogs with our own message loop, and
// child (modeless) dialogs for panels.
//
//   class CDlgWarning : public vantrel::win::Dialog {
//    public:
//     CDlgWarning() : Dialog(kWarningTemplate) {}
//     int kind = 0;                                   // data in
//    protected:
//     bool OnCreate(const CREATESTRUCTW&) override;   // skin, texts, outline
//     bool OnCommand(HWND c, UINT, UINT) override {
//       if (c == ok_.hwnd()) { End(1); return true; }
//       return Dialog::OnCommand(c, id, code);
//     }
//   };
//   if (dlg.RunModal(owner) == 1) { ...read the data out... }
//
// Templates are built in memory from a DialogTemplate (dialog_templates.h)
// and name our own dialog window class, whose procedure is the base's
// static procedure: the object sees every message from the first one on
// (WM_NCCREATE, WM_CREATE, then WM_INITDIALOG), returns results directly
// like any window procedure (no DWLP_MSGRESULT juggling), and leaves the
// rest to DefDlgProcW.
//
// RunModal: creates the dialog hidden with `owner`'s top-level window as
// owner (the registered main window when `owner` is nullptr and the dialog
// is not the main window itself), disables the owner, centres the dialog
// over it (over the work area of its monitor without one), shows it and runs
// the loop until End(result). Every message goes through PreTranslateChain
// (window.h) and then TranslateMessage/DispatchMessage; IsDialogMessage is
// never called, so no key ends a dialog by itself. Returns the End() value
// (1 = OK), IDCANCEL (2) when closed by WM_CLOSE, -1 when creation failed.
// WM_QUIT ends the loop with IDCANCEL and is posted again for outer loops.
#pragma once

#include <windows.h>

#include <span>

#include "win/window.h"

namespace vantrel::win {

// One control a template holds (dialog units). Most templates hold none.
struct DialogItem {
  WORD id;
  const wchar_t* class_name;  // "EDIT", ...
  DWORD style;                // WS_CHILD is added
  DWORD ex_style;
  short x, y, cx, cy;
};

struct DialogTemplate {
  WORD id;  // the template's number, for traces and tests
  DWORD style;
  DWORD ex_style;
  std::span<const DialogItem> items = {};
};

class Dialog : public Window {
 public:
  explicit Dialog(const DialogTemplate& t) : template_(t) { set_dialog(); }

  INT_PTR RunModal(HWND owner);
  // A child dialog (a panel) inside `parent`; visible when the template's
  // style has WS_VISIBLE. No loop of its own.
  bool CreateChild(HWND parent);
  // Ends a modal run with `result`; a child dialog is destroyed.
  void End(INT_PTR result);

  bool is_modal_running() const { return running_; }
  const DialogTemplate& dialog_template() const { return template_; }

 protected:
  // WM_INITDIALOG; true lets the system focus the first control.
  virtual bool OnInitDialog();
  // WM_COMMAND IDOK / IDCANCEL (WM_CLOSE arrives as IDCANCEL). Skinned
  // buttons have control ID 0 and never reach these.
  virtual void OnOK();
  virtual void OnCancel();

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  void OnFinalMessage() override;

 private:
  bool CreateFromTemplate(HWND parent);

  DialogTemplate template_;
  bool running_ = false;
  bool ended_ = false;
  INT_PTR result_ = IDCANCEL;
};

// Moves `hwnd` so it is centred over `over` (a window) or, when `over` is
// nullptr, over the work area of the monitor `hwnd` is on; kept inside
// that work area.
void CenterWindow(HWND hwnd, HWND over);

}  // namespace vantrel::win
