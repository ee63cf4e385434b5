#include "win/dialog.h"

#include <cwchar>
#include <vector>

namespace vantrel::win {
namespace {

void AppendString(std::vector<WORD>& out, const wchar_t* text) {
  for (; text && *text; ++text) out.push_back(static_cast<WORD>(*text));
  out.push_back(0);
}

void AlignToDword(std::vector<WORD>& out) {
  if (out.size() % 2) out.push_back(0);
}

// An in-memory DLGTEMPLATE naming our dialog class; no DS_SETFONT, so the
// system font's dialog units apply to the few items a template holds.
std::vector<WORD> BuildTemplate(const DialogTemplate& t, const wchar_t* class_name) {
  std::vector<WORD> out;
  auto put32 = [&out](DWORD v) {
    out.push_back(LOWORD(v));
    out.push_back(HIWORD(v));
  };
  put32(t.style & ~(DS_SETFONT | DS_SHELLFONT));
  put32(t.ex_style);
  out.push_back(static_cast<WORD>(t.items.size()));
  for (int i = 0; i < 4; ++i) out.push_back(0);  // x, y, cx, cy: the skin sizes it
  out.push_back(0);                              // no menu
  AppendString(out, class_name);
  AppendString(out, L"");  // title
  for (const DialogItem& item : t.items) {
    AlignToDword(out);
    put32(item.style | WS_CHILD);
    put32(item.ex_style);
    out.push_back(static_cast<WORD>(item.x));
    out.push_back(static_cast<WORD>(item.y));
    out.push_back(static_cast<WORD>(item.cx));
    out.push_back(static_cast<WORD>(item.cy));
    out.push_back(item.id);
    AppendString(out, item.class_name);
    AppendString(out, L"");  // text
    out.push_back(0);        // no creation data
  }
  return out;
}

// Our class procedure does the work and falls back to DefDlgProcW, which
// calls this. It must exist all the same: Wine sends WM_INITDIALOG only to
// dialogs created with a dialog procedure.
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

bool Dialog::CreateFromTemplate(HWND parent) {
  if (hwnd()) return false;
  std::vector<WORD> data = BuildTemplate(template_, DialogClassName());
  ExpectCreation(this);
  CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                             reinterpret_cast<const DLGTEMPLATE*>(data.data()), parent,
                             PassiveDialogProc, 0);
  ExpectCreation(nullptr);
  return hwnd() != nullptr;
}

bool Dialog::CreateChild(HWND parent) {
  running_ = false;
  return CreateFromTemplate(parent);
}

INT_PTR Dialog::RunModal(HWND owner) {
  if (hwnd() || running_) return -1;
  if (!owner && MainWindow() && MainWindow() != this) owner = MainWindow()->hwnd();
  if (owner) owner = GetAncestor(owner, GA_ROOT);
  ended_ = false;
  result_ = IDCANCEL;
  running_ = true;
  if (!CreateFromTemplate(owner)) {
    running_ = false;
    return -1;
  }
  // EnableWindow returns zero when the window was enabled before: only
  // then is it ours to enable again.
  const bool reenable_owner = owner && !EnableWindow(owner, FALSE);
  if (!ended_ && hwnd()) {
    CenterWindow(hwnd(), owner);
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
  }
  MSG msg;
  while (!ended_ && hwnd()) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // Someone asked the program to quit: let the outer loops see it too.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!PreTranslateChain(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // Enable the owner before the dialog goes, so activation returns to it.
  if (reenable_owner) EnableWindow(owner, TRUE);
  if (owner && hwnd() && GetActiveWindow() == hwnd()) SetActiveWindow(owner);
  if (hwnd()) DestroyWindow(hwnd());
  running_ = false;
  return result_;
}

void Dialog::End(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (running_) {
    // Wakes the loop when End comes from outside a dispatched message.
    if (hwnd()) PostMessageW(hwnd(), WM_NULL, 0, 0);
  } else if (hwnd()) {
    DestroyWindow(hwnd());
  }
}

LRESULT Dialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    LRESULT result = 0;
    if (OnMessage(msg, wp, lp, result)) return result;
    return OnInitDialog() ? TRUE : FALSE;
  }
  return Window::WindowProc(msg, wp, lp);
}

bool Dialog::OnCommand(HWND, UINT id, UINT code) {
  if (code != BN_CLICKED) return false;
  if (id == IDOK) {
    OnOK();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

void Dialog::OnFinalMessage() { ended_ = true; }
bool Dialog::OnInitDialog() { return true; }
void Dialog::OnOK() { End(IDOK); }
void Dialog::OnCancel() { End(IDCANCEL); }

void CenterWindow(HWND hwnd, HWND over) {
  RECT self{};
  if (!GetWindowRect(hwnd, &self)) return;
  MONITORINFO mi{sizeof(mi)};
  HMONITOR monitor = MonitorFromWindow(over ? over : hwnd, MONITOR_DEFAULTTOPRIMARY);
  if (!GetMonitorInfoW(monitor, &mi)) return;
  const RECT& work = mi.rcWork;
  RECT target = work;
  if (over && !IsIconic(over)) GetWindowRect(over, &target);
  const LONG w = self.right - self.left, h = self.bottom - self.top;
  LONG x = target.left + ((target.right - target.left) - w) / 2;
  LONG y = target.top + ((target.bottom - target.top) - h) / 2;
  // Keep the whole dialog on the work area (its top-left corner at least,
  // when it is larger than the area).
  if (x + w > work.right) x = work.right - w;
  if (y + h > work.bottom) y = work.bottom - h;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vantrel::win
