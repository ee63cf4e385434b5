// Key code tables: the record stores HID usage IDs, the user interface gets
// virtual-key codes and shows names. The layout-dependent conversions ask
// the platform's active keyboard layout through KeyboardLayout.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace vantrel {

struct KeyCodeRow {
  std::int32_t vk;
  std::int32_t usage;
  std::int32_t scan;  // set-1 make code, 0 where the row needs none
};

extern const std::array<KeyCodeRow, 131> KeyCodeTable;
extern const std::array<std::uint8_t, 114> FactoryKeyMap;

struct FixedScanRow {
  std::int32_t scan;
  std::int32_t vk;
};
extern const std::array<FixedScanRow, 13> FixedScanVirtualKeys;

// The platform's keyboard-layout queries. Windows: MapVirtualKeyW with
// MAPVK_VK_TO_VSC and MAPVK_VSC_TO_VK_EX. The default is the US layout,
// answered from KeyCodeTable itself.
struct KeyboardLayout {
  std::function<std::uint32_t(std::uint32_t vk)> vk_to_scan;
  std::function<std::uint32_t(std::uint32_t scan)> scan_to_vk;
};
const KeyboardLayout& UsKeyboardLayout();
const KeyboardLayout& ActiveKeyboardLayout();
void SetActiveKeyboardLayout(const KeyboardLayout* layout);  // nullptr: US layout

bool VirtualKeyToUsage(int vk, int& usage);
bool UsageToVirtualKey(int usage, int& vk);
std::u16string KeyDisplayName(int vk);

// Mouse buttons as the macro library stores them: L, R, M, 4, 5 = 240..244.
// KeyDisplayName numbers the same buttons 241..245 (the key assignment
// dialog's numbering), so macro code c is named by KeyDisplayName(c + 1);
// MouseButtonName does that shift. Other codes give "".
constexpr int kMouseButtonFirst = 240;
constexpr int kMouseButtonLast = 244;
std::u16string MouseButtonName(int code);

}  // namespace vantrel
