// Skins made in code for tests, the demo and the benchmark: 24-bit BMP
// files written from a pixel function, and a skin file naming them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vantrel::testing {

using PixelFn = std::function<COLORREF(int x, int y)>;

// A bottom-up 24-bit BMP, as paint programs save them.
inline bool WriteBmp24(const std::wstring& path, int w, int h, const PixelFn& pixel) {
  const int stride = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{sizeof ih, w, h, 1, 24, BI_RGB};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + stride * h;
  std::vector<std::uint8_t> rows(static_cast<size_t>(stride) * h);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = rows.data() + static_cast<size_t>(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      const COLORREF c = pixel(x, y);
      row[3 * x] = GetBValue(c);
      row[3 * x + 1] = GetGValue(c);
      row[3 * x + 2] = GetRValue(c);
    }
  }
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  bool ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&ih, sizeof ih, 1, f) == 1 &&
            fwrite(rows.data(), rows.size(), 1, f) == 1;
  return fclose(f) == 0 && ok;
}

struct TestButton {
  const wchar_t* key;
  RECT rect;
};

// Writes <dir>\<ini> and its five pictures into <dir>\Skins\ (a folder the
// caller has made): the window is w x h, `mask` gives the outline, and each
// state picture is its own flat colour with a darker frame per button, so a
// button's look can be told by one pixel.
inline constexpr COLORREF kNormal = RGB(40, 60, 200), kOver = RGB(40, 200, 60),
                          kDown = RGB(200, 40, 40), kDisabled = RGB(128, 128, 128);

inline void WriteTestSkin(const std::wstring& dir, const std::wstring& ini, int w, int h,
                          const PixelFn& mask, const std::vector<TestButton>& buttons,
                          const wchar_t* disabled_key = L"Disabled") {
  const std::wstring prefix = ini.substr(0, ini.find(L'.'));
  struct Pic {
    const wchar_t* key;
    COLORREF colour;
  } pics[] = {{L"Normal", kNormal}, {L"Over", kOver}, {L"Down", kDown}, {disabled_key, kDisabled}};
  const std::wstring path = dir + ini;
  for (const Pic& p : pics) {
    const std::wstring file = prefix + L"_" + p.key + L".bmp";
    COLORREF c = p.colour;
    WriteBmp24(dir + L"Skins\\" + file, w, h, [&](int x, int y) {
      for (const TestButton& b : buttons) {
        const RECT& r = b.rect;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
          const bool edge = x == r.left || y == r.top || x == r.right - 1 || y == r.bottom - 1;
          return edge ? RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2) : c;
        }
      }
      return RGB(30, 30, 36);
    });
    WritePrivateProfileStringW(L"SCREEN", p.key, file.c_str(), path.c_str());
  }
  WriteBmp24(dir + L"Skins\\" + prefix + L"_mask.bmp", w, h, mask);
  WritePrivateProfileStringW(L"SCREEN", L"Mask", (prefix + L"_mask.bmp").c_str(), path.c_str());
  for (const TestButton& b : buttons) {
    wchar_t value[128];
    swprintf(value, 128, L"%ls,%ld,%ld,%ld,%ld,%ls", b.key, b.rect.left, b.rect.top,
             b.rect.right - b.rect.left, b.rect.bottom - b.rect.top, b.key);
    WritePrivateProfileStringW(L"BUTTONPOS", b.key, value, path.c_str());
  }
}

// A window outline with rounded corners (radius r) and a notch on top:
// white outside.
inline PixelFn RoundedMask(int w, int h, int r) {
  return [=](int x, int y) -> COLORREF {
    auto outside_corner = [r](int dx, int dy) { return dx * dx + dy * dy > r * r; };
    const int cx = x < r ? r - x : x >= w - r ? x - (w - 1 - r) : 0;
    const int cy = y < r ? r - y : y >= h - r ? y - (h - 1 - r) : 0;
    if (cx && cy && outside_corner(cx, cy)) return RGB(255, 255, 255);
    if (y < r / 2 && x > w / 3 && x < 2 * w / 3) return RGB(255, 255, 255);
    return RGB(0, 0, 0);
  };
}

// Scratch folder of the test run (a Windows path), with a trailing backslash.
inline std::wstring ScratchDir(const wchar_t* sub) {
  wchar_t buf[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(L"VANTREL_TEST_TMP", buf, MAX_PATH);
  std::wstring dir = n && n < MAX_PATH ? std::wstring(buf, n) : std::wstring(L".");
  for (wchar_t& c : dir) {
    if (c == L'/') c = L'\\';
  }
  dir += L"\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  dir += sub;
  dir += L"\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  CreateDirectoryW((dir + L"Skins").c_str(), nullptr);
  return dir;
}

}  // namespace vantrel::testing
