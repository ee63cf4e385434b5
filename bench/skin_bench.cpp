// Skin loading of the main window (five 783x470 pictures, 19 buttons, the
// outline from a complex mask) and RegionFromMask alone, against the naive
// outline build (one CombineRgn per pixel run) in the same run.
#ifndef _WIN32
#include <cstdio>
int main() {
  std::puts("skin_bench: Windows only (run the Windows build under Wine)");
  return 0;
}
#else
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "../tests/win/skin_fixture.h"
#include "bench_timing.h"
#include "skin/skin_image.h"
#include "skin/skinned_dialog.h"
#include "win/dialog_templates.h"
#include "win/win_util.h"

using namespace vantrel;
using bench::MedianMs;

namespace {

constexpr int kW = 783, kH = 470;
const wchar_t* const kKeys[] = {L"1",  L"2",  L"3",  L"4",  L"25", L"10", L"6",  L"7",  L"8", L"9",
                                L"11", L"12", L"13", L"15", L"21", L"22", L"20", L"16", L"17"};

// Rounded corners, a wavy bottom edge, and a speaker-like grille of small
// holes over most of the window: about 11,000 runs, far more than one
// region call takes.
COLORREF ComplexMask(int x, int y) {
  const COLORREF out = RGB(255, 255, 255), in = RGB(0, 0, 0);
  if (vantrel::testing::RoundedMask(kW, kH, 30)(x, y) == out) return out;
  const int edge = kH - 12 + static_cast<int>(8 * std::sin(x / 9.0));
  if (y > edge) return out;
  if (y >= 40 && y < 300 && x >= 40 && x < kW - 40 && x % 6 < 2 && y % 3 == 0) return out;
  return in;
}

std::vector<vantrel::testing::TestButton> Buttons() {
  std::vector<vantrel::testing::TestButton> b;
  for (int i = 0; i < 19; ++i) {
    const LONG x = 20 + (i % 10) * 75, y = 380 + (i / 10) * 40;
    b.push_back({kKeys[i], RECT{x, y, x + 70, y + 34}});
  }
  return b;
}

struct MainLike : skin::SkinnedDialog {
  MainLike() : SkinnedDialog(win::kMainTemplate, Drag::Self) {}
  skin::CBitmapBtn buttons[19];
  bool OnCreate(const CREATESTRUCTW&) override {
    skin::CBitmapBtn* list[19];
    for (int i = 0; i < 19; ++i) list[i] = &buttons[i];
    ApplySkin({L"skin_Config.ini", kKeys, L"skins\\", L"Disable"}, list);
    return true;
  }
};

// The obvious outline build from the same 32-bit copy: one CombineRgn per run.
win::Region NaiveRegionFromMask(HBITMAP mask) {
  BITMAP info{};
  GetObjectW(mask, sizeof info, &info);
  const int w = info.bmWidth, h = info.bmHeight;
  std::vector<DWORD> px(static_cast<size_t>(w) * h);
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  win::WindowDC screen(nullptr);
  GetDIBits(screen.get(), mask, 0, h, px.data(), &bi, DIB_RGB_COLORS);
  win::Region result(CreateRectRgn(0, 0, 0, 0));
  for (int y = 0; y < h; ++y) {
    const DWORD* row = px.data() + static_cast<size_t>(y) * w;
    for (int x = 0; x < w;) {
      const int x0 = x;
      while (x < w && (row[x] & 0xFFFFFF) != 0xFFFFFF) ++x;
      if (x > x0) {
        win::Region run(CreateRectRgn(x0, y, x, y + 1));
        CombineRgn(result.get(), result.get(), run.get(), RGN_OR);
      }
      ++x;
    }
  }
  return result;
}

}  // namespace

int main() {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring dir = std::wstring(tmp) + L"vantrel_skin_bench\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  CreateDirectoryW((dir + L"skins").c_str(), nullptr);
  vantrel::testing::WriteTestSkin(dir, L"skin_Config.ini", kW, kH, ComplexMask, Buttons(),
                                  L"Disable");
  win::SetApplicationDirectory(dir);

  win::Bitmap mask;
  SIZE size{};
  if (!skin::LoadSkinImage(dir + L"skins\\skin_Config_mask.bmp", mask, size)) {
    std::puts("skin_bench: mask not loaded");
    return 1;
  }
  win::Region fast = skin::RegionFromMask(mask.get());
  win::Region naive = NaiveRegionFromMask(mask.get());
  const DWORD rects = GetRegionData(fast.get(), 0, nullptr);
  std::printf("mask %dx%d, outline of %lu rectangles, same as naive: %s\n", kW, kH,
              static_cast<unsigned long>((rects - sizeof(RGNDATAHEADER)) / sizeof(RECT)),
              EqualRgn(fast.get(), naive.get()) ? "yes" : "NO");

  const double create = MedianMs(15, [] {
    MainLike w;
    w.CreateChild(nullptr);
    w.Destroy();
  });
  const double picture = MedianMs(15, [&] {
    win::Bitmap b;
    SIZE s{};
    skin::LoadSkinImage(dir + L"skins\\skin_Config_Normal.bmp", b, s);
  });
  const double ini = MedianMs(15, [&] {
    for (const wchar_t* key : kKeys)
      skin::ReadSkinString(dir + L"skin_Config.ini", L"BUTTONPOS", key);
  });
  const double region = MedianMs(31, [&] { skin::RegionFromMask(mask.get()); });
  const double baseline = MedianMs(7, [&] { NaiveRegionFromMask(mask.get()); });
  std::printf("main window skin (5 pictures, 19 buttons, outline): median %.2f ms\n", create);
  std::printf("  of which: one picture load %.2f ms, 19 BUTTONPOS reads %.2f ms\n", picture, ini);
  std::printf("RegionFromMask: median %.2f ms\n", region);
  std::printf("naive outline (CombineRgn per run): median %.2f ms\n", baseline);
  std::printf("ratio naive / RegionFromMask: %.1fx\n", baseline / region);

  // The worst mask there is: a 4096 x 4096 checkerboard (8.4 million runs).
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4096, -4096, 1, 32, BI_RGB};
  void* bits = nullptr;
  win::Bitmap board(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* px = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < 4096; ++y)
    for (int x = 0; x < 4096; ++x) px[y * 4096 + x] = (x + y) % 2 ? 0xFFFFFF : 0;
  const double checker = MedianMs(5, [&] { skin::RegionFromMask(board.get()); });
  std::printf("RegionFromMask of a 4096x4096 checkerboard: median %.1f ms\n", checker);
  // The shipped main window's own mask, when the runnable folder is there.
  wchar_t exe[MAX_PATH]{};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring shipped_mask(exe);
  shipped_mask = shipped_mask.substr(0, shipped_mask.find_last_of(L'\\') + 1) +
                 L"..\\dist\\Skins\\config_mask.bmp";
  win::Bitmap shipped;
  if (skin::LoadSkinImage(shipped_mask, shipped, size)) {
    const double main = MedianMs(31, [&] { skin::RegionFromMask(shipped.get()); });
    std::printf("RegionFromMask of the shipped main window mask (%ldx%ld): median %.2f ms\n",
                size.cx, size.cy, main);
  }
  return 0;
}
#endif
