#include "model/focus_order.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace vantrel {
namespace {

// Twice the middle, so no halves are lost.
std::int64_t MidX2(const FocusRect& r) { return std::int64_t{r.left} + r.right; }
std::int64_t MidY2(const FocusRect& r) { return std::int64_t{r.top} + r.bottom; }

}  // namespace

std::vector<std::size_t> ReadingOrder(std::span<const FocusRect> rects) {
  std::vector<std::size_t> by_top(rects.size());
  for (std::size_t i = 0; i < rects.size(); ++i) by_top[i] = i;
  std::stable_sort(by_top.begin(), by_top.end(),
                   [&](std::size_t a, std::size_t b) { return rects[a].top < rects[b].top; });
  std::vector<std::size_t> order;
  order.reserve(rects.size());
  std::vector<bool> placed(rects.size(), false);
  std::vector<std::size_t> row;
  for (std::size_t first : by_top) {
    if (placed[first]) continue;
    const FocusRect& head = rects[first];
    row.clear();
    for (std::size_t i : by_top) {
      if (placed[i]) continue;
      const std::int64_t mid = MidY2(rects[i]);
      if (mid >= 2 * std::int64_t{head.top} && mid <= 2 * std::int64_t{head.bottom}) {
        row.push_back(i);
      }
    }
    if (row.empty()) row.push_back(first);  // a rectangle of no height
    std::stable_sort(row.begin(), row.end(), [&](std::size_t a, std::size_t b) {
      if (rects[a].left != rects[b].left) return rects[a].left < rects[b].left;
      return rects[a].top < rects[b].top;
    });
    for (std::size_t i : row) {
      placed[i] = true;
      order.push_back(i);
    }
  }
  return order;
}

std::optional<std::size_t> Nearest(std::span<const FocusRect> rects, std::size_t from,
                                   Direction direction) {
  if (from >= rects.size()) return std::nullopt;
  const FocusRect& a = rects[from];
  const bool across_x = direction == Direction::Up || direction == Direction::Down;
  const bool forward = direction == Direction::Right || direction == Direction::Down;
  std::optional<std::size_t> best;
  std::int64_t best_gap = 0, best_off = 0;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    if (i == from) continue;
    const FocusRect& b = rects[i];
    // Only what shares some of the source's span across the direction.
    const bool shares =
        across_x ? (b.left < a.right && a.left < b.right) : (b.top < a.bottom && a.top < b.bottom);
    if (!shares) continue;
    const std::int64_t along = across_x ? MidY2(b) - MidY2(a) : MidX2(b) - MidX2(a);
    if (forward ? along <= 0 : along >= 0) continue;
    // Near edge to near edge; overlapping rectangles count as touching.
    std::int64_t gap =
        across_x ? (forward ? std::int64_t{b.top} - a.bottom : std::int64_t{a.top} - b.bottom)
                 : (forward ? std::int64_t{b.left} - a.right : std::int64_t{a.left} - b.right);
    gap = std::max<std::int64_t>(gap, 0);
    const std::int64_t off = std::llabs(across_x ? MidX2(b) - MidX2(a) : MidY2(b) - MidY2(a));
    if (!best || gap < best_gap || (gap == best_gap && off < best_off)) {
      best = i, best_gap = gap, best_off = off;
    }
  }
  return best;
}

}  // namespace vantrel
