// Skin pictures: loading them, cutting button images out of whole-window
// pictures, and turning a mask picture into a window outline.
//
//   Bitmap mask; SIZE size{};
//   LoadSkinImage(dir + L"Skins\\mask.bmp", mask, size);
//   Region outline = RegionFromMask(mask.get());   // empty owner: no region
//   ApplyWindowRegion(hwnd, outline, true);        // win/gdi.h
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "model/mask_outline.h"
#include "model/picture_header.h"
#include "win/gdi.h"

namespace vantrel::skin {

// Decodes the picture file at `path` (BMP, GIF or JPEG) into `bitmap`,
// replacing what it held, and stores its size. Its size is read from the
// file's own headers before anything is decoded: a picture wider or taller
// than `limit` (and than 4096 pixels in any case) is refused. On any
// failure both stay as they were and false is returned. The bitmap is our
// own copy (a DIB section): it stays valid after the picture object is
// released.
bool LoadSkinImage(const std::wstring& path, win::Bitmap& bitmap, SIZE& size,
                   SIZE limit = {kMaxPictureSide, kMaxPictureSide});

// target := a bitmap compatible with `window_dc` holding `rect` of `source`.
// Nothing happens without a source; an empty rectangle leaves target empty.
void CropBitmap(HDC window_dc, win::Bitmap& target, HBITMAP source, const RECT& rect);

// The outline of a picture: every pixel whose colour is not `key` is
// inside (a window's mask: white; without a key, the top-left pixel's
// colour, as a slider thumb has it). One region made from all rectangles
// at once (model/mask_outline.h); a mask of more than 50,000 rectangles
// gives its bounding rectangle. Empty owner without a mask, past 4096
// pixels a side, or when GDI refuses.
win::Region RegionFromMask(HBITMAP mask, std::optional<std::uint32_t> key = kWhiteKey);

// Cuts the looks of a window's buttons out of its whole-window pictures
// (normal, hover, pressed, disabled, in that order; any may be missing).
// The pictures stay selected in memory DCs for the whole batch, and each
// button gets one bitmap that holds its looks side by side: a keyboard
// page of 114 keys costs 114 bitmaps instead of 456 bitmaps and 912 DCs.
class LookCutter {
 public:
  static constexpr int kLooks = 4;
  LookCutter(HDC reference, const HBITMAP (&pictures)[kLooks]);
  ~LookCutter();
  LookCutter(const LookCutter&) = delete;
  LookCutter& operator=(const LookCutter&) = delete;

  // Makes `strip` a (kLooks * width) x height 32-bit DIB section holding
  // the looks at `rect`. Returns one bit per look that
  // had a picture (bit i: look i); 0 and no bitmap for an empty rectangle.
  unsigned Cut(const RECT& rect, win::Bitmap& strip);

 private:
  HDC reference_;
  win::MemoryDC target_;
  win::MemoryDC source_[kLooks];
  HGDIOBJ previous_[kLooks]{};
  unsigned present_ = 0;
};

}  // namespace vantrel::skin
