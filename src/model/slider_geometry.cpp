#include "model/slider_geometry.h"

#include <algorithm>

namespace vantrel {
namespace {

bool Usable(SliderRange range) { return range.maximum > range.minimum; }

}  // namespace

int ClampToRange(int value, SliderRange range) {
  if (!Usable(range)) return range.minimum;
  return std::clamp(value, range.minimum, range.maximum);
}

int ThumbOffset(int value, SliderRange range, int travel) {
  if (!Usable(range) || travel <= 0) return 0;
  long long v = ClampToRange(value, range);
  return static_cast<int>((range.maximum - v) * travel /
                          (static_cast<long long>(range.maximum) - range.minimum));
}

int ValueAtOffset(int offset, SliderRange range, int travel) {
  if (!Usable(range) || travel <= 0) return range.minimum;
  long long span = static_cast<long long>(range.maximum) - range.minimum;
  long long v = range.minimum + span * std::clamp(offset, 0, travel) / travel;
  return static_cast<int>(v);
}

int DraggedOffset(int start_offset, int delta, int travel) {
  if (travel <= 0) return 0;
  long long offset = static_cast<long long>(start_offset) + delta;
  return static_cast<int>(std::clamp<long long>(offset, 0, travel));
}

int FillExtent(int extent, int value, SliderRange range, bool reversed) {
  if (extent <= 0 || range.maximum <= 0) return 0;
  long long step = extent / range.maximum;
  long long units = reversed ? static_cast<long long>(range.maximum) - range.minimum - value + 1
                             : static_cast<long long>(range.maximum) - value;
  return static_cast<int>(std::clamp<long long>(step * units, 0, extent));
}

}  // namespace vantrel
