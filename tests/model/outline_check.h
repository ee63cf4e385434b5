// The promises of a mask outline, checked the same way by its tests and its
// fuzz target: the empty string when they hold, else the first one broken.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/mask_outline.h"

namespace vantrel::testing {

// `inside(x, y)` tells the mask's pixels apart, with y = 0 the top row;
// without `exact` only the order and the bounds of the rectangles are
// checked, not their union (a pass over every pixel).
inline std::string OutlineFault(const MaskOutline& outline, std::int32_t w, std::int32_t h,
                                const std::function<bool(std::int32_t, std::int32_t)>& inside,
                                std::size_t max_rects = kMaxOutlineRects, bool exact = true) {
  const std::vector<OutlineRect>& r = outline.rects;
  if (outline.status == OutlineStatus::Refused) return r.empty() ? "" : "refused with rects";
  if (outline.status == OutlineStatus::Bounded && r.size() != 1) return "bounded but not one rect";
  if (outline.status == OutlineStatus::Built && r.size() > max_rects) return "over the bound";
  for (std::size_t i = 0; i < r.size(); ++i) {
    const OutlineRect& a = r[i];
    if (a.left < 0 || a.top < 0 || a.right > w || a.bottom > h) return "outside the mask";
    if (a.left >= a.right || a.top >= a.bottom) return "empty rect";
    if (i == 0) continue;
    const OutlineRect& p = r[i - 1];
    if (a.top == p.top) {
      if (a.bottom != p.bottom) return "band with two bottoms";
      if (a.left <= p.right) return "rects touch or overlap in a band";
    } else if (a.top < p.bottom) {
      return "bands out of order or overlapping";
    } else if (a.top == p.bottom) {
      // Adjacent bands must differ, or they would have been merged.
      std::size_t pb = i - 1, ne = i;
      while (pb > 0 && r[pb - 1].top == p.top) --pb;
      while (ne < r.size() && r[ne].top == a.top) ++ne;
      bool same = i - pb == ne - i;
      for (std::size_t k = 0; same && k < i - pb; ++k)
        same = r[pb + k].left == r[i + k].left && r[pb + k].right == r[i + k].right;
      if (same) return "equal bands not merged";
    }
  }
  if (!exact) return "";
  std::vector<std::uint8_t> covered(static_cast<std::size_t>(w) * h, 0);
  for (const OutlineRect& a : r)
    for (std::int32_t y = a.top; y < a.bottom; ++y)
      for (std::int32_t x = a.left; x < a.right; ++x)
        ++covered[static_cast<std::size_t>(y) * w + x];
  if (outline.status == OutlineStatus::Bounded) {
    // The smallest rectangle holding every inside pixel.
    const OutlineRect& b = r[0];
    bool rows[2] = {}, cols[2] = {};
    for (std::int32_t y = 0; y < h; ++y) {
      for (std::int32_t x = 0; x < w; ++x) {
        if (!inside(x, y)) continue;
        if (!covered[static_cast<std::size_t>(y) * w + x]) return "bounds miss an inside pixel";
        rows[0] |= y == b.top, rows[1] |= y == b.bottom - 1;
        cols[0] |= x == b.left, cols[1] |= x == b.right - 1;
      }
    }
    return rows[0] && rows[1] && cols[0] && cols[1] ? "" : "bounds not tight";
  }
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x)
      if (covered[static_cast<std::size_t>(y) * w + x] != (inside(x, y) ? 1 : 0))
        return "union is not the inside";
  return "";
}

}  // namespace vantrel::testing
