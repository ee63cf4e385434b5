#include "shell/warning_dialog.h"

#include "shell/paint_text.h"
#include "win/dialog_templates.h"

namespace vantrel::shell {

CDlgWarning::CDlgWarning() : SkinnedDialog(win::kWarningTemplate, Drag::Self) {}

bool CDlgWarning::OnCreate(const CREATESTRUCTW&) {
  texts_.clear();
  switch (kind) {
    case 0:
      skin::LoadLangStrings(700, 5, texts_);
      break;
    case 1:
    case 2:
      skin::LoadLangStrings(1000, 5, texts_);
      break;
    case 3:
    case 4:
      skin::LoadLangStrings(1000, 5, texts_);
      skin::LoadLangStrings(kind == 3 ? 704 : 705, 1, texts_);
      break;
    default:
      break;
  }
  static const wchar_t* const kKeys[] = {L"1", L"2", L"3"};
  skin::CBitmapBtn* buttons[] = {&m_btnOK, &m_btnCancel, &m_btnClose};
  ApplySkin({L"Skins\\skin_reset_warn.ini", kKeys}, buttons);
  const std::pair<skin::CBitmapBtn*, size_t> captions[] = {{&m_btnOK, 2}, {&m_btnCancel, 3}};
  for (auto [button, entry] : captions) {
    button->text = skin::TextAt(texts_, entry);
    button->SetTooltipText(button->text);
    button->Repaint();
  }
  return true;
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
  DrawSkinText(dc, skin::TextAt(texts_, 0), 19, 800, kWhite, {8, 9, 255, 25}, kFormat);
  DrawSkinText(dc, skin::TextAt(texts_, message_entry()), 14, 600, kWhite, {21, 62, 283, 96},
               kFormat);
}

}  // namespace vantrel::shell
