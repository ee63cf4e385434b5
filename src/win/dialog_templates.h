// The dialog templates of the program's windows: number, styles and the few
// controls a template holds. Everything else comes from each window's skin.
//
//   class CDlgWaitting : public Dialog { CDlgWaitting() : Dialog(kWaitingTemplate) {} };
#pragma once

#include <windows.h>

#include "win/dialog.h"

namespace vantrel::win {

// Top-level skinned dialogs: borderless pop-ups, shown by RunModal.
inline constexpr DWORD kPopupStyle = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU;
// Panels: visible child dialogs inside the main window.
inline constexpr DWORD kPanelStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | DS_CONTROL;

// The main window gets its own task-bar button and can be minimised.
inline constexpr DialogTemplate kMainTemplate{102, kPopupStyle | WS_MINIMIZEBOX, WS_EX_APPWINDOW};
inline constexpr DialogTemplate kWarningTemplate{130, kPopupStyle, 0};
inline constexpr DialogTemplate kMainCtrlPanelTemplate{131, kPanelStyle, 0};
inline constexpr DialogTemplate kMacroCtrlPanelTemplate{132, kPanelStyle, 0};
inline constexpr DialogTemplate kAdvCtrlPanelTemplate{133, kPanelStyle, 0};
inline constexpr DialogTemplate kLightCtrlPanelTemplate{134, kPanelStyle, 0};
inline constexpr DialogTemplate kProfileFormTemplate{144, kPopupStyle, 0};
inline constexpr DialogTemplate kShortcutTemplate{145, kPopupStyle, 0};
inline constexpr DialogTemplate kWaitingTemplate{146, kPopupStyle, 0};

// The key assignment dialog: one read-only, centred edit (ID 1000) that the
// dialog moves into place at initialisation.
inline constexpr DialogItem kKeyAssignmentItems[] = {
    {1000, L"EDIT", WS_VISIBLE | ES_READONLY | ES_CENTER | ES_AUTOHSCROLL, 0, 0, 0, 10, 8}};
inline constexpr DialogTemplate kKeyAssignmentTemplate{135, kPopupStyle, 0, kKeyAssignmentItems};

// The macro manager: the repeat count edit (ID 1001).
inline constexpr DialogItem kMacroManagerItems[] = {
    {1001, L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 10, 8}};
inline constexpr DialogTemplate kMacroManagerTemplate{136, kPopupStyle, 0, kMacroManagerItems};

}  // namespace vantrel::win
