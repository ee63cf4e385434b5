#include "panels/key_assi.h"

#include "model/key_codes.h"
#include "model/panel_rules.h"
#include "skin/lang_strings.h"
#include "win/dialog_templates.h"
#include "win/gdi.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"

namespace vantrel::panels {
namespace {

constexpr int kEditId = 1000;

const skin::TextTable& Texts() { return skin::Texts(400, 7); }

std::wstring NameOf(int vk) { return win::ToWide(KeyDisplayName(vk)); }

void DrawLine(HDC dc, const std::wstring& text, RECT rect, UINT align) {
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace

std::wstring KeyNameOfCode(std::uint8_t code) {
  int vk = 0;
  return UsageToVirtualKey(code, vk) ? NameOf(vk) : std::wstring();
}

CDlgKeyAssi::CDlgKeyAssi() : SkinnedDialog(win::kKeyAssignmentTemplate, Drag::Self) {}

bool CDlgKeyAssi::OnCreate(const CREATESTRUCTW&) {
  const skin::TextTable& texts = Texts();
  static const wchar_t* const kKeys[] = {L"2", L"3", L"5", L"4"};
  skin::CBitmapBtn* buttons[] = {&m_btnOk, &m_btnCancel, &m_btnDefault, &m_btnClose};
  ApplySkin({L"Skins\\skin_swap_key.ini", kKeys}, buttons);
  struct Caption {
    skin::CBitmapBtn& button;
    size_t entry;
  } captions[] = {{m_btnOk, 4}, {m_btnCancel, 5}, {m_btnDefault, 3}};
  for (const Caption& c : captions) {
    c.button.text = skin::TextAt(texts, c.entry);
    c.button.SetTooltipText(c.button.text);
    c.button.Repaint();
  }
  m_btnClose.accessible_name = skin::CloseButtonName();
  accessible_title_ = skin::TextAt(texts, 0);
  accessible_description_ = skin::Text(1542);
  return true;
}

bool CDlgKeyAssi::OnInitDialog() {
  m_keyEdit = GetDlgItem(hwnd(), kEditId);
  if (m_keyEdit) MoveWindow(m_keyEdit, 28, 137, 114, 17, TRUE);
  m_keyField.Attach(m_keyEdit, skin::Text(605), accessible_description_);
  // From here on every keystroke of the desktop comes to this dialog only.
  win::InstallKeyboardCapture(hwnd());
  int vk = 0;
  m_currentName = UsageToVirtualKey(m_currentCode, vk) ? NameOf(vk) : std::wstring();
  // Codes from 241 on are mouse buttons: their name is shown in red only.
  if (m_currentCode < kFirstMouseButtonCode) SetEditText(m_currentName);
  return false;  // the edit is read-only: leave the focus alone
}

bool CDlgKeyAssi::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == win::WM_CAPTURELEFT) {
    OnCaptureLeft();
    return true;
  }
  if (msg != win::WM_CAPTUREDKEY) return false;
  result = OnCapturedKey(static_cast<int>(wp), static_cast<std::uint32_t>(lp)) ? 1 : 0;
  return true;
}

bool CDlgKeyAssi::OnCapturedKey(int vk, std::uint32_t flags) {
  // Press and release both arrive; the last key captured wins.
  vk = CapturedVirtualKey(vk, flags);
  int usage = 0;
  if (!VirtualKeyToUsage(vk, usage)) return false;
  m_newCode = static_cast<std::uint8_t>(usage);
  if (m_keyEdit) {
    const std::wstring name = NameOf(vk);
    SendMessageW(m_keyEdit, EM_SETSEL, 0, -1);
    SendMessageW(m_keyEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(name.c_str()));
    win::NotifyAccessible(EVENT_OBJECT_VALUECHANGE, m_keyEdit);
  }
  return true;
}

void CDlgKeyAssi::OnCaptureLeft() {
  win::RemoveKeyboardCapture();
  FocusFromKeyboard(m_btnOk);
}

void CDlgKeyAssi::SetEditText(const std::wstring& text) {
  if (!m_keyEdit) return;
  SetWindowTextW(m_keyEdit, text.c_str());
  win::NotifyAccessible(EVENT_OBJECT_VALUECHANGE, m_keyEdit);
}

void CDlgKeyAssi::ChooseDefault() {
  if (m_keyPosition < 0 || m_keyPosition >= kKeyPositions) return;
  const std::uint8_t code = FactoryKeyMap[static_cast<size_t>(m_keyPosition)];
  int vk = 0;
  // Positions 108..113 have factory code 0, which names no key.
  if (!UsageToVirtualKey(code, vk)) return;
  m_newCode = code;
  SetEditText(NameOf(vk));
}

bool CDlgKeyAssi::OnCommand(HWND control, UINT id, UINT code) {
  if (!control) return SkinnedDialog::OnCommand(control, id, code);
  if (control == m_btnOk.hwnd()) {
    // Give the keyboard back before the dialog goes; WM_DESTROY's removal
    // then finds nothing to remove.
    win::RemoveKeyboardCapture();
    End(IDOK);
  } else if (control == m_btnCancel.hwnd()) {
    End(IDCANCEL);
  } else if (control == m_btnClose.hwnd()) {
    End(-1);
  } else if (control == m_btnDefault.hwnd()) {
    ChooseDefault();
  }
  return SkinnedDialog::OnCommand(control, id, code);
}

void CDlgKeyAssi::OnDestroy() {
  // Every way out gives the keyboard back, also a destroy without End.
  win::RemoveKeyboardCapture();
  SkinnedDialog::OnDestroy();
}

void CDlgKeyAssi::PaintTexts(HDC dc) {
  const skin::TextTable& texts = Texts();
  SetBkMode(dc, TRANSPARENT);
  constexpr COLORREF kWhite = RGB(253, 253, 253);
  {
    win::Font bold = win::MakeFont(L"Arial", 17, 800);
    win::SelectGuard keep(dc, bold.get());
    SetTextColor(dc, kWhite);
    DrawLine(dc, skin::TextAt(texts, 0), {7, 33, 302, 57}, DT_CENTER);
    DrawLine(dc, skin::TextAt(texts, 1), {25, 90, 210, 112}, DT_LEFT);
    SetTextColor(dc, RGB(255, 0, 0));
    DrawLine(dc, m_currentName, {210, 90, 300, 112}, DT_LEFT);
  }
  win::Font normal = win::MakeFont(L"Arial", 15, 400);
  win::SelectGuard keep(dc, normal.get());
  SetTextColor(dc, kWhite);
  DrawLine(dc, skin::TextAt(texts, 2), {25, 112, 285, 134}, DT_LEFT);
}

}  // namespace vantrel::panels
