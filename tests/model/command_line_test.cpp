#include "model/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "model/text.h"

namespace vantrel {
namespace {

using K = CommandKind;

// "a|b|c" as the words a, b, c: the tables stay one line per case.
std::vector<std::u16string> Words(std::u16string_view line) {
  std::vector<std::u16string> words;
  for (std::size_t from = 0;;) {
    const std::size_t bar = std::min(line.find(u'|', from), line.size());
    words.emplace_back(line.substr(from, bar - from));
    if (bar == line.size()) return words;
    from = bar + 1;
  }
}

TEST(CommandLine, ArgumentsGiveTheirCommand) {
  EXPECT_EQ(ParseCommandLine({}), Command{K::Window});
  const struct {
    std::u16string_view args;
    Command want;
  } cases[] = {
      {u"/?", {K::Usage}},
      {u"-?", {K::Usage}},
      {u"/profile|1", {K::Profile, 0}},
      {u"-PROFILE|4", {K::Profile, 3}},
      {u"/Export|2|C:\\out\\Mine.gkp", {K::Export, 1, u"C:\\out\\Mine.gkp"}},
      {u"/import|3|-dash.gkp", {K::Import, 2, u"-dash.gkp"}},
      {u"-backup|/home/u/all.vbak", {K::Backup, -1, u"/home/u/all.vbak"}},
      {u"/RESTORE|Sch\u00F6n \u4E2D.vbak", {K::Restore, -1, u"Sch\u00F6n \u4E2D.vbak"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseCommandLine(Words(c.args)), c.want) << U16ToUtf8(c.args);
}

TEST(CommandLine, AnythingElseIsBadUsage) {
  const std::initializer_list<std::u16string_view> not_switches = {
      u"",           u"profile|1",   u"/",       u"--profile|1",
      u"/profile:1", u"/profiles|1", u"/prof|1", u"/\u0130mport|1|x" /* only ASCII folds */,
      u"C:\\x.vbak"};
  const std::initializer_list<std::u16string_view> bad_numbers = {
      u"/profile|0",  u"/profile|5",      u"/profile|01", u"/profile|+1",  u"/profile|-1",
      u"/profile|1 ", u"/profile|\uFF11", u"/profile|",   u"/export|x.gkp"};
  const std::initializer_list<std::u16string_view> bad_operands = {
      u"/profile",   u"/profile|1|2", u"/export|1",
      u"/export|1|", u"/export|1|  ", u"/import|2|a.gkp|b.gkp",
      u"/backup",    u"/backup|",     u"/restore|a.vbak|/?",
      u"/?|x"};
  for (const auto& table : {not_switches, bad_numbers, bad_operands})
    for (std::u16string_view args : table)
      EXPECT_EQ(ParseCommandLine(Words(args)).kind, K::BadUsage) << U16ToUtf8(args);
}

}  // namespace
}  // namespace vantrel
