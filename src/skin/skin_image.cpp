#include "skin/skin_image.h"

#include <ole2.h>
#include <olectl.h>

#include <cstdint>
#include <vector>

#include "win/win_util.h"

namespace vantrel::skin {
namespace {

// Skin pictures are whole-window pictures of a few hundred kilobytes; a
// file beyond this is not a picture we can use and is not read into memory.
constexpr LONGLONG kMaxPictureBytes = 64ll << 20;
// Same bound for a mask's 32-bit copy (pixels).
constexpr std::int64_t kMaxMaskPixels = 16ll << 20;
constexpr size_t kRectsPerCall = 2000;

struct FileHandle {
  HANDLE h;
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// Reads the file whole into a movable global block (what a stream over
// HGLOBAL needs). nullptr on failure.
HGLOBAL ReadFileToGlobal(const std::wstring& path, DWORD& bytes) {
  FileHandle file{CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.h == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.h, &size) || size.QuadPart <= 0 || size.QuadPart > kMaxPictureBytes) {
    return nullptr;
  }
  bytes = static_cast<DWORD>(size.QuadPart);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return nullptr;
  void* data = GlobalLock(block);
  DWORD read = 0;
  const bool ok = data && ReadFile(file.h, data, bytes, &read, nullptr) && read == bytes;
  if (data) GlobalUnlock(block);
  if (!ok) {
    GlobalFree(block);
    return nullptr;
  }
  return block;
}

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
};

}  // namespace

namespace {

template <typename T>
T LittleEndian(const std::uint8_t* p) {
  T v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<T>(T{p[i]} << (8 * i));
  return v;
}

enum class BitmapFile { NotBitmap, Loaded, Refused };

// A file that starts with "BM" is a bitmap file, and the platform's bitmap
// loader takes it directly: the same pixels as the OLE picture loader gives,
// at a fraction of the cost (no COM, no stream, no second copy). Its
// headers must describe a picture of a sane size whose pixels lie inside
// the file; a truncated or lying header is refused here rather than handed
// to a loader that may read past it or make a picture of nothing.
BitmapFile LoadBitmapFile(const std::wstring& path, win::Bitmap& bitmap, SIZE& size) {
  FileHandle file{CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.h == INVALID_HANDLE_VALUE) return BitmapFile::NotBitmap;
  LARGE_INTEGER file_size{};
  std::uint8_t h[54]{};
  DWORD read = 0;
  if (!GetFileSizeEx(file.h, &file_size) || !ReadFile(file.h, h, sizeof h, &read, nullptr) ||
      read < 2 || h[0] != 'B' || h[1] != 'M') {
    return BitmapFile::NotBitmap;
  }
  const LONGLONG bytes = file_size.QuadPart;
  if (read != sizeof h || bytes > kMaxPictureBytes) return BitmapFile::Refused;
  const auto pixels_at = LittleEndian<std::uint32_t>(h + 10);
  const auto info_size = LittleEndian<std::uint32_t>(h + 14);
  const auto width = static_cast<std::int32_t>(LittleEndian<std::uint32_t>(h + 18));
  const auto height = static_cast<std::int32_t>(LittleEndian<std::uint32_t>(h + 22));
  const auto planes = LittleEndian<std::uint16_t>(h + 26);
  const auto bits = LittleEndian<std::uint16_t>(h + 28);
  const auto compression = LittleEndian<std::uint32_t>(h + 30);
  if (info_size < 40 || info_size > 124 || planes != 1) return BitmapFile::Refused;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return BitmapFile::Refused;
  if (width <= 0 || height == 0 || height == INT32_MIN) return BitmapFile::Refused;
  const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
  if (rows * width > kMaxMaskPixels || pixels_at < 14 + info_size || pixels_at >= bytes)
    return BitmapFile::Refused;
  const bool run_length =
      (compression == BI_RLE8 && bits == 8) || (compression == BI_RLE4 && bits == 4);
  if (!run_length) {
    if (compression != BI_RGB && compression != BI_BITFIELDS) return BitmapFile::Refused;
    const std::int64_t stride = (std::int64_t{width} * bits + 31) / 32 * 4;
    if (pixels_at + stride * rows > bytes) return BitmapFile::Refused;
  }
  if (!run_length && compression == BI_RGB && (bits == 24 || bits == 32)) {
    // The usual skin picture: the file's rows are already the pixels of a
    // DIB section of its format, so they are read straight into one (this
    // also reads top-down files, which Wine's bitmap loader shows black).
    const auto stride = static_cast<DWORD>((std::int64_t{width} * bits + 31) / 32 * 4);
    const DWORD pixel_bytes = stride * static_cast<DWORD>(rows);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, bits, BI_RGB};
    void* pixels = nullptr;
    win::Bitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    LARGE_INTEGER at{};
    at.QuadPart = pixels_at;
    DWORD got = 0;
    if (!section || !pixels || !SetFilePointerEx(file.h, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file.h, pixels, pixel_bytes, &got, nullptr) || got != pixel_bytes) {
      return BitmapFile::Refused;
    }
    bitmap = std::move(section);
    size = SIZE{width, static_cast<LONG>(rows)};
    return BitmapFile::Loaded;
  }
  auto loaded = static_cast<HBITMAP>(
      LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  BITMAP info{};
  if (!loaded || !GetObjectW(loaded, sizeof info, &info)) {
    if (loaded) DeleteObject(loaded);
    return BitmapFile::Refused;
  }
  bitmap.reset(loaded);
  size = SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
  return BitmapFile::Loaded;
}

}  // namespace

bool LoadSkinImage(const std::wstring& path, win::Bitmap& bitmap, SIZE& size) {
  switch (LoadBitmapFile(path, bitmap, size)) {
    case BitmapFile::Loaded:
      return true;
    case BitmapFile::Refused:
      return false;
    case BitmapFile::NotBitmap:
      break;  // JPEG, GIF, icon, metafile: the OLE picture loader
  }
  // The picture loader needs COM on this thread; a second initialisation is
  // harmless (S_FALSE), and a thread already in another mode keeps it.
  thread_local const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)com;
  DWORD bytes = 0;
  HGLOBAL block = ReadFileToGlobal(path, bytes);
  if (!block) return false;
  ComPtr<IStream> stream;
  // The stream frees the block when released.
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream.p))) {
    GlobalFree(block);
    return false;
  }
  ComPtr<IPicture> picture;
  if (FAILED(OleLoadPicture(stream.p, static_cast<LONG>(bytes), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(&picture.p)))) {
    win::DebugTrace(L"skin: picture not decoded: " + path + L"\n");
    return false;
  }
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  if (FAILED(picture.p->get_Type(&type)) || type != PICTYPE_BITMAP ||
      FAILED(picture.p->get_Handle(&handle)) || !handle) {
    return false;
  }
  // The picture object owns its bitmap and deletes it on release: keep a
  // copy of our own.
  auto copy =
      static_cast<HBITMAP>(CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)),
                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  if (!copy || !GetObjectW(copy, sizeof info, &info)) {
    if (copy) DeleteObject(copy);
    return false;
  }
  bitmap.reset(copy);
  size = SIZE{info.bmWidth, info.bmHeight};
  return true;
}

void CropBitmap(HDC window_dc, win::Bitmap& target, HBITMAP source, const RECT& rect) {
  if (!source) return;
  target.reset();
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  win::Bitmap cut(CreateCompatibleBitmap(window_dc, w, h));
  if (!cut) return;
  {
    win::MemoryDC from(window_dc), to(window_dc);
    win::SelectGuard keep_from(from.get(), source);
    win::SelectGuard keep_to(to.get(), cut.get());
    StretchBlt(to.get(), 0, 0, w, h, from.get(), rect.left, rect.top, w, h, SRCCOPY);
  }
  target = std::move(cut);
}

LookCutter::LookCutter(HDC reference, const HBITMAP (&pictures)[kLooks])
    : reference_(reference),
      target_(reference),
      source_{win::MemoryDC(reference), win::MemoryDC(reference), win::MemoryDC(reference),
              win::MemoryDC(reference)} {
  for (int i = 0; i < kLooks; ++i) {
    if (!pictures[i] || !source_[i]) continue;
    previous_[i] = SelectObject(source_[i].get(), pictures[i]);
    present_ |= 1u << i;
  }
}

LookCutter::~LookCutter() {
  for (int i = 0; i < kLooks; ++i)
    if (previous_[i]) SelectObject(source_[i].get(), previous_[i]);
}

unsigned LookCutter::Cut(const RECT& rect, win::Bitmap& strip) {
  strip.reset();
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0 || w > 0x7FFF / kLooks || h > 0x7FFF || !present_ || !target_) return 0;
  // A 32-bit DIB section rather than a bitmap compatible with the window:
  // Wine makes the latter through the display driver at about 0.2 ms each,
  // a fifth of a key's cost on the keyboard page; the section is made in a
  // few microseconds and draws the same.
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kLooks * w, h, 1, 32, BI_RGB};
  void* bits = nullptr;
  win::Bitmap cut(CreateDIBSection(reference_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!cut || !bits) return 0;
  {
    win::SelectGuard keep(target_.get(), cut.get());
    for (int i = 0; i < kLooks; ++i) {
      if (present_ & (1u << i)) {
        BitBlt(target_.get(), i * w, 0, w, h, source_[i].get(), rect.left, rect.top, SRCCOPY);
      }
    }
  }
  strip = std::move(cut);
  return present_;
}

namespace {

// Collects rectangles and turns each batch of at most kRectsPerCall into a
// region ORed into the result.
class RegionBuilder {
 public:
  RegionBuilder() : buffer_(2 + kRectsPerCall) { ResetBatch(); }

  bool Add(LONG left, LONG top, LONG right, LONG bottom) {
    RECT& r = buffer_[2 + count_];
    r = RECT{left, top, right, bottom};
    RECT& bounds = header().rcBound;
    if (left < bounds.left) bounds.left = left;
    if (top < bounds.top) bounds.top = top;
    if (right > bounds.right) bounds.right = right;
    if (bottom > bounds.bottom) bounds.bottom = bottom;
    return ++count_ < kRectsPerCall || Flush();
  }

  bool Flush() {
    header().nCount = static_cast<DWORD>(count_);
    header().nRgnSize = static_cast<DWORD>(count_ * sizeof(RECT));
    const DWORD size = static_cast<DWORD>(sizeof(RGNDATAHEADER) + count_ * sizeof(RECT));
    win::Region piece(ExtCreateRegion(nullptr, size, reinterpret_cast<RGNDATA*>(buffer_.data())));
    ResetBatch();
    if (!piece) return false;
    if (!result_) {
      result_ = std::move(piece);
      return true;
    }
    return CombineRgn(result_.get(), result_.get(), piece.get(), RGN_OR) != ERROR;
  }

  // The last batch; an empty region when nothing was added at all.
  bool Finish() { return (count_ == 0 && result_) || Flush(); }

  win::Region Take() { return std::move(result_); }

 private:
  RGNDATAHEADER& header() { return *reinterpret_cast<RGNDATAHEADER*>(buffer_.data()); }
  void ResetBatch() {
    count_ = 0;
    header() =
        RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 0, 0, RECT{LONG_MAX, LONG_MAX, 0, 0}};
  }

  static_assert(sizeof(RGNDATAHEADER) == 2 * sizeof(RECT));
  std::vector<RECT> buffer_;  // header in the first two slots, then the batch
  size_t count_ = 0;
  win::Region result_;
};

}  // namespace

win::Region RegionFromMask(HBITMAP mask) {
  BITMAP info{};
  if (!mask || !GetObjectW(mask, sizeof info, &info)) return {};
  const LONG width = info.bmWidth, height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxMaskPixels) return {};

  win::WindowDC screen(nullptr);
  win::MemoryDC copy_dc(screen.get()), mask_dc(screen.get());
  if (!copy_dc || !mask_dc) return {};
  // A bottom-up 32-bit section: row y of the picture lies height - 1 - y
  // rows from the start of the pixel memory.
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB};
  void* bits = nullptr;
  win::Bitmap section(CreateDIBSection(copy_dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section || !bits) return {};

  RegionBuilder builder;
  {
    win::SelectGuard keep_copy(copy_dc.get(), section.get());
    win::SelectGuard keep_mask(mask_dc.get(), mask);
    if (!BitBlt(copy_dc.get(), 0, 0, width, height, mask_dc.get(), 0, 0, SRCCOPY)) return {};
    GdiFlush();  // the section's memory is read directly below
    const size_t stride = static_cast<size_t>(width) * 4;  // already a multiple of 4
    const auto* base = static_cast<const std::uint8_t*>(bits);
    for (LONG y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(
          base + static_cast<size_t>(height - 1 - y) * stride);
      for (LONG x = 0; x < width;) {
        const LONG x0 = x;
        while (x < width && (row[x] & 0xFFFFFF) != 0xFFFFFF) ++x;
        if (x > x0 && !builder.Add(x0, y, x, y + 1)) return {};
        ++x;  // past the white pixel
      }
    }
  }
  if (!builder.Finish()) return {};
  return builder.Take();
}

}  // namespace vantrel::skin
