#include "model/button_look.h"

namespace vantrel {

ButtonImage ChooseButtonImage(const ButtonState& s) {
  if (s.toggle_mode) {
    if (s.checked) return ButtonImage::Pressed;
    return s.disabled ? ButtonImage::Disabled : ButtonImage::Normal;
  }
  if (s.disabled) return ButtonImage::Disabled;
  if (s.checked || s.selected) return ButtonImage::Pressed;
  return s.hover ? ButtonImage::Hover : ButtonImage::Normal;
}

ButtonTextColour ChooseTextColour(const ButtonState& s, bool mouse_button_down) {
  if (s.hover) return mouse_button_down ? ButtonTextColour::Pressed : ButtonTextColour::Hover;
  if (s.disabled) return ButtonTextColour::Disabled;
  if (s.selected || s.checked) return ButtonTextColour::Pressed;
  return ButtonTextColour::Normal;
}

std::uint32_t ButtonTextFormat(std::int32_t draw_flags, std::int32_t alignment) {
  const std::uint32_t align = alignment == 0 ? 0x8805u : alignment == 1 ? 0x8804u : 0x8806u;
  return static_cast<std::uint32_t>(draw_flags) | align;
}

TextBox ButtonTextBox(TextBox client, std::int32_t draw_flags, std::int32_t indent,
                      std::int32_t font_height, std::size_t characters, std::int32_t text_height) {
  TextBox box = client;
  if (draw_flags != kDrawWordBreak) {
    box.left += indent;
    return box;
  }
  box.right -= 5;
  box.left += indent + 5;
  const std::int64_t needed = std::int64_t{font_height} * static_cast<std::int64_t>(characters);
  const std::int32_t middle = (client.bottom - client.top) / 2;
  box.top =
      needed > std::int64_t{box.right} - box.left ? middle - text_height : middle - text_height / 2;
  box.bottom -= 5;
  return box;
}

}  // namespace vantrel
