#include "model/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/text.h"

namespace vantrel {
namespace {

using K = CommandKind;

std::string Joined(const std::vector<std::u16string>& args) {
  std::string s;
  for (const auto& a : args) s += "[" + U16ToUtf8(a) + "]";
  return s;
}

TEST(CommandLine, ArgumentsGiveTheirCommand) {
  const struct {
    std::vector<std::u16string> args;
    Command want;
  } cases[] = {
      {{}, {K::Window}},
      {{u"/?"}, {K::Usage}},
      {{u"-?"}, {K::Usage}},
      {{u"/profile", u"1"}, {K::Profile, 0}},
      {{u"-PROFILE", u"4"}, {K::Profile, 3}},
      {{u"/Export", u"2", u"C:\\out\\Mine.gkp"}, {K::Export, 1, u"C:\\out\\Mine.gkp"}},
      {{u"/import", u"3", u"-dash.gkp"}, {K::Import, 2, u"-dash.gkp"}},
      {{u"-backup", u"/home/u/all.vbak"}, {K::Backup, -1, u"/home/u/all.vbak"}},
      {{u"/RESTORE", u"Sch\u00F6n \u4E2D.vbak"}, {K::Restore, -1, u"Sch\u00F6n \u4E2D.vbak"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseCommandLine(c.args), c.want) << Joined(c.args);
}

TEST(CommandLine, AnythingElseIsBadUsage) {
  const std::vector<std::u16string> cases[] = {
      {u""},
      {u"profile", u"1"},  // no prefix
      {u"/"},
      {u"--profile", u"1"},
      {u"/profile:1"},
      {u"/profiles", u"1"},
      {u"/prof", u"1"},
      {u"/\u0130mport", u"1", u"x"},  // only ASCII letters fold
      {u"/profile"},
      {u"/profile", u"1", u"2"},
      {u"/profile", u"0"},
      {u"/profile", u"5"},
      {u"/profile", u"01"},
      {u"/profile", u"+1"},
      {u"/profile", u"-1"},
      {u"/profile", u"1 "},
      {u"/profile", u"\uFF11"},  // a full-width digit
      {u"/profile", u""},
      {u"/export", u"1"},
      {u"/export", u"x.gkp"},
      {u"/export", u"1", u""},
      {u"/export", u"1", u"  "},
      {u"/import", u"2", u"a.gkp", u"b.gkp"},
      {u"/backup"},
      {u"/backup", u""},
      {u"/restore", u"a.vbak", u"/?"},
      {u"/?", u"x"},
      {u"C:\\some\\file.vbak"},
  };
  for (const auto& args : cases)
    EXPECT_EQ(ParseCommandLine(args).kind, K::BadUsage) << Joined(args);
}

}  // namespace
}  // namespace vantrel
