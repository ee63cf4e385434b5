#include "panels/macro_man.h"

#include "model/macro_store.h"
#include "shell/app_state.h"
#include "win/dialog_templates.h"

namespace vantrel::panels {

class CDlgMacroMan::EventMenu {};

KeyAssignment& EditedKeyAssignment() {
  static KeyAssignment key{};
  return key;
}

CDlgMacroMan::CDlgMacroMan(MacroLibrary& library)
    : SkinnedDialog(win::kMacroManagerTemplate, Drag::Self), library_(library), recorder_({}) {}
CDlgMacroMan::~CDlgMacroMan() = default;

void CDlgMacroMan::SelectMacro(int) {}
void CDlgMacroMan::RunEventCommand(UINT, int) {}
bool CDlgMacroMan::OnCreate(const CREATESTRUCTW&) { return true; }
bool CDlgMacroMan::OnInitDialog() { return true; }
bool CDlgMacroMan::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
bool CDlgMacroMan::OnCommand(HWND control, UINT id, UINT code) {
  return SkinnedDialog::OnCommand(control, id, code);
}
void CDlgMacroMan::OnDestroy() { SkinnedDialog::OnDestroy(); }
void CDlgMacroMan::PaintTexts(HDC) {}
bool CDlgMacroMan::SwallowsKey(WPARAM vk) const { return vk == VK_DELETE; }

bool RunMacroManager(HWND owner) {
  MacroLibrary& library = shell::Macros();
  CDlgMacroMan dlg(library);
  if (dlg.RunModal(owner) == IDOK) {
    SaveMacroLibrary(library, shell::MacroFile());
    return true;
  }
  ClearMacroLibrary(library);
  LoadMacroLibrary(library, shell::MacroFile());
  return false;
}

}  // namespace vantrel::panels
