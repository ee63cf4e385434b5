// Key code tables and the conversions between HID usage IDs (what the record
// and the keyboard use) and virtual-key codes (what the user interface gets).
#include "model/key_codes.h"

#include <cstdio>
#include <string>

#include "model/trace.h"

namespace vantrel {

// Every search takes the first matching row, so the order is part of the data.
const std::array<KeyCodeRow, 131> KeyCodeTable = {{
    // Letters A..Z.
    {0x41, 0x04, 0x1E},
    {0x42, 0x05, 0x30},
    {0x43, 0x06, 0x2E},
    {0x44, 0x07, 0x20},
    {0x45, 0x08, 0x12},
    {0x46, 0x09, 0x21},
    {0x47, 0x0A, 0x22},
    {0x48, 0x0B, 0x23},
    {0x49, 0x0C, 0x17},
    {0x4A, 0x0D, 0x24},
    {0x4B, 0x0E, 0x25},
    {0x4C, 0x0F, 0x26},
    {0x4D, 0x10, 0x32},
    {0x4E, 0x11, 0x31},
    {0x4F, 0x12, 0x18},
    {0x50, 0x13, 0x19},
    {0x51, 0x14, 0x10},
    {0x52, 0x15, 0x13},
    {0x53, 0x16, 0x1F},
    {0x54, 0x17, 0x14},
    {0x55, 0x18, 0x16},
    {0x56, 0x19, 0x2F},
    {0x57, 0x1A, 0x11},
    {0x58, 0x1B, 0x2D},
    {0x59, 0x1C, 0x15},
    {0x5A, 0x1D, 0x2C},
    // Digits 1..9, 0.
    {0x31, 0x1E, 0x02},
    {0x32, 0x1F, 0x03},
    {0x33, 0x20, 0x04},
    {0x34, 0x21, 0x05},
    {0x35, 0x22, 0x06},
    {0x36, 0x23, 0x07},
    {0x37, 0x24, 0x08},
    {0x38, 0x25, 0x09},
    {0x39, 0x26, 0x0A},
    {0x30, 0x27, 0x0B},
    // Enter, Esc, Backspace, Tab, Space, punctuation, Caps Lock.
    {0x0D, 0x28, 0x1C},
    {0x1B, 0x29, 0x01},
    {0x08, 0x2A, 0x0E},
    {0x09, 0x2B, 0x0F},
    {0x20, 0x2C, 0x39},
    {0xBD, 0x2D, 0x0C},
    {0xBB, 0x2E, 0x0D},
    {0xDB, 0x2F, 0x1A},
    {0xDD, 0x30, 0x1B},
    {0xDC, 0x31, 0x2B},
    {0xBA, 0x33, 0x27},
    {0xDE, 0x34, 0x28},
    {0xC0, 0x35, 0x29},
    {0xBC, 0x36, 0x33},
    {0xBE, 0x37, 0x34},
    {0xBF, 0x38, 0x35},
    {0x14, 0x39, 0x3A},
    // F1..F12.
    {0x70, 0x3A, 0x3B},
    {0x71, 0x3B, 0x3C},
    {0x72, 0x3C, 0x3D},
    {0x73, 0x3D, 0x3E},
    {0x74, 0x3E, 0x3F},
    {0x75, 0x3F, 0x40},
    {0x76, 0x40, 0x41},
    {0x77, 0x41, 0x42},
    {0x78, 0x42, 0x43},
    {0x79, 0x43, 0x44},
    {0x7A, 0x44, 0x57},
    {0x7B, 0x45, 0x58},
    // Print Screen, Scroll Lock, Pause, navigation, keypad, ISO extra key,
    // Application: no scan code needed, these never depend on the layout.
    {0x2C, 0x46, 0},
    {0x91, 0x47, 0},
    {0x13, 0x48, 0},
    {0x2D, 0x49, 0},
    {0x24, 0x4A, 0},
    {0x21, 0x4B, 0},
    {0x2E, 0x4C, 0},
    {0x23, 0x4D, 0},
    {0x22, 0x4E, 0},
    {0x27, 0x4F, 0},
    {0x25, 0x50, 0},
    {0x28, 0x51, 0},
    {0x26, 0x52, 0},
    {0x90, 0x53, 0},
    {0x6F, 0x54, 0},
    {0x6A, 0x55, 0},
    {0x6D, 0x56, 0},
    {0x6B, 0x57, 0},
    {0x6C, 0x58, 0},
    {0x61, 0x59, 0},
    {0x62, 0x5A, 0},
    {0x63, 0x5B, 0},
    {0x64, 0x5C, 0},
    {0x65, 0x5D, 0},
    {0x67, 0x5F, 0},
    {0x66, 0x5E, 0},
    {0x68, 0x60, 0},
    {0x69, 0x61, 0},
    {0x60, 0x62, 0},
    {0x6E, 0x63, 0},
    {0xE2, 0x64, 0},
    {0x5D, 0x65, 0},
    // Modifiers.
    {0xA2, 0xE0, 0},
    {0xA0, 0xE1, 0},
    {0xA4, 0xE2, 0},
    {0x5B, 0xE3, 0},
    {0xA3, 0xE4, 0},
    {0xA1, 0xE5, 0},
    {0xA5, 0xE6, 0},
    {0x5C, 0xE7, 0},
    // International keys.
    {0xC1, 0x86, 0},
    {0xC2, 0x85, 0},
    {0xFF, 0x89, 0},
    // Browser, volume, media and launch keys: the usage column holds our own
    // codes 0x70..0x81 (they are not on the keyboard page).
    {0xA6, 0x70, 0},
    {0xA7, 0x71, 0},
    {0xA8, 0x72, 0},
    {0xA9, 0x73, 0},
    {0xAA, 0x74, 0},
    {0xAB, 0x75, 0},
    {0xAC, 0x76, 0},
    {0xAD, 0x77, 0},
    {0xAE, 0x78, 0},
    {0xAF, 0x79, 0},
    {0xB0, 0x7A, 0},
    {0xB1, 0x7B, 0},
    {0xB2, 0x7C, 0},
    {0xB3, 0x7D, 0},
    {0xB4, 0x7E, 0},
    {0xB5, 0x7F, 0},
    {0xB6, 0x80, 0},
    {0xB7, 0x81, 0},
    // Mouse buttons, our own codes.
    {0xF0, 0xF0, 0},
    {0xF1, 0xF1, 0},
    {0xF2, 0xF2, 0},
    {0xF3, 0xF3, 0},
    {0xF4, 0xF4, 0},
}};

// Punctuation keys whose virtual key stays the same on every layout the
// device ships for, so naming them must not follow the active layout.
const std::array<FixedScanRow, 13> FixedScanVirtualKeys = {{
    {0x29, 0xC0},
    {0x0C, 0xBD},
    {0x0D, 0xBB},
    {0x1A, 0xDB},
    {0x1B, 0xDD},
    {0x2B, 0xDC},
    {0x27, 0xBA},
    {0x28, 0xDE},
    {0x33, 0xBC},
    {0x34, 0xBE},
    {0x35, 0xBF},
    {0x73, 0xC1},
    {0x7D, 0xFF},
}};

// Key positions in the order of the main control panel's key picture.
const std::array<std::uint8_t, 114> FactoryKeyMap = {
    0x29,                                                                    // 0 Esc
    0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45,  // 1..12 F1..F12
    0x46, 0x47, 0x48,                                                        // 13..15
    0x35,                                                                    // 16 `
    0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27,              // 17..26 digits
    0x2D, 0x2E, 0x2A, 0x2B,                                                  // 27..30
    0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12, 0x13,              // 31..40 Q..P
    0x2F, 0x30, 0x28, 0x39,                                                  // 41..44
    0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B, 0x0D, 0x0E, 0x0F,                    // 45..53 A..L
    0x33, 0x34, 0x31, 0xE1,                                                  // 54..57
    0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10,                                // 58..64 Z..M
    0x36, 0x37, 0x38, 0xE5,                                                  // 65..68
    0xE0, 0xE3, 0xE2, 0x2C, 0xE6, 0xE7, 0x65, 0xE4,                          // 69..76
    0x49, 0x4C, 0x50, 0x4A, 0x4D, 0x52, 0x51, 0x4B, 0x4E, 0x4F,              // 77..86
    0x53, 0x5F, 0x5C, 0x59, 0x62, 0x54, 0x60, 0x5D, 0x5A, 0x55,              // 87..96 keypad
    0x61, 0x5E, 0x5B, 0x63, 0x56, 0x57, 0x58,                                // 97..103
    0x64, 0x85, 0x89, 0x86,                                                  // 104..107
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                                      // 108..113
};

namespace {

const KeyCodeRow* FindByVirtualKey(int vk) {
  for (const KeyCodeRow& row : KeyCodeTable)
    if (row.vk == vk) return &row;
  return nullptr;
}

const KeyCodeRow* FindByUsage(int usage) {
  for (const KeyCodeRow& row : KeyCodeTable)
    if (row.usage == usage) return &row;
  return nullptr;
}

// Scan code 0 means "the layout has no such key": it must not match the
// scan-less rows from Print Screen on.
const KeyCodeRow* FindByScan(std::uint32_t scan) {
  if (scan == 0) return nullptr;
  for (const KeyCodeRow& row : KeyCodeTable)
    if (static_cast<std::uint32_t>(row.scan) == scan) return &row;
  return nullptr;
}

const FixedScanRow* FindFixedScan(std::uint32_t scan) {
  for (const FixedScanRow& row : FixedScanVirtualKeys)
    if (static_cast<std::uint32_t>(row.scan) == scan) return &row;
  return nullptr;
}

// Usages 0x04..0x45 (letters, digits, Enter..Caps Lock, F1..F12) are the
// keys whose virtual key the active layout decides.
bool IsLayoutDependentUsage(int usage) { return usage >= 4 && usage <= 69; }

const KeyboardLayout* g_active_layout = nullptr;

std::u16string Ascii(const char* s) {
  return std::u16string(s, s + std::char_traits<char>::length(s));
}

}  // namespace

const KeyboardLayout& UsKeyboardLayout() {
  static const KeyboardLayout us{
      [](std::uint32_t vk) -> std::uint32_t {
        const KeyCodeRow* row = FindByVirtualKey(static_cast<int>(vk));
        return row ? static_cast<std::uint32_t>(row->scan) : 0;
      },
      [](std::uint32_t scan) -> std::uint32_t {
        const KeyCodeRow* row = FindByScan(scan);
        return row ? static_cast<std::uint32_t>(row->vk) : 0;
      },
  };
  return us;
}

const KeyboardLayout& ActiveKeyboardLayout() {
  return g_active_layout ? *g_active_layout : UsKeyboardLayout();
}

void SetActiveKeyboardLayout(const KeyboardLayout* layout) { g_active_layout = layout; }

bool VirtualKeyToUsage(int vk, int& usage) {
  usage = 0;
  const KeyCodeRow* row = FindByVirtualKey(vk);
  if (!row) return false;
  usage = row->usage;
  if (IsLayoutDependentUsage(usage)) {
    // Store the physical key's usage, whatever the layout calls it.
    const KeyCodeRow* physical =
        FindByScan(ActiveKeyboardLayout().vk_to_scan(static_cast<std::uint32_t>(vk)));
    if (physical) usage = physical->usage;
  }
  return true;
}

bool UsageToVirtualKey(int usage, int& vk) {
  vk = 0;
  const KeyCodeRow* row = FindByUsage(usage);
  if (!IsLayoutDependentUsage(usage)) {
    if (!row) return false;
    vk = row->vk;
    return true;
  }
  std::uint32_t scan = row ? static_cast<std::uint32_t>(row->scan) : 0;
  if (row) {
    const FixedScanRow* fixed = FindFixedScan(scan);
    vk = fixed ? fixed->vk : static_cast<int>(ActiveKeyboardLayout().scan_to_vk(scan));
  }
  char buf[96];
  std::snprintf(buf, sizeof buf, "TanslateUID2VK UsageID:%x,uiScancode:%x", usage, scan);
  std::u16string line = Ascii(buf);
  // The trace line mixes in a full-width comma and colon.
  std::snprintf(buf, sizeof buf, "%x\n", static_cast<unsigned>(vk));
  line += u"\uFF0CiVirtualKey\uFF1A";
  line += Ascii(buf);
  Trace(line);
  return row != nullptr;
}

std::u16string KeyDisplayName(int vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
    return std::u16string(1, static_cast<char16_t>(vk));
  if (vk >= 96 && vk <= 105)
    return u"Num " + std::u16string(1, static_cast<char16_t>(u'0' + vk - 96));
  if (vk >= 112 && vk <= 123) return u"F" + Ascii(std::to_string(vk - 111).c_str());
  switch (vk) {
    case 8:
      return u"BackSpace";
    case 9:
      return u"Tab";
    case 13:
      return u"Enter";
    case 19:
      return u"Pause";
    case 20:
      return u"Caps Lock";
    case 27:
      return u"Esc";
    case 32:
      return u"Space";
    case 33:
      return u"Page Up";
    case 34:
      return u"Page Down";
    case 35:
      return u"End";
    case 36:
      return u"Home";
    case 37:
      return u"Left";
    case 38:
      return u"Up";
    case 39:
      return u"Right";
    case 40:
      return u"Down";
    case 41:
      return u"Select";
    case 43:
      return u"Execute";
    case 44:
      return u"Prnt Scrn";
    case 45:
      return u"Insert";
    case 46:
      return u"Delete";
    case 47:
      return u"Help";
    case 91:
      return u"Left Windows";
    case 92:
      return u"Right Windows";
    case 93:
      return u"APP";
    case 106:
      return u"Num *";
    case 107:
      return u"Num +";
    case 108:
      return u"Num Enter";
    case 109:
      return u"Num -";
    case 110:
      return u"Num Del";
    case 111:
      return u"Num /";
    case 144:
      return u"Num Lock";
    case 145:
      return u"Scroll Lock";
    case 160:
      return u"Shift";
    case 161:
      return u"Right Shift";
    case 162:
      return u"Ctrl";
    case 163:
      return u"Right Ctrl";
    case 164:
      return u"Alt";
    case 165:
      return u"Right Alt";
    case 186:
      return u";";
    case 187:
      return u"=";
    case 188:
      return u",";
    case 189:
      return u"-";
    case 190:
      return u".";
    case 191:
      return u"/";
    case 192:
      return u"`";
    case 193:
      return u"-\\";
    case 194:
      return u"Num .";
    case 219:
      return u"[";
    case 220:
      return u"\\";
    case 221:
      return u"]";
    case 222:
      return u"'";
    case 226:
      return u"|\\";
    case 241:
      return u"L-Button";
    case 242:
      return u"R-Button";
    case 243:
      return u"M-Button";
    case 244:
      return u"Button 4";
    case 245:
      return u"Button 5";
    case 255:
      return u"\\";
    default:
      return u"";
  }
}

std::u16string MouseButtonName(int code) {
  // The macro library stores L, R, M, 4, 5 as 240..244; the key-name table
  // numbers the same buttons 241..245.
  if (code >= kMouseButtonFirst && code <= kMouseButtonLast) return KeyDisplayName(code + 1);
  return u"";
}

}  // namespace vantrel
