// Owners for GDI handles: one move-only type per handle kind, guards for
// BeginPaint/EndPaint and GetDC/GetWindowDC/ReleaseDC that remember their
// window, a selection guard that puts the previous object back, a memory
// canvas that composes off screen and copies once, and the font maker.
//
// Declare locals so destructors deselect before they delete:
//   PaintDC paint(hwnd);                 // BeginPaint ... EndPaint
//   MemoryDC mem(paint.get());
//   Bitmap canvas(CreateCompatibleBitmap(paint.get(), w, h));
//   SelectGuard keep(mem.get(), canvas.get());   // restored before canvas dies
//   ... draw into mem ...
//   BitBlt(paint.get(), 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
//
// A region given to SetWindowRgn belongs to the system once the call
// succeeds: use ApplyWindowRegion, which releases the owner only then.
#pragma once

#include <windows.h>

#include <utility>

namespace vantrel::win {

// Any handle freed with DeleteObject (bitmap, font, brush, pen, region).
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle h) : h_(h) {}
  GdiObject(GdiObject&& other) noexcept : h_(other.release()) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  Handle release() { return std::exchange(h_, nullptr); }
  void reset(Handle h = nullptr) {
    if (h_ && h_ != h) DeleteObject(h_);
    h_ = h;
  }

 private:
  Handle h_ = nullptr;
};

using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Region = GdiObject<HRGN>;

// CreateCompatibleDC / DeleteDC.
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
  MemoryDC(MemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  MemoryDC& operator=(MemoryDC&&) = delete;
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// A font of `face` at `height` pixels and `weight` (400 normal, 700 bold),
// the way every window of the program makes its fonts.
inline Font MakeFont(const wchar_t* face, int height, int weight, int width = 0,
                     BYTE quality = CLEARTYPE_QUALITY) {
  return Font(CreateFontW(height, width, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                          FF_SWISS | DEFAULT_PITCH, face));
}

// GetDC / ReleaseDC of one window (nullptr: the screen); with `whole`,
// GetWindowDC: the whole window, frame included.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd, bool whole = false)
      : hwnd_(hwnd), dc_(whole ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
  WindowDC(WindowDC&& other) noexcept
      : hwnd_(other.hwnd_), dc_(std::exchange(other.dc_, nullptr)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  WindowDC& operator=(WindowDC&&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint for WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { EndPaint(hwnd_, &ps_); }
  HDC get() const { return dc_; }
  const PAINTSTRUCT& paint_struct() const { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// SelectObject now, the previous object back on destruction.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object)
      : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  ~SelectGuard() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  bool ok() const { return old_ && old_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Composition off screen: a bitmap of `size` compatible with `target`
// selected into a memory DC; Present copies it to `target` in one blit.
//   MemoryCanvas canvas(paint.get(), {w, h});
//   ... draw into canvas.dc() ...
//   canvas.Present(0, 0);
class MemoryCanvas {
 public:
  MemoryCanvas(HDC target, SIZE size)
      : target_(target),
        size_(size),
        bitmap_(CreateCompatibleBitmap(target, size.cx, size.cy)),
        dc_(target),
        keep_(dc_.get(), bitmap_.get()) {}
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;
  HDC dc() const { return dc_.get(); }
  explicit operator bool() const { return bitmap_ && dc_ && keep_.ok(); }
  void Present(int x, int y) const {
    BitBlt(target_, x, y, size_.cx, size_.cy, dc_.get(), 0, 0, SRCCOPY);
  }

 private:
  HDC target_;
  SIZE size_;
  Bitmap bitmap_;
  MemoryDC dc_;
  SelectGuard keep_;  // declared last: deselects before the bitmap goes
};

// SetWindowRgn that hands ownership to the system only on success (a failed
// call leaves the region ours to delete). Returns whether it succeeded.
inline bool ApplyWindowRegion(HWND hwnd, Region& region, bool redraw) {
  if (!SetWindowRgn(hwnd, region.get(), redraw)) return false;
  region.release();
  return true;
}

}  // namespace vantrel::win
