#include "model/key_functions.h"

#include <array>
#include <cstring>

#include "model/key_codes.h"
#include "model/text.h"

namespace vantrel {
namespace {

constexpr std::array<std::uint8_t, 18> kSpecialCodes = {
    178, 176, 177, 196, 187, 185, 186, 184, 179, 180, 189, 190, 191, 199, 193, 183, 197, 198};

constexpr FunctionEntry kWindowsShortcuts[] = {
    {9, kModCtrl, 0x1B}, {9, kModCtrl, 0x06}, {9, kModCtrl, 0x19}, {9, kModCtrl, 0x04},
    {9, kModCtrl, 0x09}, {9, kModCtrl, 0x11}, {9, kModCtrl, 0x13}, {9, kModCtrl, 0x16},
    {9, kModCtrl, 0x1D}, {9, kModAlt, 0x2B},  {9, kModAlt, 0x3D},  {9, kModWin, 0x0F},
    {9, kModWin, 0x15},  {9, kModWin, 0x07}};

FunctionEntry FactoryDefault(int key_index) {
  if (key_index >= 0 && key_index <= 5)
    return {2, kModCtrl, static_cast<std::uint8_t>(0x1E + key_index)};
  if (key_index >= 6 && key_index <= 9) return {2, static_cast<std::uint8_t>(5 + key_index - 6), 0};
  if (key_index >= 10 && key_index <= 14)
    return {10, 0, static_cast<std::uint8_t>(0x49 + key_index - 10)};
  return {0, 0, 0};
}

std::u16string UsageName(int key_code) {
  int vk = 0;
  if (!UsageToVirtualKey(key_code, vk)) return {};
  return KeyDisplayName(vk);
}

std::u16string Text(std::span<const std::u16string> names, size_t n) {
  return n < names.size() ? names[n] : std::u16string();
}

std::u16string Number(int n) {
  std::u16string s;
  const std::string digits = std::to_string(n);
  s.assign(digits.begin(), digits.end());
  return s;
}

// Codes of the media and system functions that have a language text.
struct SpecialText {
  int code;
  int text;  // language entry; -1: `fixed`
  const char16_t* fixed;
};
constexpr SpecialText kSpecialTexts[] = {
    {176, 5, nullptr},
    {177, 6, nullptr},
    {178, 4, nullptr},
    {179, 15, nullptr},
    {180, 14, nullptr},
    {183, 20, nullptr},
    {184, 11, nullptr},
    {185, 9, nullptr},
    {186, 10, nullptr},
    {187, 8, nullptr},
    {196, 7, nullptr},
    {197, 21, nullptr},
    {198, 22, nullptr},
    {78, 16, nullptr},
    {79, 17, nullptr},
    {192, -1, u"Screensave"},
    {194, -1, u"Explorer"},
    // Codes the menu does not offer and the language module names nowhere.
    {189, -1, u"Refresh"},
    {190, -1, u"Stop loading"},
    {191, -1, u"Home page"},
    {193, -1, u"Sleep"},
    {199, -1, u"Favourites"}};

std::u16string SpecialCaption(int code, std::span<const std::u16string> names) {
  for (const SpecialText& s : kSpecialTexts)
    if (s.code == code) return s.text >= 0 ? Text(names, s.text) : std::u16string(s.fixed);
  return {};
}

std::u16string ShortcutCaption(const KeyAssignment& key, std::span<const std::u16string> names) {
  if (key.modifiers == kModAlt && key.keyCode == 0x3D) return Text(names, 13);
  if (key.modifiers == kModWin && key.keyCode == 0x15) return Text(names, 19);
  if (key.modifiers == kModWin && key.keyCode == 0x07) return Text(names, 18);
  // Ctrl+C and the others have no language text: the combination says it.
  return CombinationText(key.modifiers, key.keyCode);
}

std::u16string FileNameOf(const char16_t* path, size_t capacity) {
  size_t end = 0;
  while (end < capacity && path[end]) ++end;
  size_t start = end;
  while (start > 0 && path[start - 1] != u'\\' && path[start - 1] != u'/' &&
         path[start - 1] != u':')
    --start;
  return std::u16string(path + start, path + end);
}

}  // namespace

FunctionEntry FunctionCodeTable(int code, int key_index) {
  if (code == 1) return {1, 0, 0};
  if (code == kFunctionCombination) return {2, 0, 0};
  if (code == kFunctionMacro) return {3, 0, 0};
  if (code == 11) return {11, static_cast<std::uint8_t>(key_index + 1), 0};
  if (code >= 16 && code <= 19) {
    constexpr std::uint8_t kSub[] = {1, 4, 5, 6};
    return {4, kSub[code - 16], 0};
  }
  if (code >= 24 && code <= 41) return {6, 0, kSpecialCodes[static_cast<size_t>(code - 24)]};
  if (code == kFunctionFactoryDefault) return FactoryDefault(key_index);
  if (code >= 64 && code <= 77) return kWindowsShortcuts[code - 64];
  if (code == 78 || code == 79) return {6, 0, static_cast<std::uint8_t>(code)};
  if (code >= 240 && code <= 244) return {7, static_cast<std::uint8_t>(code - 239), 0};
  if (code == 245) return {8, 0, 0};
  if (code == 246) return {5, 0, 0};
  return {0, 0, 0};
}

int CommandFunctionCode(int id) {
  if (id == 1001) return kFunctionFactoryDefault;
  if (id == 1002) return kFunctionCombination;
  if (id == 1003) return 11;
  if (id >= 1007 && id <= 1012) return 16 + id - 1007;
  if (id >= 1013 && id <= 1030) return 24 + id - 1013;
  if (id >= 1031 && id <= 1037) return 240 + id - 1031;
  if (id == 1040) return 1;
  if (id >= 1050 && id <= 1063) return 64 + id - 1050;
  if (id == 1064 || id == 1065) return 78 + id - 1064;
  if (id >= kCommandFirstMacro && id <= 4000) return kFunctionMacro;
  return -1;
}

std::u16string CombinationText(std::uint8_t modifiers, int key_code) {
  std::u16string text;
  if (modifiers & kModCtrl) text += u"Ctrl+";
  if (modifiers & kModShift) text += u"Shift+";
  if (modifiers & kModAlt) text += u"Alt+";
  if (modifiers & kModWin) text += u"Win+";
  return text + UsageName(key_code);
}

std::u16string KeyAssignmentText(const KeyAssignment& key, std::span<const std::u16string> names) {
  switch (key.actionType) {
    case 1:
      return Text(names, 25);
    case 2:
      return CombinationText(key.modifiers, key.keyCode);
    case 3: {
      size_t n = 0;
      while (n < static_cast<size_t>(kMacroNameChars) && key.macroName[n]) ++n;
      return std::u16string(key.macroName, n);
    }
    case 4:
      return u"Function " + Number(key.modifiers);
    case 5:
      return u"Key off";
    case 6:
      return SpecialCaption(key.keyCode, names);
    case 7: {
      const std::u16string name = MouseButtonName(kMouseButtonFirst + key.modifiers - 1);
      return name.empty() ? u"Mouse button" : name;
    }
    case 8:
      return u"Double click";
    case 9:
      return ShortcutCaption(key, names);
    case 10:
      return UsageName(key.keyCode);
    case 11:
      return FileNameOf(key.programPath, kProgramPathChars);
    default:
      return {};
  }
}

std::vector<MacroMenuEntry> MacroMenuEntries(const MacroLibrary& library,
                                             const KeyAssignment& key) {
  std::vector<MacroMenuEntry> entries;
  const std::u16string bound = FromFixed(key.macroName);
  for (size_t i = 0; i < library.size() && i < static_cast<size_t>(4000 - kCommandFirstMacro);
       ++i) {
    const std::u16string name = FromFixed(library[i]->name);
    const bool marked = key.actionType == kActionTypeMacro && EqualsNoCase(Trim(name), bound);
    entries.push_back(
        {kCommandFirstMacro + static_cast<int>(i), name, marked, CanBindToKey(*library[i])});
  }
  return entries;
}

Combination CombinationOf(const KeyAssignment& key) {
  Combination c;
  c.keyCode = static_cast<std::uint8_t>(key.keyCode & 0xFF);
  for (int bit = 0; bit < 4; ++bit) c.flags[bit + 1] = (key.modifiers >> bit) & 1;
  return c;
}

std::uint8_t CombinationModifiers(const Combination& c) {
  if (c.flags[0]) return 0;
  return static_cast<std::uint8_t>((c.flags[1] ? kModCtrl : 0) | (c.flags[2] ? kModShift : 0) |
                                   (c.flags[3] ? kModAlt : 0) | (c.flags[4] ? kModWin : 0));
}

bool ApplyKeyCommand(SettingsRecord& record, int profile, int key_index, int command,
                     const MacroLibrary& library, const Combination* combination) {
  if (profile < 0 || profile >= kProfileCount || key_index < 0 || key_index >= 6) return false;
  const int code = CommandFunctionCode(command);
  if (code < 0) return false;
  const MacroRecord* macro = nullptr;
  if (code == kFunctionMacro) {
    const size_t index = static_cast<size_t>(command - kCommandFirstMacro);
    if (index >= library.size() || !library[index] || !CanBindToKey(*library[index])) return false;
    macro = library[index].get();
  }
  if (code == kFunctionCombination && !combination) return false;

  KeyAssignment& key = record.profiles[profile].MacroKeyInfo[key_index];
  const FunctionEntry entry = FunctionCodeTable(code, key_index);
  key.functionCode = static_cast<std::uint8_t>(code);
  key.actionType = entry.actionType;
  if (code == kFunctionCombination) {
    key.keyCode = combination->keyCode;
    key.modifiers = CombinationModifiers(*combination);
  } else {
    key.modifiers = entry.modifiers;
    key.keyCode = entry.keyCode;
  }
  if (macro) {
    BindMacroToKey(*macro, command - kCommandFirstMacro, key);
  } else {
    key.eventCount = 0;
    std::memset(key.events, 0, sizeof(key.events));
    std::memset(key.macroName, 0, sizeof(key.macroName));
  }
  record.MacroKeyInfoChanged[profile][key_index] = 1;
  return true;
}

}  // namespace vantrel
