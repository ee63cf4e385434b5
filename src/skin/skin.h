// Loading a window's skin: its skin file names five whole-window pictures
// (section "SCREEN") and one button per "BUTTONPOS" key.
//
//   static const wchar_t* const kKeys[] = {L"1", L"2", L"3"};
//   CBitmapBtn* buttons[] = {&ok_, &cancel_, &close_};
//   SkinRequest req{L"Skins\\skin_reset_warn.ini", kKeys};
//   std::vector<SkinButtonPos> pos = LoadSkin(hwnd(), req, images_, buttons);
//
// Usually through SkinnedDialog::ApplySkin (skinned_dialog.h), which also
// cuts the outline. A missing file, key or picture leaves empty pictures
// and zero rectangles; nothing fails.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "model/skin_button_pos.h"
#include "win/gdi.h"

namespace vantrel::skin {

class CBitmapBtn;

// What a skinned window keeps. The four state pictures live only while the
// buttons are cut; Background is painted on every WM_PAINT; Mask is kept
// until the window goes. The region belongs to the window once applied.
struct SkinImages {
  win::Bitmap normal, over, down, disabled;
  win::Bitmap background, mask;
  HRGN region = nullptr;  // not owned: the window's after SetWindowRgn
  SIZE size{};
};

struct SkinRequest {
  const wchar_t* file;                          // relative to ApplicationDirectory()
  std::span<const wchar_t* const> button_keys;  // "BUTTONPOS" keys, in button order
  const wchar_t* picture_folder = L"Skins\\";   // the main window's is "skins\\"
  const wchar_t* disabled_key = L"Disabled";    // the main window's is "Disable"
};

// One value of a skin file (empty when missing; at most 4095 characters).
std::wstring ReadSkinString(const std::wstring& ini_path, const wchar_t* section,
                            const wchar_t* key);

// Loads the pictures into `images`, moves `window` to (0, 0) at the
// pictures' size, creates buttons[k] from button_keys[k] (keys beyond
// `buttons` are parsed but get no button), skins them, and drops the four
// state pictures. Returns the parsed positions, one per key.
std::vector<SkinButtonPos> LoadSkin(HWND window, const SkinRequest& request, SkinImages& images,
                                    std::span<CBitmapBtn* const> buttons);

// Lets the user drag a captionless window by its background: posts
// WM_NCLBUTTONDOWN/HTCAPTION to `target` (the window itself, or a panel's
// parent so the whole main window moves) at the cursor position.
void DragByBackground(HWND target);

}  // namespace vantrel::skin
