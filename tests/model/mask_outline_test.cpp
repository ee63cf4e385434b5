// Mask outlines: the rectangles must be exactly the inside, in the banded
// order a region takes, few for a smooth mask, and bounded for a hostile one.
#include "model/mask_outline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "outline_check.h"

namespace vantrel {
namespace {

using Inside = std::function<bool(std::int32_t, std::int32_t)>;

// A mask's pixels as a DIB section holds them. The top byte varies: only
// the low 24 bits tell inside from outside.
struct Mask {
  std::int32_t w, h;
  Inside inside;
  bool top_down = true;
  std::size_t pad = 0;  // bytes behind each stored row
  std::uint32_t in = 0x102030, out = kWhiteKey;
  std::vector<std::uint8_t> bytes;

  MaskPixels Pixels() {
    const std::size_t stride = static_cast<std::size_t>(w) * 4 + pad;
    bytes.assign(stride * h, 0xEE);
    for (std::int32_t y = 0; y < h; ++y) {
      const std::size_t row = static_cast<std::size_t>(top_down ? y : h - 1 - y) * stride;
      for (std::int32_t x = 0; x < w; ++x) {
        const std::uint32_t v = (inside(x, y) ? in : out) | static_cast<std::uint32_t>(x + y) << 24;
        std::memcpy(&bytes[row + static_cast<std::size_t>(x) * 4], &v, 4);
      }
    }
    return {bytes.data(), w, h, stride, top_down};
  }
};

Inside Pattern(std::vector<const char*> rows) {
  return [rows](std::int32_t x, std::int32_t y) { return rows[y][x] == 'x'; };
}

Inside Rounded(std::int32_t w, std::int32_t h, std::int32_t r) {
  return [=](std::int32_t x, std::int32_t y) {
    const std::int32_t cx = x < r ? r - x : x >= w - r ? x - (w - r - 1) : 0;
    const std::int32_t cy = y < r ? r - y : y >= h - r ? y - (h - r - 1) : 0;
    return cx * cx + cy * cy <= r * r;
  };
}

bool Checkered(std::int32_t x, std::int32_t y) { return (x + y) % 2 == 0; }

TEST(OutlineFromMask, Table) {
  using S = OutlineStatus;
  const auto none = [](auto, auto) { return false; };
  const auto all = [](auto, auto) { return true; };
  struct Case {
    const char* what;
    Mask mask;
    S status;
    std::vector<OutlineRect> rects;  // exactly these, unless `most` is set
    std::size_t most = 0;            // at most this many, as long as the promises hold
    std::size_t max_rects = kMaxOutlineRects;
    std::int64_t key = kWhiteKey;  // -1: the picture's top-left colour
  } cases[] = {
      {"all white", {5, 3, none}, S::Built, {}},
      {"all inside", {7, 4, all}, S::Built, {{0, 0, 7, 4}}},
      {"one pixel inside", {1, 1, all}, S::Built, {{0, 0, 1, 1}}},
      {"one pixel outside", {1, 1, none}, S::Built, {}},
      {"odd width, bottom-up, padded rows",
       {3, 3, Pattern({"x.x", "x.x", ".x."}), false, 8},
       S::Built,
       {{0, 0, 1, 2}, {2, 0, 3, 2}, {1, 2, 2, 3}}},
      {"ring",
       {5, 5, Pattern({"xxxxx", "xxxxx", "xx.xx", "xxxxx", "xxxxx"})},
       S::Built,
       {{0, 0, 5, 2}, {0, 2, 2, 3}, {3, 2, 5, 3}, {0, 3, 5, 5}}},
      {"rounded rectangle", {783, 440, Rounded(783, 440, 30)}, S::Built, {}, 61},
      {"checkerboard 4096 x 4096", {4096, 4096, Checkered}, S::Bounded, {{0, 0, 4096, 4096}}},
      {"bound 2: the inside's bounding box, widened past the bound",
       {6, 5, Pattern({"......", "......", ".x.x..", "..x.x.", "x....x"}), false},
       S::Bounded,
       {{0, 2, 6, 5}},
       0,
       2},
      {"thumb key from the top row of bottom-up pixels",
       {4, 2, Pattern({".xx.", "x..."}), false, 0, 0x0000FF, 0xFF0000},
       S::Built,
       {{1, 0, 3, 1}, {0, 1, 1, 2}},
       0,
       kMaxOutlineRects,
       -1},
      {"key's top byte ignored",
       {2, 1, Pattern({"x."})},
       S::Built,
       {{0, 0, 1, 1}},
       0,
       kMaxOutlineRects,
       0xAB000000 | kWhiteKey},
  };
  for (Case& c : cases) {
    const MaskPixels pixels = c.mask.Pixels();
    const auto key = c.key < 0 ? TopLeftKey(pixels) : static_cast<std::uint32_t>(c.key);
    const MaskOutline outline = OutlineFromMask(pixels, key, c.max_rects);
    EXPECT_EQ(outline.status, c.status) << c.what;
    if (c.most) EXPECT_LE(outline.rects.size(), c.most) << c.what;
    if (!c.most) EXPECT_EQ(outline.rects, c.rects) << c.what;
    EXPECT_EQ(testing::OutlineFault(outline, c.mask.w, c.mask.h, c.mask.inside, c.max_rects), "")
        << c.what;
  }
}

TEST(OutlineFromMask, SizesBeyondTheBoundsAreRefused) {
  const std::uint32_t pixel = 0;
  const MaskPixels refused[] = {{nullptr, 1, 1, 4},        {&pixel, 0, 1, 4},
                                {&pixel, 1, 0, 4},         {&pixel, 4097, 1, 4097 * 4},
                                {&pixel, 1, 4097, 4},      {&pixel, 2, 1, 7},
                                {&pixel, -1, -1, SIZE_MAX}};
  for (const MaskPixels& m : refused) {
    const MaskOutline outline = OutlineFromMask(m, kWhiteKey);
    EXPECT_EQ(outline.status, OutlineStatus::Refused) << m.width << " x " << m.height;
    EXPECT_TRUE(outline.rects.empty());
  }
}

}  // namespace
}  // namespace vantrel
