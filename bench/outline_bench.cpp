// The rectangles of a window mask (783x440, rounded corners) and of the
// worst mask there is (a 4096x4096 checkerboard, which hits the bound), as
// OutlineFromMask builds them from 32-bit pixels. Making the region from
// them is the Win32 side's to time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "bench_timing.h"
#include "model/mask_outline.h"

using namespace vantrel;
using bench::MedianMs;

namespace {

std::vector<std::uint32_t> Pixels(int w, int h, const std::function<bool(int, int)>& inside) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      px[static_cast<std::size_t>(y) * w + x] = inside(x, y) ? 0 : kWhiteKey;
  return px;
}

void Run(const char* what, int w, int h, int runs, const std::function<bool(int, int)>& inside) {
  const std::vector<std::uint32_t> px = Pixels(w, h, inside);
  const MaskPixels mask{px.data(), w, h, static_cast<std::size_t>(w) * 4, true};
  MaskOutline outline;
  const double ms = MedianMs(runs, [&] { outline = OutlineFromMask(mask, kWhiteKey); });
  std::printf("%-28s %5dx%-5d %8zu rects%s  %8.3f ms  %6.2f ns/pixel\n", what, w, h,
              outline.rects.size(), outline.status == OutlineStatus::Bounded ? " (bounded)" : "",
              ms, ms * 1e6 / (double(w) * h));
}

}  // namespace

int main() {
  const int w = 783, h = 440, r = 30;
  Run("rounded rectangle", w, h, 200, [&](int x, int y) {
    const int cx = x < r ? r - x : x >= w - r ? x - (w - r - 1) : 0;
    const int cy = y < r ? r - y : y >= h - r ? y - (h - r - 1) : 0;
    return cx * cx + cy * cy <= r * r;
  });
  Run("checkerboard", 4096, 4096, 9, [](int x, int y) { return (x + y) % 2 == 0; });
  return 0;
}
