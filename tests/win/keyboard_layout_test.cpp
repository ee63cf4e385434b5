// The platform's layout answers like the key table on the test prefix's US
// layout, so a usage survives the trip to a virtual key and back.
#include <gtest/gtest.h>

#include "model/key_codes.h"
#include "win/keyboard_layout_win.h"

namespace vantrel {
namespace {

TEST(KeyboardLayoutWin, UsLayoutMatchesTheTable) {
  SetActiveKeyboardLayout(&win::PlatformKeyboardLayout());
  for (int row = 0; row < 65; ++row) {
    const KeyCodeRow& r = KeyCodeTable[row];
    EXPECT_EQ(win::PlatformKeyboardLayout().vk_to_scan(r.vk), std::uint32_t(r.scan)) << row;
    int vk = 0, usage = 0;
    EXPECT_TRUE(UsageToVirtualKey(r.usage, vk));
    EXPECT_EQ(vk, r.vk) << row;
    EXPECT_TRUE(VirtualKeyToUsage(vk, usage));
    EXPECT_EQ(usage, r.usage) << row;
  }
  // Left and right keys are told apart.
  EXPECT_EQ(win::PlatformKeyboardLayout().scan_to_vk(0x2A), 0xA0u);
  EXPECT_EQ(win::PlatformKeyboardLayout().scan_to_vk(0x36), 0xA1u);
  SetActiveKeyboardLayout(nullptr);
}

}  // namespace
}  // namespace vantrel
