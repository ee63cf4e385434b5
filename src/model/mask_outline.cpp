// One pass over the rows: each row's runs of inside pixels are compared
// with the open band's rectangles; the same runs grow the band by a row,
// other runs close it and open the next. Only the output and one row's runs
// are ever allocated.
#include "model/mask_outline.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace vantrel {
namespace {

constexpr std::uint32_t kColour = 0xFFFFFF;

const std::uint8_t* Row(const MaskPixels& mask, std::int32_t y) {
  const auto stored = static_cast<std::size_t>(mask.top_down ? y : mask.height - 1 - y);
  return static_cast<const std::uint8_t*>(mask.pixels) + stored * mask.stride;
}

// Read as bytes: the caller's rows need not be aligned for 32-bit loads.
std::uint32_t Colour(const std::uint8_t* row, std::int32_t x) {
  std::uint32_t v;
  std::memcpy(&v, row + static_cast<std::size_t>(x) * 4, 4);
  return v & kColour;
}

}  // namespace

std::uint32_t TopLeftKey(const MaskPixels& mask) {
  if (!mask.pixels || mask.width <= 0 || mask.height <= 0) return 0;
  return Colour(Row(mask, 0), 0);
}

MaskOutline OutlineFromMask(const MaskPixels& mask, std::uint32_t key, std::size_t max_rects) {
  MaskOutline out;
  const std::int32_t w = mask.width, h = mask.height;
  if (!mask.pixels || w < 1 || w > kMaxMaskSide || h < 1 || h > kMaxMaskSide ||
      mask.stride < static_cast<std::size_t>(w) * 4) {
    return out;
  }
  key &= kColour;
  std::vector<OutlineRect>& rects = out.rects;
  std::vector<std::int32_t> runs;  // this row's runs as left, right pairs
  runs.reserve(static_cast<std::size_t>(w) + 1);
  std::size_t band = 0;  // the open band's first rectangle
  bool bounded = false;
  OutlineRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};

  for (std::int32_t y = 0; y < h; ++y) {
    const std::uint8_t* row = Row(mask, y);
    if (bounded) {
      // Only the bounding rectangle is still wanted: the row's first and
      // last inside pixels.
      std::int32_t left = 0, right = w;
      while (left < w && Colour(row, left) == key) ++left;
      if (left == w) continue;
      while (Colour(row, right - 1) == key) --right;
      box = {std::min(box.left, left), box.top, std::max(box.right, right), y + 1};
      continue;
    }
    runs.clear();
    for (std::int32_t x = 0;;) {
      while (x < w && Colour(row, x) == key) ++x;
      if (x == w) break;
      runs.push_back(x);
      while (x < w && Colour(row, x) != key) ++x;
      runs.push_back(x);
    }
    if (!runs.empty()) {
      box = {std::min(box.left, runs.front()), std::min(box.top, y),
             std::max(box.right, runs.back()), y + 1};
    }

    const std::size_t open = rects.size() - band;
    bool same = open * 2 == runs.size();
    for (std::size_t i = 0; same && i < open; ++i) {
      same = rects[band + i].left == runs[2 * i] && rects[band + i].right == runs[2 * i + 1];
    }
    if (same) continue;
    for (std::size_t i = band; i < rects.size(); ++i) rects[i].bottom = y;
    band = rects.size();
    if (rects.size() + runs.size() / 2 > max_rects) {
      bounded = true;
      continue;
    }
    for (std::size_t i = 0; i < runs.size(); i += 2) rects.push_back({runs[i], y, runs[i + 1], y});
  }

  if (bounded) {
    rects.assign(1, box);
    out.status = OutlineStatus::Bounded;
    return out;
  }
  for (std::size_t i = band; i < rects.size(); ++i) rects[i].bottom = h;
  out.status = OutlineStatus::Built;
  return out;
}

}  // namespace vantrel
