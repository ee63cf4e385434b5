// Keyboard navigation by geometry: reading order over rows of unequal
// heights, and arrows that walk a row and a column of a key picture.
#include "model/focus_order.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel {
namespace {

TEST(FocusOrder, ReadingOrderGoesByRowsThenLeftToRight) {
  // A tall button beside a row of tabs whose tops differ a little, then a
  // bottom row where two small buttons stack beside a tall tile.
  const std::vector<FocusRect> rects = {
      {300, 50, 400, 90},    // 0: tall, tops the first row
      {10, 60, 100, 80},     // 1: tab
      {110, 62, 200, 82},    // 2: tab
      {10, 200, 90, 240},    // 3: tile
      {100, 200, 180, 215},  // 4: small, upper
      {100, 222, 180, 238},  // 5: small, lower
      {200, 205, 260, 235},  // 6
      {10, 120, 50, 140},    // 7: a row of its own
  };
  EXPECT_EQ(ReadingOrder(rects), (std::vector<std::size_t>{1, 2, 0, 7, 3, 4, 5, 6}));
  EXPECT_TRUE(ReadingOrder({}).empty());
}

TEST(FocusOrder, ArrowsWalkARowAndAColumnOfKeys) {
  // Three rows of keys, the middle one shifted by half a key (as Q..P over
  // A..L), and a wide key at the end of the bottom row.
  std::vector<FocusRect> keys;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) {
      const int left = c * 30 + (r == 1 ? 15 : 0);
      keys.push_back({left, r * 30, left + 28, r * 30 + 28});
    }
  keys.push_back({120, 60, 200, 88});  // 12: wide, right of key 11
  struct Case {
    std::size_t from;
    Direction d;
    std::optional<std::size_t> to;
  } cases[] = {
      {0, Direction::Right, 1},
      {1, Direction::Left, 0},
      {3, Direction::Right, std::nullopt},
      {0, Direction::Left, std::nullopt},
      {1, Direction::Down, 4},
      {5, Direction::Down, 9},
      {9, Direction::Up, 4},  // 4 and 5 as near: the first
      {4, Direction::Up, 0},
      {11, Direction::Right, 12},
      {12, Direction::Left, 11},
      {12, Direction::Up, 7},
      {0, Direction::Up, std::nullopt},
      {99, Direction::Up, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Nearest(keys, c.from, c.d), c.to) << c.from << " " << static_cast<int>(c.d);
  }
}

}  // namespace
}  // namespace vantrel
