// The inside of a mask picture as rectangles in the order a region's data
// wants them: bands from top to bottom, each a row of rectangles from left
// to right that share top and bottom, no two overlapping, and rows with the
// same runs merged into one band. The window outline (key white) and the
// slider thumb's outline (key: its top-left colour) are both made from it.
//
//   const MaskOutline outline = OutlineFromMask({bits, w, h, w * 4, false}, kWhiteKey);
//   if (outline.status == OutlineStatus::Bounded) trace it;
//   ...RGNDATA with outline.rects, same layout as RECT...
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

inline constexpr std::int32_t kMaxMaskSide = 4096;
// Past this many rectangles the outline is the inside's bounding rectangle:
// a region of more costs more to build and to clip with than it is worth.
inline constexpr std::size_t kMaxOutlineRects = 50000;
inline constexpr std::uint32_t kWhiteKey = 0xFFFFFF;

// 32-bit pixels, `stride` bytes from one stored row to the next (at least
// width * 4). Bottom-up pixels store the picture's last row first, as a
// bottom-up DIB section does.
struct MaskPixels {
  const void* pixels = nullptr;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::size_t stride = 0;
  bool top_down = true;
};

// The low 24 bits of the picture's top-left pixel (0 for an empty mask).
std::uint32_t TopLeftKey(const MaskPixels& mask);

// Same layout as the platform's RECT: right and bottom exclusive.
struct OutlineRect {
  std::int32_t left, top, right, bottom;
  friend bool operator==(const OutlineRect&, const OutlineRect&) = default;
};

enum class OutlineStatus {
  Built,    // rects are the inside (none for an empty inside)
  Bounded,  // more than the bound: rects holds the inside's bounding rectangle
  Refused,  // no pixels, a side outside 1..kMaxMaskSide, or a stride too short
};

struct MaskOutline {
  OutlineStatus status = OutlineStatus::Refused;
  std::vector<OutlineRect> rects;
};

// Pixels whose low 24 bits equal `key` are outside, all others inside.
// Linear in the mask's size. `max_rects` is kMaxOutlineRects but for tests.
MaskOutline OutlineFromMask(const MaskPixels& mask, std::uint32_t key,
                            std::size_t max_rects = kMaxOutlineRects);

}  // namespace vantrel
