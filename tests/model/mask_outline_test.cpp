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
  using R = std::vector<OutlineRect>;
  struct Case {
    const char* what;
    Mask mask;
    S status;
    R rects;            // checked when not empty or when `exact`
    bool exact = true;  // else: only the promises and a count of at most `most`
    std::size_t most = 0;
    std::size_t max_rects = kMaxOutlineRects;
  } cases[] = {
      {"all white", {5, 3, [](auto, auto) { return false; }}, S::Built, {}},
      {"all inside", {7, 4, [](auto, auto) { return true; }}, S::Built, {{0, 0, 7, 4}}},
      {"one pixel inside", {1, 1, [](auto, auto) { return true; }}, S::Built, {{0, 0, 1, 1}}},
      {"one pixel outside", {1, 1, [](auto, auto) { return false; }}, S::Built, {}},
      {"odd width, bottom-up, padded rows",
       {3, 3, Pattern({"x.x", "x.x", ".x."}), false, 8},
       S::Built,
       {{0, 0, 1, 2}, {2, 0, 3, 2}, {1, 2, 2, 3}}},
      {"ring",
       {5, 5, Pattern({"xxxxx", "xxxxx", "xx.xx", "xxxxx", "xxxxx"})},
       S::Built,
       {{0, 0, 5, 2}, {0, 2, 2, 3}, {3, 2, 5, 3}, {0, 3, 5, 5}}},
      {"rounded rectangle", {783, 440, Rounded(783, 440, 30)}, S::Built, {}, false, 61},
      {"checkerboard 4096 x 4096", {4096, 4096, Checkered}, S::Bounded, {{0, 0, 4096, 4096}}},
      {"bound 2, bounding box of the inside",
       {6, 5, Pattern({"......", "......", ".x.x..", "..x.x.", "......"}), false},
       S::Bounded,
       {{1, 2, 5, 4}},
       true,
       0,
       2},
  };
  for (Case& c : cases) {
    const MaskOutline outline = OutlineFromMask(c.mask.Pixels(), kWhiteKey, c.max_rects);
    EXPECT_EQ(outline.status, c.status) << c.what;
    if (c.exact) EXPECT_EQ(outline.rects, c.rects) << c.what;
    if (!c.exact) EXPECT_LE(outline.rects.size(), c.most) << c.what;
    EXPECT_EQ(testing::OutlineFault(outline, c.mask.w, c.mask.h, c.mask.inside, c.max_rects), "")
        << c.what;
  }
}

// The slider thumb's key is its top-left colour, wherever the rows start.
TEST(OutlineFromMask, ThumbKeyIsThePicturesTopLeft) {
  const std::uint32_t red = 0x0000FF, blue = 0xFF0000, white = 0xFFFFFF;
  const std::uint32_t top[] = {red, white, white, red}, bottom[] = {blue, red, red, red};
  std::uint32_t stored[8];  // bottom-up: the picture's last row first
  std::memcpy(stored, bottom, sizeof bottom);
  std::memcpy(stored + 4, top, sizeof top);
  const MaskPixels mask{stored, 4, 2, 16, false};
  ASSERT_EQ(TopLeftKey(mask), red);
  const std::vector<OutlineRect> want = {{1, 0, 3, 1}, {0, 1, 1, 2}};
  EXPECT_EQ(OutlineFromMask(mask, TopLeftKey(mask)).rects, want);
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
