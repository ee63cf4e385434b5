#include "skin/skin.h"

#include <filesystem>

#include "model/ini_file.h"
#include "skin/bitmap_btn.h"
#include "skin/skin_image.h"
#include "win/win_util.h"

namespace vantrel::skin {

std::wstring ReadSkinString(const std::wstring& ini_path, const wchar_t* section,
                            const wchar_t* key) {
  // The private-profile reader cuts a value to its 4,096-character buffer.
  std::wstring value(4096, L'\0');
  const DWORD n = GetPrivateProfileStringW(section, key, L"", value.data(),
                                           static_cast<DWORD>(value.size()), ini_path.c_str());
  value.resize(n < value.size() ? n : 0);
  return value;
}

std::vector<SkinButtonPos> LoadSkin(HWND window, const SkinRequest& request, SkinImages& images,
                                    std::span<CBitmapBtn* const> buttons) {
  const std::wstring& dir = win::ApplicationDirectory();
  const std::wstring pictures = dir + request.picture_folder;
  // The skin file is parsed once for all its values. Each private-profile
  // call opens and checks the file again: a keyboard page of 114 keys spent
  // 20 ms on that under Wine. The INI layer reads values exactly as those
  // calls do (trimming, first match, quotes, 4,095 characters at most).
  IniFile ini(std::filesystem::path(dir + request.file));
  ini.Load();
  auto value = [&ini](const char16_t* section, const wchar_t* key) {
    return ini.ReadString(section, win::ToU16(key), u"");
  };
  // The mask comes first and sets the window's size; no other picture of
  // the window may be larger.
  SIZE limit{kMaxPictureSide, kMaxPictureSide};
  auto load = [&](const wchar_t* key, win::Bitmap& into) {
    if (LoadSkinImage(pictures + win::ToWide(value(u"SCREEN", key)), into, images.size, limit) &&
        key == std::wstring_view(L"Mask")) {
      limit = images.size;
    }
  };
  load(L"Mask", images.mask);
  load(L"Normal", images.normal);
  load(L"Down", images.down);
  load(L"Over", images.over);
  load(request.disabled_key, images.disabled);
  // The normal picture is also the background the window paints: the one
  // decoded above is kept for it once the buttons are cut (a second decode
  // of the same file gave the same pixels at the cost of a whole picture).
  // A missing one leaves the background as it was, as a failed load does.

  SetWindowPos(window, nullptr, 0, 0, images.size.cx, images.size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);

  std::vector<SkinButtonPos> positions;
  positions.reserve(request.button_keys.size());
  {
    win::WindowDC dc(window);
    const HBITMAP pictures[LookCutter::kLooks] = {images.normal.get(), images.over.get(),
                                                  images.down.get(), images.disabled.get()};
    LookCutter cutter(dc.get(), pictures);
    for (size_t k = 0; k < request.button_keys.size(); ++k) {
      positions.push_back(ParseButtonPos(value(u"BUTTONPOS", request.button_keys[k])));
      if (k >= buttons.size() || !buttons[k]) continue;
      const SkinButtonPos& p = positions.back();
      const RECT rect{p.left, p.top, p.right, p.bottom};
      if (buttons[k]->Create(window, rect)) buttons[k]->SetSkin(cutter, rect);
    }
  }
  if (images.normal) images.background = std::move(images.normal);
  images.normal.reset();
  images.over.reset();
  images.down.reset();
  images.disabled.reset();
  return positions;
}

void DragByBackground(HWND target) {
  if (!target) return;
  const DWORD pos = GetMessagePos();  // screen coordinates, as the message wants
  PostMessageW(target, WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(pos));
}

}  // namespace vantrel::skin
