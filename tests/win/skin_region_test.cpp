// Window outlines from mask pictures, and the picture loader feeding them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>
#include <windows.h>

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
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
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
      write(L"offset.bmp", with_int(10, 0x7FFFFFF0)),                            // pixels past the end
      write(L"header.bmp", std::vector<char>(bytes.begin(), bytes.begin() + 30)),
  };
  for (const std::wstring& path : lies) {
    EXPECT_FALSE(skin::LoadSkinImage(path, bmp, size)) << path;
    EXPECT_EQ(bmp.get(), before);
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, 16);
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
