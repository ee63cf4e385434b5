// The drawing rules of a skinned button that need no window: which of its
// four images and which text colour a state shows, the text format for an
// alignment, and where the text goes. The button (src/skin/bitmap_btn.h)
// feeds them the platform's state and draws the result.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

enum class ButtonImage { Normal, Hover, Pressed, Disabled };
enum class ButtonTextColour { Normal, Hover, Disabled, Pressed };

struct ButtonState {
  bool toggle_mode = false;
  bool checked = false;
  bool selected = false;  // the platform says the button is pushed
  bool disabled = false;
  bool hover = false;
};

// Not in toggle mode: disabled wins, then checked/selected, then hover.
// In toggle mode checked wins over disabled, and there is no hover look.
ButtonImage ChooseButtonImage(const ButtonState& s);
// `mouse_button_down`: the process-wide flag any skinned button raises on
// a press; it turns a hovered button's text to the pressed colour.
ButtonTextColour ChooseTextColour(const ButtonState& s, bool mouse_button_down);

inline constexpr std::int32_t kDrawSingleLine = 32;  // DT_SINGLELINE
inline constexpr std::int32_t kDrawWordBreak = 16;   // DT_WORDBREAK

// draw_flags | (alignment 0: centred 0x8805, 1: left 0x8804, else right
// 0x8806), each with vertical centring, no prefix and an end ellipsis.
std::uint32_t ButtonTextFormat(std::int32_t draw_flags, std::int32_t alignment);

struct TextBox {
  std::int32_t left, top, right, bottom;
};
// The rectangle the caption is drawn into. With word-wrap flags (16) the
// text gets 5-pixel margins and is placed as one or two lines around the
// middle, judged by font_height * characters against the width left; any
// other flags only indent the left edge.
TextBox ButtonTextBox(TextBox client, std::int32_t draw_flags, std::int32_t indent,
                      std::int32_t font_height, std::size_t characters, std::int32_t text_height);

}  // namespace vantrel
