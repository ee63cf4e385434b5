#include "skin/warning_dialog.h"

#include "skin/paint_text.h"
#include "win/dialog_templates.h"

namespace vantrel::skin {

CDlgWarning::CDlgWarning() : SkinnedDialog(win::kWarningTemplate, Drag::Self) {}

bool CDlgWarning::OnCreate(const CREATESTRUCTW&) {
  switch (kind) {
    case 0:
      texts_ = Texts(700, 5);
      break;
    case 1:
    case 2:
      texts_ = Texts(1000, 5);
      break;
    case 3:
    case 4:
      texts_ = Texts(1000, 5);
      texts_.push_back(TextAt(Texts(kind == 3 ? 704 : 705, 1), 0));
      break;
    case kNotice:
      texts_ = Texts(1500, 4);
      break;
    case kRestoreBackup:
      texts_ = Texts(1530, 4);
      break;
    default:
      texts_.clear();
      break;
  }
  static const wchar_t* const kKeys[] = {L"1", L"2", L"3"};
  CBitmapBtn* buttons[] = {&m_btnOK, &m_btnCancel, &m_btnClose};
  ApplySkin({L"Skins\\skin_reset_warn.ini", kKeys}, buttons);
  const std::pair<CBitmapBtn*, size_t> captions[] = {{&m_btnOK, 2}, {&m_btnCancel, 3}};
  for (auto [button, entry] : captions) {
    button->text = TextAt(texts_, entry);
    button->SetTooltipText(button->text);
    button->Repaint();
  }
  m_btnClose.accessible_name = CloseButtonName();
  accessible_title_ = TextAt(texts_, 0);
  accessible_description_ = message_text();
  accessible_role_ = ROLE_SYSTEM_ALERT;
  if (kind == kNotice && m_btnOK.hwnd() && m_btnCancel.hwnd()) {
    // Nothing to choose: one OK, in the middle. The picture's two button
    // places are painted over with the body's colour (PaintTexts).
    RECT ok{}, cancel{};
    GetWindowRect(m_btnOK.hwnd(), &ok);
    GetWindowRect(m_btnCancel.hwnd(), &cancel);
    UnionRect(&button_row_, &ok, &cancel);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&button_row_), 2);
    ShowWindow(m_btnCancel.hwnd(), SW_HIDE);
    SetWindowPos(m_btnOK.hwnd(), nullptr, (images().size.cx - (ok.right - ok.left)) / 2,
                 button_row_.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

const std::wstring& CDlgWarning::message_text() const {
  return kind == kNotice ? message : TextAt(texts_, message_entry());
}

bool CDlgWarning::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT&) {
  // A screen reader announces the warning as it appears.
  if (msg == WM_SHOWWINDOW && wp) win::NotifyAccessible(EVENT_SYSTEM_ALERT, hwnd());
  return false;
}

CBitmapBtn* CDlgWarning::CancelButton() {
  return IsWindowVisible(m_btnCancel.hwnd()) ? &m_btnCancel : &m_btnClose;
}

bool CDlgWarning::OnCommand(HWND control, UINT id, UINT code) {
  if (control && control == m_btnOK.hwnd()) {
    End(IDOK);
    return true;
  }
  if (control && (control == m_btnCancel.hwnd() || control == m_btnClose.hwnd())) {
    End(IDCANCEL);
    return true;
  }
  return SkinnedDialog::OnCommand(control, id, code);
}

bool CDlgWarning::SwallowsKey(WPARAM vk) const { return vk == VK_F1; }

void CDlgWarning::PaintTexts(HDC dc) {
  constexpr COLORREF kWhite = RGB(255, 255, 255);
  constexpr UINT kFormat = DT_CENTER | DT_WORDBREAK;
  DrawSkinText(dc, TextAt(texts_, 0), 19, 800, kWhite, {8, 9, 255, 25}, kFormat);
  // A notice's longer text takes a smaller face and the room down to the
  // buttons.
  if (kind == kNotice) {
    if (!IsRectEmpty(&button_row_)) {
      win::Brush body(CreateSolidBrush(GetPixel(dc, button_row_.left - 6, button_row_.top + 2)));
      FillRect(dc, &button_row_, body.get());
    }
    DrawSkinText(dc, message, 13, 400, kWhite, {14, 58, 290, 108}, kFormat | DT_END_ELLIPSIS);
    return;
  }
  DrawSkinText(dc, message_text(), 14, 600, kWhite, {21, 62, 283, 96}, kFormat);
}

std::wstring NoticeMessage(UINT text, const std::vector<std::filesystem::path>& files) {
  std::wstring names;
  for (const std::filesystem::path& f : files) {
    const std::wstring name = f.filename().wstring();
    if (names.find(name) != std::wstring::npos) continue;  // named once
    names += (names.empty() ? L"" : L", ") + name;
  }
  return TextWith(text, names);
}

void Notify(HWND owner, UINT text, const std::vector<std::filesystem::path>& files) {
  CDlgWarning notice;
  notice.kind = CDlgWarning::kNotice;
  notice.message = NoticeMessage(text, files);
  notice.RunModal(owner);
}

}  // namespace vantrel::skin
