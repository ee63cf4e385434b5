#include "shell/profile_form.h"

// <windows.h> must come before the headers that build on it.
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>
// clang-format on

#include "model/profile_transfer.h"
#include "model/text.h"
#include "shell/app_state.h"
#include "skin/paint_text.h"
#include "win/dialog_templates.h"
#include "win/win_util.h"

namespace vantrel::shell {
namespace {

// Letter case is kept: names and executable paths are shown and stored as
// typed (an upper-case-only field would change both).
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;

constexpr COLORREF kFieldBackground = RGB(22, 24, 28);

HWND CreateField(HWND parent, const RECT& r, int limit, HFONT font) {
  HWND edit =
      CreateWindowExW(0, L"EDIT", L"", kEditStyle, r.left, r.top, r.right - r.left,
                      r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (edit) {
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SendMessageW(edit, EM_SETLIMITTEXT, limit, 0);
  }
  return edit;
}

}  // namespace

CDlgProfileMan::CDlgProfileMan() : SkinnedDialog(win::kProfileFormTemplate, Drag::Self) {}

bool CDlgProfileMan::OnCreate(const CREATESTRUCTW&) {
  const skin::TextTable& texts = skin::Texts(800, 11);
  static const wchar_t* const kKeys[] = {L"4", L"5", L"6", L"3", L"1", L"2"};
  skin::CBitmapBtn* buttons[] = {&m_btnOK, &m_btnCancel, &m_btnClose, &m_btnBrowse};
  const std::vector<SkinButtonPos> pos = ApplySkin({L"Skins\\skin_Profile.ini", kKeys}, buttons);
  auto rect_of = [&](size_t k) {
    if (k >= pos.size()) return RECT{};
    return RECT{pos[k].left, pos[k].top, pos[k].right, pos[k].bottom};
  };
  field_font_ = win::MakeFont(L"Arial", 16, 600);
  field_brush_.reset(CreateSolidBrush(kFieldBackground));
  m_name = CreateField(hwnd(), rect_of(4), kProfileNameChars - 1, field_font_.get());
  m_path = CreateField(hwnd(), rect_of(5), kGameFileChars - 1, field_font_.get());
  if (m_path) EnableWindow(m_path, FALSE);
  m_btnOK.text = skin::TextAt(texts, 6);
  m_btnCancel.text = skin::TextAt(texts, 7);
  for (skin::CBitmapBtn* b : {&m_btnOK, &m_btnCancel}) {
    b->SetTooltipText(b->text);
    b->Repaint();
  }
  m_btnClose.accessible_name = skin::CloseButtonName();
  m_btnBrowse.accessible_name = skin::Text(1541);
  m_nameField.Attach(m_name, skin::TextAt(texts, 1), skin::TextAt(texts, 9));
  m_pathField.Attach(m_path, skin::TextAt(texts, 3), skin::TextAt(texts, 10));
  accessible_title_ = skin::TextAt(texts, 0);
  return true;
}

bool CDlgProfileMan::OnInitDialog() {
  if (mode == 0 && slot) {
    SetWindowTextW(m_name, win::ToWide(FromFixed(slot->ProFileName)).c_str());
    SetWindowTextW(m_path, win::ToWide(FromFixed(slot->GameFile)).c_str());
  }
  return true;
}

bool CDlgProfileMan::OnCommand(HWND control, UINT id, UINT code) {
  if (control && control == m_btnOK.hwnd()) {
    if (slot)
      StoreProfileForm(*slot, win::ToU16(win::WindowText(m_name)),
                       win::ToU16(win::WindowText(m_path)));
    End(IDOK);
    return true;
  }
  if (control && (control == m_btnCancel.hwnd() || control == m_btnClose.hwnd())) {
    End(IDCANCEL);
    return true;
  }
  if (control && control == m_btnBrowse.hwnd()) {
    BrowseGameFile();
    return true;
  }
  return SkinnedDialog::OnCommand(control, id, code);
}

bool CDlgProfileMan::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  // The disabled path field asks with WM_CTLCOLORSTATIC.
  if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return false;
  const HWND field = reinterpret_cast<HWND>(lp);
  if (field != m_name && field != m_path) return false;
  const HDC dc = reinterpret_cast<HDC>(wp);
  SetTextColor(dc, field == m_name ? RGB(245, 245, 245) : RGB(190, 190, 190));
  SetBkColor(dc, kFieldBackground);
  result = reinterpret_cast<LRESULT>(field_brush_.get());
  return true;
}

void CDlgProfileMan::BrowseGameFile() {
  wchar_t desktop[MAX_PATH]{};
  SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE);
  wchar_t file[MAX_PATH * 4]{};
  swprintf(file, MAX_PATH * 4, L"%ls\\.exe", desktop);
  wchar_t title[MAX_PATH]{};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd();
  ofn.lpstrFilter = L"exe file(*.exe)\0*.EXE\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH * 4;
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = MAX_PATH;
  ofn.lpstrDefExt = L"*.exe";
  // Multiple selection would hand back "folder\0name\0name\0\0", not a path.
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return;
  AcceptGameFile(file, win::ToWide(FileTitle(std::filesystem::path(win::ToU16(file)))));
}

void CDlgProfileMan::AcceptGameFile(const std::wstring& path, const std::wstring& title) {
  if (IsLinkedToOtherProfile(LiveRecord(), win::ToU16(path))) return;
  SetWindowTextW(m_path, path.c_str());
  if (GetWindowTextLengthW(m_name) == 0) SetWindowTextW(m_name, title.c_str());
}

void CDlgProfileMan::PaintTexts(HDC dc) {
  constexpr COLORREF kWhite = RGB(255, 255, 255);
  struct Label {
    int entry, height, weight;
    COLORREF colour;
    RECT rect;
    UINT format;
  };
  static constexpr Label kLabels[] = {
      {0, 19, 800, kWhite, {5, 18, 345, 43}, DT_CENTER | DT_WORDBREAK},
      {1, 17, 600, skin::kAccent, {24, 90, 307, 130}, DT_WORDBREAK},
      {3, 17, 600, skin::kAccent, {24, 175, 245, 210}, DT_WORDBREAK},
      {4, 17, 600, skin::kAccent, {24, 235, 117, 285}, DT_WORDBREAK},
      {5, 17, 600, skin::kAccent, {24, 285, 154, 341}, DT_WORDBREAK},
      {2, 17, 600, kWhite, {24, 115, 307, 155}, DT_WORDBREAK},
      {8, 17, 600, kWhite, {225, 175, 288, 255}, DT_WORDBREAK},
      {9, 15, 400, kWhite, {117, 235, 397, 295}, DT_WORDBREAK},
      {10, 15, 400, kWhite, {162, 285, 361, 399}, DT_WORDBREAK},
  };
  const skin::TextTable& texts = skin::Texts(800, 11);
  for (const Label& l : kLabels) {
    skin::DrawSkinText(dc, skin::TextAt(texts, l.entry), l.height, l.weight, l.colour, l.rect,
                       l.format);
  }
}

}  // namespace vantrel::shell
