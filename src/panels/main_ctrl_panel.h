// CDlgMainCtrlPanel: the keyboard page. Each of the 114 keys of the key
// picture is a skinned button; a key whose code differs from the factory
// key map shows its pressed look. Clicking a key runs the key assignment
// dialog and stores the chosen code in the active profile's key map.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "model/settings_record.h"
#include "panels/panel.h"
#include "skin/bitmap_btn.h"

namespace vantrel::panels {

class CDlgMainCtrlPanel : public Panel {
 public:
  explicit CDlgMainCtrlPanel(SettingsRecord& record);

  void PutSettingToControl() override;
  // Key position `position` shown as holding `code`.
  void ShowKey(int position, std::uint8_t code);
  // The key click: refused silently when the profile's key map is full.
  void EditKey(int position);

  const skin::CBitmapBtn& key(int position) const { return m_keys[position]; }
  const RECT& key_rect(int position) const { return m_keyRects[position]; }

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnCommand(HWND control, UINT id, UINT code) override;

 private:
  std::array<skin::CBitmapBtn, kKeyPositions> m_keys;
  std::array<RECT, kKeyPositions> m_keyRects{};
};

}  // namespace vantrel::panels
