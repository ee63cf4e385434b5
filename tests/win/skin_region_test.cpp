// Window outlines from mask pictures, and the picture loader feeding them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "skin/skin_image.h"
#include "skin_fixture.h"

using namespace vantrel;
using vantrel::testing::PixelFn;

namespace {

// A 32-bit top-down section filled from a pixel function.
win::Bitmap MakeMask(int w, int h, const PixelFn& pixel) {
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  win::Bitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* px = static_cast<DWORD*>(bits);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      COLORREF c = pixel(x, y);
      px[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  }
  return bmp;
}

// The obvious build, one CombineRgn per inside pixel run.
win::Region NaiveRegion(int w, int h, const PixelFn& pixel) {
  win::Region result(CreateRectRgn(0, 0, 0, 0));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w;) {
      int x0 = x;
      while (x < w && (pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++x;
      if (x > x0) {
        win::Region run(CreateRectRgn(x0, y, x, y + 1));
        CombineRgn(result.get(), result.get(), run.get(), RGN_OR);
      }
      ++x;
    }
  }
  return result;
}

constexpr COLORREF kWhite = RGB(255, 255, 255);

TEST(RegionFromMask, ManyBatchesGiveTheSameOutlineAsOneBuild) {
  // 1-pixel runs between single white pixels: 100 runs a row, 6,000 in all,
  // so the builder hands over three full batches.
  const int w = 200, h = 60;
  PixelFn pixel = [](int x, int y) { return (x + y) % 2 ? kWhite : RGB(0, 0, 0); };
  win::Bitmap mask = MakeMask(w, h, pixel);
  win::Region fast = skin::RegionFromMask(mask.get());
  win::Region naive = NaiveRegion(w, h, pixel);
  ASSERT_TRUE(fast);
  EXPECT_TRUE(EqualRgn(fast.get(), naive.get()));
  EXPECT_EQ(GetRegionData(fast.get(), 0, nullptr), sizeof(RGNDATAHEADER) + 6000 * sizeof(RECT));
}

TEST(RegionFromMask, Shapes) {
  struct Case {
    const char* what;
    int w, h;
    PixelFn pixel;
    int kind;  // NULLREGION, SIMPLEREGION, COMPLEXREGION
    RECT box;
  };
  const Case cases[] = {
      {"no white: the whole picture",
       30,
       20,
       [](int, int) { return RGB(254, 255, 255); },
       SIMPLEREGION,
       {0, 0, 30, 20}},
      {"all white: nothing", 30, 20, [](int, int) { return kWhite; }, NULLREGION, {0, 0, 0, 0}},
      {"only the top row is inside",
       30,
       20,
       [](int, int y) { return y == 0 ? RGB(1, 2, 3) : kWhite; },
       SIMPLEREGION,
       {0, 0, 30, 1}},
      {"a run reaching the right edge ends at the width",
       30,
       20,
       [](int x, int y) { return x >= 25 && y == 19 ? RGB(0, 0, 0) : kWhite; },
       SIMPLEREGION,
       {25, 19, 30, 20}},
      {"rounded outline",
       120,
       80,
       vantrel::testing::RoundedMask(120, 80, 12),
       COMPLEXREGION,
       {0, 0, 120, 80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    win::Bitmap mask = MakeMask(c.w, c.h, c.pixel);
    win::Region rgn = skin::RegionFromMask(mask.get());
    ASSERT_TRUE(rgn);
    RECT box{};
    EXPECT_EQ(GetRgnBox(rgn.get(), &box), c.kind);
    if (c.kind != NULLREGION) EXPECT_TRUE(EqualRect(&box, &c.box));
    win::Region naive = NaiveRegion(c.w, c.h, c.pixel);
    EXPECT_TRUE(EqualRgn(rgn.get(), naive.get()));
  }
}

// Masks come as 24-bit sections from bitmap files, read in place, or as
// anything else, copied first: every format and row order (odd widths pad
// 24-bit rows) must give the same outline.
TEST(RegionFromMask, EveryBitmapFormatGivesTheSameOutline) {
  const int w = 37, h = 23;
  PixelFn pixel = [](int x, int y) {
    if ((x * 7 + y * 3) % 11 == 0) return kWhite;
    return x == y ? RGB(255, 255, 254) : RGB(x * 6, y * 11, 255);  // near-white is inside
  };
  win::Region naive = NaiveRegion(w, h, pixel);
  win::Bitmap top32 = MakeMask(w, h, pixel);
  win::WindowDC screen(nullptr);
  auto section = [&](int bits, bool top_down) {
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w,     top_down ? -h : h, 1,
                                    static_cast<WORD>(bits),  BI_RGB};
    void* memory = nullptr;
    win::Bitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &memory, nullptr, 0));
    win::MemoryDC from(screen.get()), to(screen.get());
    win::SelectGuard keep_from(from.get(), top32.get());
    win::SelectGuard keep_to(to.get(), bmp.get());
    BitBlt(to.get(), 0, 0, w, h, from.get(), 0, 0, SRCCOPY);
    return bmp;
  };
  win::Bitmap device(CreateCompatibleBitmap(screen.get(), w, h));
  {
    win::MemoryDC from(screen.get()), to(screen.get());
    win::SelectGuard keep_from(from.get(), top32.get());
    win::SelectGuard keep_to(to.get(), device.get());
    BitBlt(to.get(), 0, 0, w, h, from.get(), 0, 0, SRCCOPY);
  }
  struct Case {
    const char* what;
    HBITMAP mask;
  };
  win::Bitmap b24 = section(24, false), t24 = section(24, true), b32 = section(32, false);
  for (const Case& c : {Case{"32 top-down", top32.get()}, Case{"24 bottom-up", b24.get()},
                        Case{"24 top-down", t24.get()}, Case{"32 bottom-up", b32.get()},
                        Case{"device bitmap", device.get()}}) {
    SCOPED_TRACE(c.what);
    win::Region rgn = skin::RegionFromMask(c.mask);
    ASSERT_TRUE(rgn);
    EXPECT_TRUE(EqualRgn(rgn.get(), naive.get()));
  }
}

TEST(RegionFromMask, NoMaskNoRegion) { EXPECT_FALSE(skin::RegionFromMask(nullptr)); }

// Pictures come from BMP files (stored bottom-up); the outline must still
// put the file's top row at y = 0.
TEST(LoadSkinImage, BmpFileGivesBitmapSizeAndOutline) {
  const std::wstring dir = vantrel::testing::ScratchDir(L"region");
  const int w = 64, h = 40;
  PixelFn pixel = [](int x, int y) { return y < 3 && x < 10 ? RGB(0, 0, 0) : kWhite; };
  ASSERT_TRUE(vantrel::testing::WriteBmp24(dir + L"top.bmp", w, h, pixel));
  win::Bitmap bmp;
  SIZE size{-1, -1};
  ASSERT_TRUE(skin::LoadSkinImage(dir + L"top.bmp", bmp, size));
  EXPECT_EQ(size.cx, w);
  EXPECT_EQ(size.cy, h);
  win::Region rgn = skin::RegionFromMask(bmp.get());
  RECT box{};
  GetRgnBox(rgn.get(), &box);
  RECT want{0, 0, 10, 3};
  EXPECT_TRUE(EqualRect(&box, &want));

  // A missing or undecodable file leaves bitmap and size alone.
  HBITMAP before = bmp.get();
  EXPECT_FALSE(skin::LoadSkinImage(dir + L"missing.bmp", bmp, size));
  FILE* f = _wfopen((dir + L"junk.bmp").c_str(), L"wb");
  fputs("BM not a picture", f);
  fclose(f);
  EXPECT_FALSE(skin::LoadSkinImage(dir + L"junk.bmp", bmp, size));
  EXPECT_FALSE(skin::LoadSkinImage(dir, bmp, size));  // the folder itself
  EXPECT_EQ(bmp.get(), before);
  EXPECT_EQ(size.cx, w);
}

// A bitmap file whose header promises more than the file holds, or sizes
// nobody can allocate, is refused without touching the target.
TEST(LoadSkinImage, BitmapHeadersThatLieAreRefused) {
  const std::wstring dir = vantrel::testing::ScratchDir(L"lying");
  const std::wstring good = dir + L"good.bmp";
  ASSERT_TRUE(vantrel::testing::WriteBmp24(good, 32, 16, [](int, int) { return RGB(1, 2, 3); }));
  std::vector<char> bytes;
  {
    FILE* f = _wfopen(good.c_str(), L"rb");
    ASSERT_NE(f, nullptr);
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;)
      bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(f);
  }
  auto write = [&](const std::wstring& name, std::vector<char> data) {
    FILE* f = _wfopen((dir + name).c_str(), L"wb");
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
    return dir + name;
  };
  auto with_int = [&](size_t at, std::int32_t v) {
    std::vector<char> d = bytes;
    std::memcpy(d.data() + at, &v, 4);
    return d;
  };
  win::Bitmap bmp;
  SIZE size{-1, -1};
  ASSERT_TRUE(skin::LoadSkinImage(good, bmp, size));
  const HBITMAP before = bmp.get();
  const std::vector<std::wstring> lies = {
      write(L"short.bmp", std::vector<char>(bytes.begin(), bytes.end() - 100)),  // rows cut off
      write(L"wide.bmp", with_int(18, 0x7FFFFFFF)),                              // width
      write(L"tall.bmp", with_int(22, -0x7FFFFFFF)),                             // top-down height
      write(L"offset.bmp", with_int(10, 0x7FFFFFF0)),  // pixels past the end
      write(L"header.bmp", std::vector<char>(bytes.begin(), bytes.begin() + 30)),
      // A small JPEG that declares 20000 x 20000: refused before decoding.
      write(L"huge.jpg", {'\xFF', '\xD8', '\xFF', '\xC0', 0,    17, 8, 0x4E, 0x20, 0x4E,   0x20,  3,
                          1,      0x11,   0,      2,      0x11, 1,  3, 0x11, 1,    '\xFF', '\xD9'}),
  };
  const std::wstring wide = dir + L"4097.bmp";
  ASSERT_TRUE(vantrel::testing::WriteBmp24(wide, 4097, 1, [](int, int) { return RGB(1, 2, 3); }));
  for (const std::wstring& path : lies) {
    EXPECT_FALSE(skin::LoadSkinImage(path, bmp, size)) << path;
    EXPECT_EQ(bmp.get(), before);
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, 16);
  }
  // Whole and honest, but larger than any skin picture, or than the
  // window it is for.
  EXPECT_FALSE(skin::LoadSkinImage(wide, bmp, size));
  EXPECT_FALSE(skin::LoadSkinImage(good, bmp, size, {31, 16}));
  EXPECT_EQ(bmp.get(), before);
}

// A mask of more rectangles than a region is worth (a checkerboard) gives
// the window its bounding rectangle, at once.
TEST(RegionFromMask, ACheckerboardGivesTheBoundingRectangle) {
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 512, -512, 1, 32, BI_RGB};
  void* bits = nullptr;
  win::Bitmap mask(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(mask);
  auto* px = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) px[y * 512 + x] = (x + y) % 2 ? 0xFFFFFF : 0;
  const DWORD start = GetTickCount();
  win::Region rgn = skin::RegionFromMask(mask.get());
  EXPECT_LT(GetTickCount() - start, 2000u);
  ASSERT_TRUE(rgn);
  RECT box{};
  EXPECT_EQ(GetRgnBox(rgn.get(), &box), SIMPLEREGION);
  EXPECT_EQ(box.right - box.left, 512);
  EXPECT_EQ(box.bottom - box.top, 512);
}

namespace {

// A bitmap file of `bits` per pixel (8: a grey palette), top-down when
// `top_down`, with `gap` bytes between the headers and the pixels.
std::vector<char> BmpFile(int w, int h, int bits, bool top_down, int gap) {
  const int stride = (w * bits + 31) / 32 * 4;
  const int palette = bits == 8 ? 256 * 4 : 0;
  BITMAPFILEHEADER fh{0x4D42};
  BITMAPINFOHEADER ih{sizeof ih, w, top_down ? -h : h, 1, static_cast<WORD>(bits), BI_RGB};
  fh.bfOffBits = static_cast<DWORD>(sizeof fh + sizeof ih + palette + gap);
  fh.bfSize = fh.bfOffBits + stride * h;
  std::vector<char> out(fh.bfSize, 0x55);  // the gap holds junk
  std::memcpy(out.data(), &fh, sizeof fh);
  std::memcpy(out.data() + sizeof fh, &ih, sizeof ih);
  for (int i = 0; i < palette / 4; ++i) {
    const char grey[4] = {static_cast<char>(i), static_cast<char>(i), static_cast<char>(i), 0};
    std::memcpy(out.data() + sizeof fh + sizeof ih + 4 * i, grey, 4);
  }
  for (int y = 0; y < h; ++y) {  // y: the picture's row, 0 at the top
    const int stored = top_down ? y : h - 1 - y;
    char* row = out.data() + fh.bfOffBits + static_cast<size_t>(stored) * stride;
    for (int b = 0; b < stride; ++b)
      row[b] = static_cast<char>(b < w * bits / 8 ? (y * 31 + b * 7) : 0);
  }
  return out;
}

// The 32-bit pixels of a bitmap, top row first.
std::vector<std::uint32_t> Pixels(HBITMAP bitmap, int w, int h) {
  std::vector<std::uint32_t> out(static_cast<size_t>(w) * h);
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  win::WindowDC screen(nullptr);
  GetDIBits(screen.get(), bitmap, 0, h, out.data(), &bi, DIB_RGB_COLORS);
  for (std::uint32_t& p : out) p &= 0xFFFFFF;
  return out;
}

}  // namespace

// Plain 24- and 32-bit files are read straight into a DIB section; every
// layout (row padding, top-down rows, a gap before the pixels, and the
// palette files left to the system loader) must give the pixels the system
// loader gives for the plain bottom-up file of the same picture (Wine's
// loader itself shows top-down files black), at the right size.
TEST(LoadSkinImage, BitmapFilesGiveTheSystemLoadersPixels) {
  const std::wstring dir = vantrel::testing::ScratchDir(L"layouts");
  struct Case {
    const wchar_t* name;
    int w, h, bits;
    bool top_down;
    int gap;
  } cases[] = {{L"odd24.bmp", 13, 7, 24, false, 0},  {L"top24.bmp", 13, 7, 24, true, 0},
               {L"gap24.bmp", 16, 5, 24, false, 12}, {L"plain32.bmp", 9, 6, 32, false, 0},
               {L"top32.bmp", 9, 6, 32, true, 4},    {L"grey8.bmp", 11, 4, 8, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto write = [](const std::wstring& path, const std::vector<char>& bytes) {
      FILE* f = _wfopen(path.c_str(), L"wb");
      if (!f) return false;
      const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
      return fclose(f) == 0 && ok;
    };
    const std::wstring path = dir + c.name, plain = dir + L"plain_" + c.name;
    ASSERT_TRUE(write(path, BmpFile(c.w, c.h, c.bits, c.top_down, c.gap)));
    ASSERT_TRUE(write(plain, BmpFile(c.w, c.h, c.bits, false, 0)));
    win::Bitmap ours;
    SIZE size{};
    ASSERT_TRUE(skin::LoadSkinImage(path, ours, size));
    EXPECT_EQ(size.cx, c.w);
    EXPECT_EQ(size.cy, c.h);
    win::Bitmap system(static_cast<HBITMAP>(LoadImageW(nullptr, plain.c_str(), IMAGE_BITMAP, 0, 0,
                                                       LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    ASSERT_TRUE(system);
    EXPECT_EQ(Pixels(ours.get(), c.w, c.h), Pixels(system.get(), c.w, c.h));
  }
}

TEST(CropBitmap, CutsTheRectangleAndIgnoresAMissingSource) {
  win::Bitmap source = MakeMask(
      50, 50, [](int x, int y) { return x >= 10 && y >= 20 ? RGB(200, 0, 0) : RGB(0, 0, 200); });
  win::WindowDC screen(nullptr);
  win::Bitmap cut;
  skin::CropBitmap(screen.get(), cut, source.get(), RECT{9, 19, 14, 24});
  ASSERT_TRUE(cut);
  BITMAP info{};
  GetObjectW(cut.get(), sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 5);
  EXPECT_EQ(info.bmHeight, 5);
  win::MemoryDC dc(screen.get());
  win::SelectGuard keep(dc.get(), cut.get());
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(0, 0, 200));
  EXPECT_EQ(GetPixel(dc.get(), 1, 1), RGB(200, 0, 0));

  HBITMAP held = cut.get();
  skin::CropBitmap(screen.get(), cut, nullptr, RECT{0, 0, 5, 5});
  EXPECT_EQ(cut.get(), held);
}

}  // namespace
