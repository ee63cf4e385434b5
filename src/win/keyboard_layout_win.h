// The active keyboard layout as the key tables ask for it, answered by the
// platform. Start-up installs it once:
//   vantrel::SetActiveKeyboardLayout(&vantrel::win::PlatformKeyboardLayout());
#pragma once

#include "model/key_codes.h"

namespace vantrel::win {

// MapVirtualKeyW on the calling thread's layout: virtual key to scan code
// (MAPVK_VK_TO_VSC) and scan code to virtual key, left and right keys told
// apart (MAPVK_VSC_TO_VK_EX). Keys the layout lacks give 0.
const vantrel::KeyboardLayout& PlatformKeyboardLayout();

}  // namespace vantrel::win
