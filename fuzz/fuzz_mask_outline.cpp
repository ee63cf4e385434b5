// Mask pictures come from skins: any pixels, row order, row padding and
// key must give banded, sorted, non-overlapping rectangles inside the mask
// whose union is exactly the inside (checked on small masks), or the
// inside's bounding rectangle when (and only when) more than the bound would
// be needed.
//
// Input: width - 1, height - 1, flags, a bound, then one bit per pixel
// (repeated as needed; rows can repeat to make tall bands).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../tests/model/outline_check.h"
#include "model/mask_outline.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::int32_t w = data[0] + 1, h = data[1] + 1;
  const std::uint8_t flags = data[2];
  const bool top_down = flags & 1, thumb_key = flags & 2, misaligned = flags & 0x80;
  const std::size_t pad = (flags >> 2) & 7;  // bytes, not always whole pixels
  const std::size_t max_rects = flags & 0x20 ? data[3] : kMaxOutlineRects;
  const int row_repeat = 1 + ((flags >> 6) & 1) * (data[3] % 16);
  const std::uint8_t* bits = data + 4;
  const std::size_t nbits = (size - 4) * 8;
  const std::uint32_t outside = 0xFFFFFF ^ (data[3] * 0x010101u & 0x0F0F0F);
  const std::uint32_t inside = outside ^ 0x000100;

  const std::size_t stride = static_cast<std::size_t>(w) * 4 + pad;
  std::vector<std::uint8_t> buffer(stride * h + 1);
  std::uint8_t* base = buffer.data() + (misaligned ? 1 : 0);
  for (std::int32_t y = 0; y < h; ++y) {
    std::uint8_t* row = base + static_cast<std::size_t>(top_down ? y : h - 1 - y) * stride;
    for (std::int32_t x = 0; x < w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y / row_repeat) * w + x;
      const bool in = nbits && (bits[(i % nbits) / 8] >> (i % 8) & 1);
      // The top byte is noise: only the low 24 bits count.
      const std::uint32_t v = (in ? inside : outside) | static_cast<std::uint32_t>(i * 37) << 24;
      std::memcpy(row + static_cast<std::size_t>(x) * 4, &v, 4);
    }
  }
  const MaskPixels mask{base, w, h, stride, top_down};
  const std::uint32_t key = thumb_key ? TopLeftKey(mask) : outside;
  auto is_inside = [&](std::int32_t x, std::int32_t y) {
    std::uint32_t v;
    std::memcpy(&v, base + static_cast<std::size_t>(top_down ? y : h - 1 - y) * stride + x * 4, 4);
    return (v & 0xFFFFFF) != key;
  };

  const MaskOutline outline = OutlineFromMask(mask, key, max_rects);
  if (outline.status == OutlineStatus::Refused) std::abort();
  // The union is checked pixel by pixel on masks of up to 96 x 96.
  const bool exact = w * h <= 96 * 96;
  if (!testing::OutlineFault(outline, w, h, is_inside, max_rects, exact).empty()) std::abort();
  if (outline.status == OutlineStatus::Bounded &&
      OutlineFromMask(mask, key, SIZE_MAX).rects.size() <= max_rects)
    std::abort();
  return 0;
}
