#include "shell/wait_dialog.h"

#include "skin/paint_text.h"
#include "win/dialog_templates.h"
#include "win/win_util.h"

namespace vantrel::shell {
namespace {

constexpr UINT_PTR kRequestTimer = 1;

}  // namespace

CDlgWaitting::CDlgWaitting() : SkinnedDialog(win::kWaitingTemplate, Drag::None) {}

bool CDlgWaitting::OnCreate(const CREATESTRUCTW&) {
  win::DebugTrace(L"\n waitting dlg loadskins\n");
  ApplySkin({L"Skins\\skin_wait.ini", {}}, {});
  accessible_title_ = skin::Text(1400);
  return true;
}

bool CDlgWaitting::OnInitDialog() {
  requested_ = false;
  SetWindowTextW(hwnd(), L"Waiting");
  SetTimer(hwnd(), kRequestTimer, request_delay_ms, nullptr);
  return true;
}

bool CDlgWaitting::OnTimer(UINT_PTR id) {
  if (id == kRequestTimer) {
    win::DebugTrace(L"\nwaitting dialog ontimer\n");
    KillTimer(hwnd(), kRequestTimer);
    requested_ = true;
    PostMessageW(GetWindow(hwnd(), GW_OWNER), WM_APPLY_ALL_SETTING, mode, monitor::kApplyRequest);
    return true;
  }
  return false;
}

bool CDlgWaitting::TakeRequest(WPARAM asked) {
  if (!requested_ || !hwnd() || !IsWindowVisible(hwnd()) || asked != static_cast<WPARAM>(mode))
    return false;
  requested_ = false;
  return true;
}

void CDlgWaitting::OnOK() {
  if (!hwnd()) return;  // not shown: an acknowledgement without a window
  KillTimer(hwnd(), kRequestTimer);
  End(IDOK);
}

// The waiting window stays where it was centred.
bool CDlgWaitting::OnMouse(const win::MouseEvent&) { return false; }

bool CDlgWaitting::SwallowsKey(WPARAM vk) const { return vk == VK_F1; }

void CDlgWaitting::PaintTexts(HDC dc) {
  skin::DrawSkinText(dc, skin::TextAt(skin::Texts(1400, 2), 0), 30, 600, RGB(255, 255, 255),
                     {5, 67, 300, 117}, DT_CENTER | DT_WORDBREAK);
}

}  // namespace vantrel::shell
