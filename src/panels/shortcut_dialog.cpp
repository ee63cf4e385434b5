#include "panels/shortcut_dialog.h"

#include <string>

#include "model/key_codes.h"
#include "model/panel_rules.h"
#include "skin/lang_strings.h"
#include "win/dialog_templates.h"
#include "win/gdi.h"
#include "win/keyboard_capture.h"
#include "win/win_util.h"

namespace vantrel::panels {
namespace {

const skin::TextTable& Texts() { return skin::Texts(600, 9); }

// "BUTTONPOS" keys in member order: OK, Cancel, close, the five toggles,
// then the key name field (a position only, no button).
const wchar_t* const kKeys[] = {L"2", L"3", L"4", L"6", L"7", L"8", L"9", L"10", L"11"};
constexpr size_t kFieldKey = 8;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFieldBackground = RGB(8, 8, 10);  // the skin's well

void TextAt(HDC dc, int x, int y, const std::wstring& text) {
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// The dialog's brush and font for its key field live as long as any
// dialog: a process-wide pair is simpler than tying them to each window.
HBRUSH FieldBrush() {
  static win::Brush brush(CreateSolidBrush(kFieldBackground));
  return brush.get();
}
HFONT FieldFont() {
  static win::Font font = win::MakeFont(L"Arial", 15, 600);
  return font.get();
}

}  // namespace

CDlgShortCut::CDlgShortCut() : SkinnedDialog(win::kShortcutTemplate, Drag::Self) {}

bool CDlgShortCut::OnCreate(const CREATESTRUCTW&) {
  const skin::TextTable& texts = Texts();
  skin::CBitmapBtn* buttons[] = {&m_btnOk,      &m_btnCancel,  &m_btnClose,   &m_toggles[0],
                                 &m_toggles[1], &m_toggles[2], &m_toggles[3], &m_toggles[4]};
  const std::vector<SkinButtonPos> pos = ApplySkin({L"Skins\\skin_Shortcut.ini", kKeys}, buttons);
  for (skin::CBitmapBtn& t : m_toggles) t.toggle_mode = true;

  RECT field{};
  if (pos.size() > kFieldKey)
    field = {pos[kFieldKey].left, pos[kFieldKey].top, pos[kFieldKey].right, pos[kFieldKey].bottom};
  // Read-only: the capture swallows typing anyway, and the key code comes
  // from the captured key, never from this text.
  m_keyEdit = CreateWindowExW(
      0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_READONLY | ES_CENTER | ES_AUTOHSCROLL, field.left,
      field.top, field.right - field.left, field.bottom - field.top, hwnd(), nullptr,
      GetModuleHandleW(nullptr), nullptr);
  if (m_keyEdit) SendMessageW(m_keyEdit, WM_SETFONT, reinterpret_cast<WPARAM>(FieldFont()), 0);

  struct Caption {
    skin::CBitmapBtn& button;
    size_t entry;
  } captions[] = {{m_btnOk, 7}, {m_btnCancel, 8}};
  for (const Caption& c : captions) {
    c.button.text = skin::TextAt(texts, c.entry);
    c.button.SetTooltipText(c.button.text);
    c.button.Repaint();
  }
  // The toggles' names are painted beside them: "No modifier", Ctrl...
  static constexpr size_t kToggleNames[kToggleCount] = {6, 1, 2, 3, 4};
  for (int t = 0; t < kToggleCount; ++t)
    m_toggles[t].accessible_name = skin::TextAt(texts, kToggleNames[t]);
  m_btnClose.accessible_name = skin::CloseButtonName();
  accessible_title_ = skin::TextAt(texts, 0);
  accessible_description_ = skin::Text(1544);
  m_keyField.Attach(m_keyEdit, skin::TextAt(texts, 5), accessible_description_);
  return true;
}

bool CDlgShortCut::OnInitDialog() {
  // From here until the window goes, every keystroke comes to this dialog.
  win::InstallKeyboardCapture(hwnd());
  int vk = 0;
  if (UsageToVirtualKey(combination.keyCode, vk)) ShowKeyName(vk);
  RefreshToggles();
  return false;  // the edit is read-only: leave the focus alone
}

bool CDlgShortCut::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == win::WM_CAPTURELEFT) {
    // Held Esc: the capture ends, the keyboard moves between the buttons.
    win::RemoveKeyboardCapture();
    FocusFromKeyboard(m_btnOk);
    return true;
  }
  if (msg == win::WM_CAPTUREDKEY) {
    OnCapturedKey(static_cast<int>(wp), static_cast<std::uint32_t>(lp));
    result = 0;
    return true;
  }
  if ((msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT) && m_keyEdit &&
      reinterpret_cast<HWND>(lp) == m_keyEdit) {
    const HDC dc = reinterpret_cast<HDC>(wp);
    SetTextColor(dc, kWhite);
    SetBkColor(dc, kFieldBackground);
    result = reinterpret_cast<LRESULT>(FieldBrush());
    return true;
  }
  return false;
}

void CDlgShortCut::OnCapturedKey(int vk, std::uint32_t flags) {
  // Presses and releases alike, no repeat filter: the key last touched
  // wins, so a modifier pressed alone becomes the combination's key.
  vk = CapturedVirtualKey(vk, flags);
  int usage = 0;
  combination.keyCode = VirtualKeyToUsage(vk, usage) ? static_cast<std::uint8_t>(usage) : 0;
  ShowKeyName(vk);
}

void CDlgShortCut::ShowKeyName(int vk) {
  if (!m_keyEdit) return;
  const std::wstring name = win::ToWide(KeyDisplayName(vk));
  SendMessageW(m_keyEdit, EM_SETSEL, 0, -1);
  SendMessageW(m_keyEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(name.c_str()));
  win::NotifyAccessible(EVENT_OBJECT_VALUECHANGE, m_keyEdit);
}

void CDlgShortCut::RefreshToggles() {
  const bool none = combination.flags[kNoModifiers] != 0;
  m_toggles[kNoModifiers].SetCheck(none);
  EnableWindow(m_toggles[kNoModifiers].hwnd(), TRUE);
  for (int k = kCtrl; k < kToggleCount; ++k) {
    skin::CBitmapBtn& t = m_toggles[static_cast<size_t>(k)];
    t.SetCheck(!none && combination.flags[k] != 0);
    if (t.hwnd() && (IsWindowEnabled(t.hwnd()) != 0) == none) {
      EnableWindow(t.hwnd(), none ? FALSE : TRUE);
      t.Repaint();
    }
  }
}

bool CDlgShortCut::OnCommand(HWND control, UINT id, UINT code) {
  if (!control) return SkinnedDialog::OnCommand(control, id, code);
  if (control == m_btnOk.hwnd()) {
    // Give the keyboard back before the dialog goes; WM_DESTROY's removal
    // then finds nothing to remove.
    win::RemoveKeyboardCapture();
    End(kResultOk);
    return true;
  }
  if (control == m_btnCancel.hwnd() || control == m_btnClose.hwnd()) {
    End(kResultCancel);
    return true;
  }
  for (size_t k = 0; k < m_toggles.size(); ++k) {
    if (control != m_toggles[k].hwnd()) continue;
    // The toggle flipped itself; its flag follows what it shows now.
    combination.flags[k] = m_toggles[k].GetCheck() ? 1 : 0;
    RefreshToggles();
    return true;
  }
  return SkinnedDialog::OnCommand(control, id, code);
}

void CDlgShortCut::OnDestroy() {
  // Every way out gives the keyboard back, also a destroy without End.
  win::RemoveKeyboardCapture();
  m_keyEdit = nullptr;
  SkinnedDialog::OnDestroy();
}

void CDlgShortCut::PaintTexts(HDC dc) {
  const skin::TextTable& texts = Texts();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kWhite);
  {
    win::Font title = win::MakeFont(L"Arial", 18, 800);
    win::SelectGuard keep(dc, title.get());
    const std::wstring& text = skin::TextAt(texts, 0);
    RECT box{5, 26, 261, 43};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  }
  win::Font label = win::MakeFont(L"Arial", 13, 600);
  win::SelectGuard keep(dc, label.get());
  static constexpr POINT kLabels[] = {{60, 86},  {130, 86}, {188, 86},
                                      {250, 86}, {58, 157}, {180, 157}};
  for (size_t k = 0; k < std::size(kLabels); ++k)
    TextAt(dc, kLabels[k].x, kLabels[k].y, skin::TextAt(texts, k + 1));
}

}  // namespace vantrel::panels
