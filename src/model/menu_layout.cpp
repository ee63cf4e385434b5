#include "model/menu_layout.h"

#include <algorithm>
#include <climits>

namespace vantrel {

int MenuItemWidth(std::size_t chars, int margin_left, int margin_right) {
  long long width = 12LL * static_cast<long long>(std::min<std::size_t>(chars, INT_MAX / 12)) +
                    margin_left + margin_right;
  return static_cast<int>(std::clamp<long long>(width, 0, INT_MAX));
}

int MenuItemHeight(unsigned id, int item_height) {
  if (id == 0) return 5;
  if (id == 1) return 0;
  return item_height + 2;
}

}  // namespace vantrel
