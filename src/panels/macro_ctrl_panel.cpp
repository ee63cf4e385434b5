#include "panels/macro_ctrl_panel.h"

#include <string>
#include <vector>

#include "model/key_functions.h"
#include "panels/macro_man.h"
#include "panels/shortcut_dialog.h"
#include "skin/ex_menu.h"
#include "skin/lang_strings.h"
#include "win/dialog_templates.h"
#include "win/gdi.h"
#include "win/win_util.h"

namespace vantrel::panels {
namespace {

// Entry N is language string 500 + N: the menu texts, the captions of the
// media and system functions, and the page title (26).
const skin::TextTable& Texts() { return skin::Texts(500, 27); }

// The same table as the model reads it for captions.
const std::vector<std::u16string>& Names() {
  static std::vector<std::u16string> names = [] {
    std::vector<std::u16string> n;
    for (const std::wstring& text : Texts()) n.push_back(win::ToU16(text));
    return n;
  }();
  return names;
}

const std::wstring& Text(size_t n) { return skin::TextAt(Texts(), n); }

constexpr UINT kFactoryDefault = 1001, kCombination = 1002, kDisabled = 1040;

// The media submenu: commands 1013..1020 with texts 4..11.
constexpr UINT kFirstMediaCommand = 1013;
constexpr int kMediaItems = 8, kFirstMediaText = 4;

// The system submenu, in menu order, with each item's text.
struct Item {
  UINT command;
  int text;
};
constexpr Item kSystemItems[] = {{1060, 13}, {1022, 14}, {1021, 15}, {1064, 16}, {1065, 17},
                                 {1063, 18}, {1062, 19}, {1028, 20}, {1029, 21}, {1030, 22}};

}  // namespace

CDlgMacroCtrlPanel::CDlgMacroCtrlPanel(SettingsRecord& record, MacroStore& macros)
    : Panel(win::kMacroCtrlPanelTemplate, Drag::Parent, record, 526),
      macros_(macros),
      library_(macros.library) {}

bool CDlgMacroCtrlPanel::OnCreate(const CREATESTRUCTW&) {
  Texts();
  static const wchar_t* const kKeys[kKeyCount] = {L"4", L"5", L"6", L"7", L"8", L"9"};
  skin::CBitmapBtn* buttons[kKeyCount];
  for (int k = 0; k < kKeyCount; ++k) buttons[k] = &m_keys[static_cast<size_t>(k)];
  ApplySkin({L"Skins\\Skin_Macro_control.ini", kKeys}, buttons);
  for (int k = 0; k < kKeyCount; ++k) {
    skin::CBitmapBtn& key = m_keys[static_cast<size_t>(k)];
    key.role = skin::ButtonRole::DropDown;
    key.set_focus_group(kProgrammableKeyGroup);
    key.accessible_name = skin::TextWith(1540, std::to_wstring(k + 1));
  }
  return true;
}

void CDlgMacroCtrlPanel::PutSettingToControl() {
  const ProfileSlot& active = slot();
  for (int k = 0; k < kKeyCount; ++k) {
    skin::CBitmapBtn& button = m_keys[static_cast<size_t>(k)];
    button.text = win::ToWide(KeyAssignmentText(active.MacroKeyInfo[k], Names()));
    RedrawNow(button.hwnd());
  }
}

void CDlgMacroCtrlPanel::OpenKeyMenu(int k) {
  if (k < 0 || k >= kKeyCount) return;
  set_key_index(k);
  // The macro manager, opened from this menu, preselects this key's macro.
  EditedKeyAssignment() = slot().MacroKeyInfo[k];

  win::Font font = win::MakeFont(L"Arial", 14, 400, 0, DEFAULT_QUALITY);
  skin::CExMenu macros(font.get()), media(font.get()), system(font.get());
  macros.AppendItem(kCommandMacroManager, Text(2));
  const std::vector<MacroMenuEntry> entries = MacroMenuEntries(library_, EditedKeyAssignment());
  if (!entries.empty()) macros.AppendItem(skin::kSeparatorId, L"");
  for (const MacroMenuEntry& e : entries) {
    macros.AppendItem(static_cast<UINT>(e.command), win::ToWide(e.name), nullptr, false, e.marked,
                      !e.bindable);
  }
  for (int i = 0; i < kMediaItems; ++i)
    media.AppendItem(kFirstMediaCommand + static_cast<UINT>(i), Text(kFirstMediaText + i));
  for (const Item& item : kSystemItems) system.AppendItem(item.command, Text(item.text));

  skin::CExMenu menu(font.get());
  menu.AppendItem(0, Text(1), &macros);
  menu.AppendItem(0, Text(3), &media);
  menu.AppendItem(0, Text(12), &system);
  menu.AppendItem(skin::kSeparatorId, L"");
  menu.AppendItem(kFactoryDefault, Text(23));
  menu.AppendItem(kCombination, Text(24));
  menu.AppendItem(kDisabled, Text(25));
  // Every item of every level is measured by the top menu: give it the
  // widest, so a long macro name is not cut in its submenu.
  for (const skin::CExMenu* sub : {&macros, &media, &system})
    if (sub->item_width > menu.item_width) menu.item_width = sub->item_width;

  RECT r{};
  GetWindowRect(m_keys[static_cast<size_t>(k)].hwnd(), &r);
  menu.TrackAt(hwnd(), {r.left, r.bottom});
}

void CDlgMacroCtrlPanel::RunKeyCommand(UINT id) {
  const int k = key_index_, p = key_profile_;
  if (k < 0 || k >= kKeyCount || p < 0 || p >= kProfileCount) return;
  if (id == kCommandMacroManager) {
    // The manager saves or reloads the library itself; no key changes.
    RunMacroManager(hwnd(), macros_, record());
    return;
  }
  bool changed = false;
  if (id == kCombination) {
    CDlgShortCut dlg;
    dlg.combination = CombinationOf(record().profiles[p].MacroKeyInfo[k]);
    if (dlg.RunModal(hwnd()) != CDlgShortCut::kResultOk) return;
    changed = ApplyKeyCommand(record(), p, k, static_cast<int>(id), library_, &dlg.combination);
  } else {
    changed = ApplyKeyCommand(record(), p, k, static_cast<int>(id), library_, nullptr);
  }
  if (changed) PutSettingToControl();
}

bool CDlgMacroCtrlPanel::OnCommand(HWND control, UINT id, UINT code) {
  if (control) {
    for (int k = 0; k < kKeyCount; ++k) {
      if (control == m_keys[static_cast<size_t>(k)].hwnd()) {
        OpenKeyMenu(k);
        return true;
      }
    }
  } else if (id >= kFirstCommand && id <= kLastCommand) {
    RunKeyCommand(id);
    return true;
  }
  return Panel::OnCommand(control, id, code);
}

bool CDlgMacroCtrlPanel::SwallowsKey(WPARAM vk) const { return vk == VK_DELETE; }

void CDlgMacroCtrlPanel::PaintTexts(HDC dc) {
  win::Font title = win::MakeFont(L"Arial", 22, 800, 0, DEFAULT_QUALITY);
  win::SelectGuard keep(dc, title.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(178, 81, 10));
  const std::wstring& text = Text(26);
  TextOutW(dc, 39, 15, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace vantrel::panels
