// The rules of the keyboard, lighting and advanced pages that need no
// window: which caption a stored lighting mode or level shows, what a menu
// command stores, the response-time caption, which keys show as remapped,
// and how a captured keystroke is read. The panels (src/panels) feed them
// the record and their text tables and draw the result.
#pragma once

#include <cstdint>
#include <string>

#include "model/settings_record.h"

namespace vantrel {

// A caption is either an entry of the panel's text table or a fixed text;
// entry -1 with an empty text is the empty caption.
struct PanelCaption {
  int text_entry = -1;
  std::u16string fixed;
};

// Lighting mode (LtEffectType): 1 entry 10, 2 entry 9, 3 entry 11, else empty.
PanelCaption LightModeCaption(std::int32_t mode);
// Lighting level (iLtPulsation): 2 "20%", 3 "60%", 4 "100%", 5 entry 6,
// any other value entry 3.
PanelCaption LightLevelCaption(std::int32_t level);

// What a lighting menu command stores. The mode menu lists the entries in
// the order 9, 10, 11, which are the stored modes 2, 1, 3.
enum class LightField { None, Mode, Level };
struct LightCommand {
  LightField field = LightField::None;
  std::int32_t value = 0;
  bool show = false;  // the caption follows the stored value
};
inline constexpr int kLightModeFirstCommand = 2005;   // 2005..2008
inline constexpr int kLightLevelFirstCommand = 2009;  // 2009..2013
LightCommand LightMenuCommand(int command);

// Response time (iResponTime) as shown on its button: "%d ms".
std::u16string ResponseTimeText(std::int32_t milliseconds);

// What an advanced-panel menu command does: the response time it stores and
// the polling-rate button it checks (0 500 Hz, 1 1000 Hz, -1 none).
struct AdvancedCommand {
  bool known = false;
  std::int32_t response_time = 0;
  int rate_index = -1;
};
inline constexpr int kResponse1ms = 2001, kResponse2ms = 2002, kResponse4ms = 2003,
                     kResponse8ms = 2004;
AdvancedCommand AdvancedMenuCommand(int command);

// A key position shows its pressed look when its code differs from the
// factory key map; positions outside 0..113 never do.
bool KeyShowsRemapped(int position, std::uint8_t code);

// Keypad Enter arrives as VK_RETURN with the extended flag (bit 0 of the
// captured flags); it is taken as the keypad's own code 108.
int CapturedVirtualKey(int vk, std::uint32_t flags);

// Codes from 241 on are mouse buttons: the assignment edit starts empty.
inline constexpr int kFirstMouseButtonCode = 241;

}  // namespace vantrel
