// Shared by the page tests: the shipped skins and lang.dll of the runnable
// folder, a host window standing in for the main window, a record with
// factory profiles, and a way to drive the key assignment dialog while its
// modal loop runs.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "model/settings_record.h"
#include "panels/key_assi.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"
#include "win/window.h"

namespace vantrel::testing {

inline void UseShippedSkin() { win::SetApplicationDirectory(VANTREL_DIST_DIR); }

// A plain top-level window that hosts a panel.
class Host : public win::Window {
 public:
  Host() { Create(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, nullptr, {0, 0, 783, 370}, L"Host"); }
};

inline void FactoryRecord(SettingsRecord& record) {
  ResetRecord(record);
  ApplyFactoryDefaultsAll(record);
  record.CurrentProfile = 0;
  record.KeyboardPlugIn = 1;
}

inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

inline std::wstring WindowText(HWND hwnd) {
  wchar_t buf[256] = {};
  GetWindowTextW(hwnd, buf, 256);
  return buf;
}

// One step of a script run inside a key assignment dialog: a captured
// keystroke, a snapshot of the edit, or a button press.
struct Step {
  enum Kind { Key, Snapshot, Ok, Cancel, Close, Default, WmClose } kind;
  int vk = 0;
  UINT flags = 0;
};

// What the dialog looked like while it ran.
struct Seen {
  bool opened = false;
  std::wstring current_name;
  std::vector<std::wstring> edit_texts;  // one per Snapshot
  std::vector<int> new_codes;            // m_newCode at each Snapshot
};

// Posts the steps, in order, to a running dialog. A snapshot is taken by a
// message that reaches the dialog after every earlier step was handled.
inline constexpr UINT kSnapshotMessage = WM_APP + 77;

inline void PostSteps(panels::CDlgKeyAssi& dlg, const std::vector<Step>& steps) {
  for (const Step& s : steps) {
    HWND button = nullptr;
    switch (s.kind) {
      case Step::Key:
        PostMessageW(dlg.hwnd(), win::WM_CAPTUREDKEY, s.vk, s.flags);
        continue;
      case Step::Snapshot:
        PostMessageW(dlg.hwnd(), kSnapshotMessage, 0, 0);
        continue;
      case Step::WmClose:
        PostMessageW(dlg.hwnd(), WM_CLOSE, 0, 0);
        continue;
      case Step::Ok:
        button = dlg.m_btnOk.hwnd();
        break;
      case Step::Cancel:
        button = dlg.m_btnCancel.hwnd();
        break;
      case Step::Close:
        button = dlg.m_btnClose.hwnd();
        break;
      case Step::Default:
        button = dlg.m_btnDefault.hwnd();
        break;
    }
    PostMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  }
}

// Drives whichever key assignment dialog opens next on this thread (for
// dialogs that a panel creates itself): a thread timer looks for it while
// the panel's modal loop runs, then posts the script and answers snapshots.
class DialogScript {
 public:
  explicit DialogScript(std::vector<Step> steps) : steps_(std::move(steps)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 10, &DialogScript::Tick);
  }
  ~DialogScript() {
    KillTimer(nullptr, timer_);
    if (hook_) UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;
  const Seen& seen() const { return seen_; }

 private:
  static void Snapshot(panels::CDlgKeyAssi& dlg) {
    if (!current_) return;
    current_->seen_.edit_texts.push_back(WindowText(dlg.m_keyEdit));
    current_->seen_.new_codes.push_back(dlg.m_newCode);
  }
  static BOOL CALLBACK Find(HWND hwnd, LPARAM lp) {
    auto* dlg = dynamic_cast<panels::CDlgKeyAssi*>(win::Window::FromHandle(hwnd));
    if (dlg && dlg->is_modal_running()) {
      *reinterpret_cast<panels::CDlgKeyAssi**>(lp) = dlg;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogScript* self = current_;
    if (!self || self->seen_.opened) return;
    panels::CDlgKeyAssi* dlg = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &DialogScript::Find, reinterpret_cast<LPARAM>(&dlg));
    if (!dlg) return;
    self->seen_.opened = true;
    self->seen_.current_name = dlg->m_currentName;
    self->hook_ =
        SetWindowsHookExW(WH_GETMESSAGE, &DialogScript::GetMsg, nullptr, GetCurrentThreadId());
    PostSteps(*dlg, self->steps_);
  }
  static LRESULT CALLBACK GetMsg(int code, WPARAM wp, LPARAM lp) {
    auto* msg = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && msg->message == kSnapshotMessage) {
      if (auto* dlg = dynamic_cast<panels::CDlgKeyAssi*>(win::Window::FromHandle(msg->hwnd))) {
        Snapshot(*dlg);
      }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }

  inline static DialogScript* current_ = nullptr;
  std::vector<Step> steps_;
  Seen seen_;
  UINT_PTR timer_ = 0;
  HHOOK hook_ = nullptr;
};

}  // namespace vantrel::testing
