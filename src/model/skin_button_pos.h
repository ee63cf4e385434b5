// The value of one "BUTTONPOS" key of a skin file: "name,left,top,width,
// height,caption". Parsed here, without the platform, so that every
// malformed value a skin author can write is tested natively.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel {

struct SkinButtonPos {
  char16_t name[40];  // zero-terminated, cut to 39 characters
  std::int32_t left, top, right, bottom;
  char16_t caption[400];  // zero-terminated, cut to 399 characters
};

// Name: text before the first comma (empty without one). Numbers: read like
// "%d,%d,%d,%d" from the text after the first comma (the whole value
// without one); unreadable fields stay 0; right = left + width and bottom =
// top + height, clamped to the 32-bit range. Caption: text after the last
// comma of that rest (the whole rest without one), trimmed.
SkinButtonPos ParseButtonPos(std::u16string_view value);

}  // namespace vantrel
