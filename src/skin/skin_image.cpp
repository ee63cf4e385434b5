#include "skin/skin_image.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/mask_outline.h"
#include "model/picture_header.h"
#include "win/win_util.h"

namespace vantrel::skin {
namespace {

// Skin pictures are whole-window pictures of a few hundred kilobytes; a
// file beyond this is not a picture we can use and is not read into memory.
constexpr LONGLONG kMaxPictureBytes = static_cast<LONGLONG>(kMaxPictureFileBytes);

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

enum class BitmapFile { NotBitmap, Loaded, Refused };

// A file that starts with "BM" is a bitmap file, and the platform's bitmap
// loader takes it directly: the same pixels as the OLE picture loader gives,
// at a fraction of the cost (no COM, no stream, no second copy). Its
// headers are checked first (model/picture_header.h): a truncated or lying
// header, or a picture larger than `limit`, is refused rather than handed to
// a loader that may read past it or allocate what the header claims.
BitmapFile LoadBitmapFile(const std::wstring& path, win::Bitmap& bitmap, SIZE& size, SIZE limit) {
  FileHandle file{CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.h == INVALID_HANDLE_VALUE) return BitmapFile::NotBitmap;
  LARGE_INTEGER file_size{};
  std::uint8_t h[kBitmapProbeBytes]{};
  DWORD read = 0;
  if (!GetFileSizeEx(file.h, &file_size) || !ReadFile(file.h, h, sizeof h, &read, nullptr) ||
      read < 2 || h[0] != 'B' || h[1] != 'M') {
    return BitmapFile::NotBitmap;
  }
  const PictureInfo info = ProbePicture({h, read}, static_cast<std::uint64_t>(file_size.QuadPart));
  if (info.kind != PictureKind::BitmapRows && info.kind != PictureKind::BitmapLoader)
    return BitmapFile::Refused;
  if (info.width > limit.cx || info.height > limit.cy) return BitmapFile::Refused;
  if (info.kind == PictureKind::BitmapRows) {
    // The usual skin picture: the file's rows are already the pixels of a
    // DIB section of its format, so they are read straight into one (this
    // also reads top-down files, which Wine's bitmap loader shows black).
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER),
                                    info.width,
                                    info.top_down ? -info.height : info.height,
                                    1,
                                    info.bits,
                                    BI_RGB};
    void* pixels = nullptr;
    win::Bitmap section(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0));
    LARGE_INTEGER at{};
    at.QuadPart = info.pixel_offset;
    DWORD got = 0;
    if (!section || !pixels || !SetFilePointerEx(file.h, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file.h, pixels, info.pixel_bytes, &got, nullptr) || got != info.pixel_bytes) {
      return BitmapFile::Refused;
    }
    bitmap = std::move(section);
    size = SIZE{info.width, info.height};
    return BitmapFile::Loaded;
  }
  auto loaded = static_cast<HBITMAP>(
      LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  BITMAP bm{};
  if (!loaded || !GetObjectW(loaded, sizeof bm, &bm)) {
    if (loaded) DeleteObject(loaded);
    return BitmapFile::Refused;
  }
  bitmap.reset(loaded);
  size = SIZE{bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
  return BitmapFile::Loaded;
}

}  // namespace

bool LoadSkinImage(const std::wstring& path, win::Bitmap& bitmap, SIZE& size, SIZE limit) {
  limit.cx = std::min<LONG>(limit.cx, kMaxPictureSide);
  limit.cy = std::min<LONG>(limit.cy, kMaxPictureSide);
  switch (LoadBitmapFile(path, bitmap, size, limit)) {
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
  // The decoder would allocate whatever size the file declares: it is read
  // from the file's own headers first, every frame's.
  bool fits = false;
  if (const void* data = GlobalLock(block)) {
    const PictureInfo info = ProbePicture({static_cast<const std::uint8_t*>(data), bytes}, bytes);
    fits = (info.kind == PictureKind::Gif || info.kind == PictureKind::Jpeg) &&
           info.width <= limit.cx && info.height <= limit.cy;
    GlobalUnlock(block);
  }
  if (!fits) {
    GlobalFree(block);
    win::DebugTrace(L"skin: picture refused: " + path + L"\n");
    return false;
  }
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

win::Region RegionFromMask(HBITMAP mask, std::optional<std::uint32_t> key) {
  BITMAP info{};
  if (!mask || !GetObjectW(mask, sizeof info, &info)) return {};
  const LONG width = info.bmWidth, height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (width <= 0 || height <= 0 || width > kMaxMaskSide || height > kMaxMaskSide) return {};
  // A top-down 32-bit copy of the pixels, whatever the picture's format.
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  {
    win::WindowDC screen(nullptr);
    if (GetDIBits(screen.get(), mask, 0, static_cast<UINT>(height), pixels.data(), &bi,
                  DIB_RGB_COLORS) != height) {
      return {};
    }
  }
  const MaskPixels view{pixels.data(), width, height, static_cast<size_t>(width) * 4, true};
  const MaskOutline outline = OutlineFromMask(view, key ? *key : TopLeftKey(view));
  if (outline.status == OutlineStatus::Refused) return {};
  if (outline.status == OutlineStatus::Bounded)
    win::DebugTrace(L"skin: outline too complex, the window keeps its bounding rectangle\n");
  // The region maker takes rectangles one at a time, each in time of the
  // region made so far (Wine's does: all 10,000 rectangles of a detailed
  // mask in one call cost 0.3 s). Small batches, then merged in pairs like
  // a merge sort: each merge is linear, and there are log2(batches) rounds.
  constexpr size_t kBatch = 64;
  static_assert(sizeof(OutlineRect) == sizeof(RECT));
  const std::vector<OutlineRect>& rects = outline.rects;
  std::vector<win::Region> pieces;
  pieces.reserve(rects.size() / kBatch + 1);
  std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + kBatch * sizeof(RECT));
  for (size_t at = 0; at < rects.size() || pieces.empty(); at += kBatch) {
    const size_t n = std::min(kBatch, rects.size() - std::min(at, rects.size()));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    *header = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(n),
                            static_cast<DWORD>(n * sizeof(RECT)), RECT{0, 0, width, height}};
    if (n) std::memcpy(data.data() + sizeof(RGNDATAHEADER), rects.data() + at, n * sizeof(RECT));
    win::Region piece(ExtCreateRegion(nullptr,
                                      static_cast<DWORD>(sizeof(RGNDATAHEADER) + n * sizeof(RECT)),
                                      reinterpret_cast<const RGNDATA*>(data.data())));
    if (!piece) return {};
    pieces.push_back(std::move(piece));
  }
  while (pieces.size() > 1) {
    size_t kept = 0;
    for (size_t i = 0; i < pieces.size(); i += 2, ++kept) {
      if (i + 1 < pieces.size() &&
          CombineRgn(pieces[i].get(), pieces[i].get(), pieces[i + 1].get(), RGN_OR) == ERROR) {
        return {};
      }
      if (kept != i) pieces[kept] = std::move(pieces[i]);
    }
    pieces.resize(kept);
  }
  return std::move(pieces.front());
}

}  // namespace vantrel::skin
