// The program's command line: Tevrin.exe with arguments does one job
// without showing its window and exits with an ExitCode; without arguments
// it starts as always. The arguments come in already split into words.
//
//   Tevrin.exe /profile N          switch the monitor to profile N (1..4)
//   Tevrin.exe /export N FILE      write profile N to FILE
//   Tevrin.exe /import N FILE      import profile file FILE into profile N, apply
//   Tevrin.exe /backup FILE        write a complete backup to FILE
//   Tevrin.exe /restore FILE       restore a complete backup, apply
//   Tevrin.exe /?                  usage
//
// A switch is one '/' or '-' (for those used to Unix tools) and its name in
// any letter case; "--backup" is no switch, so each command keeps a single
// spelling. N is one digit 1..4 ("01", "+2", "2x" are not). Operands go by
// position, so a FILE may itself begin with '/' or '-'. Anything else (an
// unknown switch, a missing or extra operand, a blank FILE, a bare word) is
// bad usage: an argument never starts the window unnoticed.
#pragma once

#include <span>
#include <string>

namespace vantrel {

enum class CommandKind { Window, Usage, BadUsage, Profile, Export, Import, Backup, Restore };

struct Command {
  CommandKind kind = CommandKind::Window;
  int profile = -1;     // Profile, Export, Import: the slot 0..3 (the user's N minus one)
  std::u16string file;  // Export, Import, Backup, Restore: as given
  bool operator==(const Command&) const = default;
};

// `args` without the program name.
Command ParseCommandLine(std::span<const std::u16string> args);

// The process's exit code after a command (Usage exits Done).
enum class ExitCode : int {
  Done = 0,
  BadUsage = 1,
  FileFailed = 2,  // a file could not be read or written, or is not the right kind
  NoMonitor = 3,   // no monitor program took the change
};

}  // namespace vantrel
