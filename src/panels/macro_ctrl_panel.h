// CDlgMacroCtrlPanel: the macro page. Six skinned buttons stand for the
// six programmable keys of the active profile; each caption says what its
// key does now. A click opens the key's menu: a library macro, a media or
// system function, the factory default, a key combination (through the
// shortcut dialog) or "disabled"; the macro manager opens from there too.
// The choice goes straight into the key's KeyAssignment and flags the key
// as changed for the monitor. What a command stores is decided by the
// model (ApplyKeyCommand); this page only asks and shows.
//
//   CDlgMacroCtrlPanel macro(live_record, macro_store);
//   macro.CreateChild(main_hwnd);
//   macro.PutSettingToControl();   // captions from the active slot
#pragma once

#include <windows.h>

#include <array>

#include "model/macro_store.h"
#include "model/settings_record.h"
#include "panels/panel.h"
#include "skin/bitmap_btn.h"

namespace vantrel::panels {

class CDlgMacroCtrlPanel : public Panel {
 public:
  static constexpr int kKeyCount = 6;
  // This page's menu commands (WM_COMMAND without a control).
  static constexpr UINT kFirstCommand = 1001, kLastCommand = 4000;

  CDlgMacroCtrlPanel(SettingsRecord& record, MacroStore& macros);

  void PutSettingToControl() override;

  // Opens the menu of key k (0..5) at the lower-left corner of its button
  // and runs it to its end; the choice arrives as a menu command.
  void OpenKeyMenu(int k);
  // Carries out menu command `id` on the key whose menu was opened last, in
  // the profile that was active then (the keyboard may have switched
  // profiles meanwhile): runs the macro manager (1099) or the shortcut
  // dialog (1002) where the command asks for them, stores the choice and
  // refreshes the captions.
  void RunKeyCommand(UINT id);

  int key_index() const { return key_index_; }
  // The key and profile the next command goes to, as OpenKeyMenu sets them.
  void set_key_index(int k) {
    key_index_ = k;
    key_profile_ = ActiveProfileIndex(record());
  }

  std::array<skin::CBitmapBtn, kKeyCount> m_keys;

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  bool SwallowsKey(WPARAM vk) const override;
  void PaintTexts(HDC dc) override;

 private:
  MacroStore& macros_;
  MacroLibrary& library_;
  int key_index_ = 0;
  int key_profile_ = 0;
};

}  // namespace vantrel::panels
