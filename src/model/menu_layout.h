// Sizes of the owner-drawn popup menu items, free of the platform so they
// are tested natively.
#pragma once

#include <cstddef>

namespace vantrel {

// Width estimate of one item text: 12 pixels a character plus both margins.
// Saturates instead of overflowing for absurdly long texts.
int MenuItemWidth(std::size_t chars, int margin_left, int margin_right);

// Height of an item by the id the platform reports: separators (id 0) are
// 5 pixels, id 1 is hidden (0), every other item is item height + 2.
int MenuItemHeight(unsigned id, int item_height);

}  // namespace vantrel
