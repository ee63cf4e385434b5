// The arithmetic of the picture slider (thumb position, value from a
// position, fill size), kept free of the platform so it is tested natively.
// Every function accepts any range: an empty or inverted range or a travel
// of zero gives the range's start instead of dividing by zero.
#pragma once

namespace vantrel {

struct SliderRange {
  int minimum = 0;
  int maximum = 10;
};

int ClampToRange(int value, SliderRange range);

// Offset of the thumb from the track's start for value v: the maximum lies
// at the start, the minimum at the end (offset == travel). v is clamped.
int ThumbOffset(int value, SliderRange range, int travel);

// The inverse direction: m + (M - m) * offset / travel, clamped to m..M.
int ValueAtOffset(int offset, SliderRange range, int travel);

// The thumb's offset after a drag by `delta` pixels, kept in 0..travel.
int DraggedOffset(int start_offset, int delta, int travel);

// Pixels of the fill picture along the track for `value` (client extent
// `extent`): reversed tracks (horizontal) fill (extent / M) * (M - m - value
// + 1) pixels of width, others (extent / M) * (M - value) of height, both
// divisions in integers; the result is kept in 0..extent.
int FillExtent(int extent, int value, SliderRange range, bool reversed);

}  // namespace vantrel
