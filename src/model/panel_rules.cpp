#include "model/panel_rules.h"

#include "model/key_codes.h"
#include "model/text.h"

namespace vantrel {

PanelCaption LightModeCaption(std::int32_t mode) {
  switch (mode) {
    case 1:
      return {10, {}};
    case 2:
      return {9, {}};
    case 3:
      return {11, {}};
    default:
      return {};
  }
}

PanelCaption LightLevelCaption(std::int32_t level) {
  switch (level) {
    case 2:
      return {-1, u"20%"};
    case 3:
      return {-1, u"60%"};
    case 4:
      return {-1, u"100%"};
    case 5:
      return {6, {}};
    default:
      return {3, {}};
  }
}

LightCommand LightMenuCommand(int command) {
  // Menu order, not value order: the first mode item is mode 2.
  static constexpr std::int32_t kModes[] = {2, 1, 3, 4};
  // Ranges compared before subtracting: any int is a command here, and
  // INT_MIN - 2005 overflows.
  if (command >= kLightModeFirstCommand && command < kLightModeFirstCommand + 4) {
    const int mode = command - kLightModeFirstCommand;
    // Mode 4 has no menu item and no caption: the button keeps its text.
    return {LightField::Mode, kModes[mode], mode < 3};
  }
  if (command >= kLightLevelFirstCommand && command < kLightLevelFirstCommand + 5)
    return {LightField::Level, command - kLightLevelFirstCommand + 1, true};
  return {};
}

std::u16string ResponseTimeText(std::int32_t milliseconds) {
  return ToU16Decimal(milliseconds) + u" ms";
}

AdvancedCommand AdvancedMenuCommand(int command) {
  switch (command) {
    case kResponse1ms:
      return {true, 1, 1};
    case kResponse2ms:
      return {true, 2, 0};
    case kResponse4ms:
      return {true, 4, -1};
    case kResponse8ms:
      return {true, 8, -1};
    default:
      return {};
  }
}

bool KeyShowsRemapped(int position, std::uint8_t code) {
  if (position < 0 || position >= kKeyPositions) return false;
  return code != FactoryKeyMap[static_cast<std::size_t>(position)];
}

int CapturedVirtualKey(int vk, std::uint32_t flags) {
  constexpr int kReturn = 13, kKeypadEnter = 108;
  return vk == kReturn && (flags & 1u) ? kKeypadEnter : vk;
}

}  // namespace vantrel
