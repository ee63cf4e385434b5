// What a programmable key does, as the macro page sets and shows it: the
// function codes of its menu, their (actionType, modifiers, keyCode) triple,
// the menu command that sends each code, and the caption of an assignment.
//
//   const FunctionEntry e = FunctionCodeTable(48, key_index);  // factory default
//   int code = CommandFunctionCode(1013);                      // 24: media player
//   std::u16string caption = KeyAssignmentText(key, names);    // names: lang 500..526
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/macro_library.h"
#include "model/settings_record.h"

namespace vantrel {

struct FunctionEntry {
  std::uint8_t actionType;
  std::uint8_t modifiers;  // the sub-code
  std::uint8_t keyCode;
};

constexpr int kFunctionCombination = 2;
constexpr int kFunctionMacro = 3;
constexpr int kFunctionFactoryDefault = 48;

// The triple of `function_code` for the key at `key_index` (used by the
// factory default and the program function). Unknown codes give {0, 0, 0}.
FunctionEntry FunctionCodeTable(int function_code, int key_index);

constexpr int kCommandMacroManager = 1099;
constexpr int kCommandFirstMacro = 1100;
// The function code a menu command sets: -1 for commands that set none
// (the macro manager, unknown ids); kFunctionMacro from 1100 on.
int CommandFunctionCode(int command);

// Modifier bits of a key combination, in caption order.
constexpr std::uint8_t kModCtrl = 1, kModShift = 2, kModAlt = 4, kModWin = 8;

// "Ctrl+Shift+Alt+Win+" for the set bits, then the name of the HID usage
// (empty when the usage names no key).
std::u16string CombinationText(std::uint8_t modifiers, int key_code);

// The caption of a key button. `names` is the page's text table (entry N =
// language string 500 + N); a shorter table gives empty texts.
std::u16string KeyAssignmentText(const KeyAssignment& key, std::span<const std::u16string> names);

// One macro line of a key's menu: command 1100 + index, the name, whether
// it is the macro the key carries (trimmed names, letter case ignored, as
// keys find their macros), and whether it can be bound at all (a name too
// long for a key is shown, disabled).
struct MacroMenuEntry {
  int command;
  std::u16string name;
  bool marked;
  bool bindable;
};
std::vector<MacroMenuEntry> MacroMenuEntries(const MacroLibrary& library, const KeyAssignment& key);

// The result of the key combination dialog: the HID usage and the flags
// [0] no modifiers, [1] Ctrl, [2] Shift, [3] Alt, [4] Win.
struct Combination {
  std::uint8_t keyCode = 0;
  std::uint8_t flags[5] = {};
};
// The dialog's preset for a key: its key code and modifier bits.
Combination CombinationOf(const KeyAssignment& key);
std::uint8_t CombinationModifiers(const Combination& combination);

// Carries out menu `command` on assignment `key_index` (0..5) of profile
// `profile` (the one that was active when the key's menu opened): sets the
// function, fills or clears the macro fields and flags the key as changed
// in that profile. `combination` is the dialog's OK result for command 1002
// (nullptr: cancelled). False when nothing changed (manager, cancelled
// dialog, unknown command, profile or index, a macro that cannot be bound).
bool ApplyKeyCommand(SettingsRecord& record, int profile, int key_index, int command,
                     const MacroLibrary& library, const Combination* combination);

}  // namespace vantrel
