#include "win/keyboard_layout_win.h"

#include <windows.h>

namespace vantrel::win {

const vantrel::KeyboardLayout& PlatformKeyboardLayout() {
  // The layout is looked up at every call, not cached: the user may switch
  // layouts while the program runs, and the thread's layout follows.
  static const vantrel::KeyboardLayout layout{
      [](std::uint32_t vk) -> std::uint32_t { return MapVirtualKeyW(vk, MAPVK_VK_TO_VSC); },
      [](std::uint32_t scan) -> std::uint32_t { return MapVirtualKeyW(scan, MAPVK_VSC_TO_VK_EX); },
  };
  return layout;
}

}  // namespace vantrel::win
