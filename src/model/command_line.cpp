// Parsing the command line into one Command; running it is the shell's.
#include "model/command_line.h"

#include <optional>
#include <string_view>

#include "model/text.h"

namespace vantrel {
namespace {

struct Switch {
  std::u16string_view name;
  CommandKind kind;
  bool takes_profile;
  bool takes_file;
};

constexpr Switch kSwitches[] = {
    {u"profile", CommandKind::Profile, true, false}, {u"export", CommandKind::Export, true, true},
    {u"import", CommandKind::Import, true, true},    {u"backup", CommandKind::Backup, false, true},
    {u"restore", CommandKind::Restore, false, true}, {u"?", CommandKind::Usage, false, false},
};

const Switch* FindSwitch(std::u16string_view arg) {
  if (arg.size() < 2 || (arg[0] != u'/' && arg[0] != u'-')) return nullptr;
  for (const Switch& s : kSwitches)
    if (EqualsNoCaseAscii(arg.substr(1), s.name)) return &s;
  return nullptr;
}

std::optional<int> ProfileSlotOf(std::u16string_view n) {
  if (n.size() != 1 || n[0] < u'1' || n[0] > u'4') return std::nullopt;
  return n[0] - u'1';
}

}  // namespace

Command ParseCommandLine(std::span<const std::u16string> args) {
  if (args.empty()) return {};
  const Command bad{CommandKind::BadUsage};
  const Switch* s = FindSwitch(args[0]);
  if (!s || args.size() != 1 + std::size_t{s->takes_profile} + std::size_t{s->takes_file})
    return bad;
  Command command{s->kind};
  std::size_t next = 1;
  if (s->takes_profile) {
    const std::optional<int> slot = ProfileSlotOf(args[next++]);
    if (!slot) return bad;
    command.profile = *slot;
  }
  if (s->takes_file) {
    // No file name is blank (the platform drops trailing blanks of a name).
    if (Trim(args[next]).empty()) return bad;
    command.file = args[next];
  }
  return command;
}

}  // namespace vantrel
