// Keyboard navigation by geometry, for windows whose controls are pictures
// placed by a skin: Tab follows the reading order of the controls'
// rectangles, and the arrows go to the nearest control of a group in their
// direction (the 114 keys of the keyboard picture, a row of tabs).
//
//   const std::vector<size_t> order = ReadingOrder(rects);   // Tab
//   if (auto next = Nearest(rects, focused, Direction::Down)) ...
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace vantrel {

struct FocusRect {
  int left, top, right, bottom;
};

// Indexes of `rects` in reading order: rows from top to bottom (a row is the
// topmost rectangle left and every one whose middle lies between its top
// and bottom), each row from left to right (equal lefts: the upper first).
std::vector<std::size_t> ReadingOrder(std::span<const FocusRect> rects);

enum class Direction { Left, Right, Up, Down };

// The rectangle nearest to rects[from] in `direction`: of those that share
// part of its span across the direction and whose middle lies that way, the
// one with the smallest gap, then the one least off the line (ties: the
// first). Nothing when none lies that way.
std::optional<std::size_t> Nearest(std::span<const FocusRect> rects, std::size_t from,
                                   Direction direction);

}  // namespace vantrel
