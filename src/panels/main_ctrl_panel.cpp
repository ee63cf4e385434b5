#include "panels/main_ctrl_panel.h"

#include <set>
#include <string>
#include <utility>

#include "model/key_codes.h"
#include "model/panel_rules.h"
#include "panels/key_assi.h"
#include "skin/lang_strings.h"
#include "win/dialog_templates.h"

namespace vantrel::panels {
namespace {

// The skin numbers its keys from 40: key position i is BUTTONPOS "40 + i".
constexpr int kFirstKeyNumber = 40;

const std::array<const wchar_t*, kKeyPositions>& KeyNumbers() {
  static const std::array<std::wstring, kKeyPositions> texts = [] {
    std::array<std::wstring, kKeyPositions> t;
    for (int i = 0; i < kKeyPositions; ++i) t[i] = std::to_wstring(kFirstKeyNumber + i);
    return t;
  }();
  static const std::array<const wchar_t*, kKeyPositions> keys = [] {
    std::array<const wchar_t*, kKeyPositions> k;
    for (int i = 0; i < kKeyPositions; ++i) k[i] = texts[i].c_str();
    return k;
  }();
  return keys;
}

}  // namespace

CDlgMainCtrlPanel::CDlgMainCtrlPanel(SettingsRecord& record)
    : Panel(win::kMainCtrlPanelTemplate, Drag::Parent, record, 101) {}

bool CDlgMainCtrlPanel::OnCreate(const CREATESTRUCTW&) {
  std::array<skin::CBitmapBtn*, kKeyPositions> buttons;
  for (int i = 0; i < kKeyPositions; ++i) buttons[i] = &m_keys[i];
  std::vector<SkinButtonPos> positions =
      ApplySkin({L"Skins\\skin_main.ini", KeyNumbers()}, buttons);
  for (size_t i = 0; i < positions.size() && i < m_keyRects.size(); ++i) {
    const SkinButtonPos& p = positions[i];
    m_keyRects[i] = {p.left, p.top, p.right, p.bottom};
  }
  // Each key is read by the name of what it sends from the factory; a
  // position without one, or whose name an earlier key already has (the
  // layout may give two usages one key), by its number. Its value says
  // what it sends now.
  std::set<std::wstring> taken;
  for (int i = 0; i < kKeyPositions; ++i) {
    skin::CBitmapBtn& key = m_keys[i];
    key.set_focus_group(kKeyGroup);
    key.accessible_name = KeyNameOfCode(FactoryKeyMap[static_cast<size_t>(i)]);
    if (key.accessible_name.empty() || !taken.insert(key.accessible_name).second)
      key.accessible_name = skin::TextWith(1545, std::to_wstring(i + 1));
  }
  return true;
}

void CDlgMainCtrlPanel::PutSettingToControl() {
  const ProfileSlot& s = slot();
  for (int i = 0; i < kKeyPositions; ++i) ShowKey(i, s.standardkey[i]);
}

void CDlgMainCtrlPanel::ShowKey(int position, std::uint8_t code) {
  if (position < 0 || position >= kKeyPositions) return;
  skin::CBitmapBtn& key = m_keys[position];
  key.SetCheck(KeyShowsRemapped(position, code));
  std::wstring sends = KeyNameOfCode(code);
  if (sends.empty()) sends = skin::Text(406);  // "Unknown key"
  if (sends != key.accessible_value) {
    key.accessible_value = std::move(sends);
    win::NotifyAccessible(EVENT_OBJECT_VALUECHANGE, key.hwnd());
  }
  RedrawNow(key.hwnd());
}

void CDlgMainCtrlPanel::EditKey(int position) {
  if (position < 0 || position >= kKeyPositions) return;
  const int profile = ActiveProfileIndex(record());
  // A full key map refuses silently: no dialog, no message.
  if (IsKeyMapFull(record(), profile)) return;
  // The key goes to the profile the dialog was opened on, whatever the
  // keyboard switched to meanwhile.
  ProfileSlot& edited = record().profiles[profile];
  CDlgKeyAssi dlg;
  dlg.m_keyPosition = position;
  dlg.m_currentCode = edited.standardkey[position];
  if (dlg.RunModal(hwnd()) != IDOK) return;
  // Code 0 means the user pressed OK without choosing a key.
  if (dlg.m_newCode == 0) return;
  LockWindowUpdate(hwnd());
  edited.standardkey[position] = dlg.m_newCode;
  if (ActiveProfileIndex(record()) == profile) ShowKey(position, dlg.m_newCode);
  record().StandardKeyChanged[profile] = 1;
  LockWindowUpdate(nullptr);
}

bool CDlgMainCtrlPanel::OnCommand(HWND control, UINT id, UINT code) {
  if (control) {
    for (int i = 0; i < kKeyPositions; ++i) {
      if (m_keys[i].hwnd() == control) {
        EditKey(i);
        break;
      }
    }
  }
  return Panel::OnCommand(control, id, code);
}

}  // namespace vantrel::panels
