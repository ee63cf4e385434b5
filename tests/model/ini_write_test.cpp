// Writes: where new keys and sections go, what a changed line looks like,
// deletes, and that every line a write does not touch stays byte for byte.
//
// Rows that differ from the platform's observed output on purpose:
// - W01, W09, W10, W12, W14, W15, W21, W27, W28, W31 (new files): ours are
//   UTF-16LE with a mark, so the decoded text is compared.
// - W03, W06, W32, P32.b: Wine rewrites the whole file in normal form; we
//   keep the untouched lines (blank lines, spacing, a second "=b") as they
//   were, so those rows carry our own expected bytes.
// - W13: a line break in a value would inject key "b"; we store the first
//   line only.
// - W22, W23 (NULL arguments) have no counterpart in this interface; W24
//   (missing folder) is covered by the save tests, where we create it.
// - D05 (delete on a missing file): we write nothing, Windows creates an
//   empty file. D08: Wine does not trim the section name of a delete; we do.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

#include "ini_test_util.h"
#include "model/text.h"

namespace vantrel {
namespace {

using ini_test::Bytes;
using ini_test::FromBytes;
using ini_test::Text;
using ini_test::Utf16File;

// Read: ReadString(section, key, "d") must give `value`.
enum class Op { Write, DeleteKey, DeleteSection, Read };

struct WriteCase {
  const char* id;
  std::optional<std::string_view> before;  // nullopt: no file yet
  Op op;
  std::u16string_view section, key, value;
  std::string_view after;
};

const WriteCase kWrites[] = {
    {"W01", std::nullopt, Op::Write, u"s", u"k", u"v", "[s]\r\nk=v\r\n"},
    {"W02", "[s]\r\na=1\r\n[t]\r\nb=2\r\n", Op::Write, u"s", u"c", u"3",
     "[s]\r\na=1\r\nc=3\r\n[t]\r\nb=2\r\n"},
    {"W03", "[s]\r\na=1\r\n\r\n\r\n[t]\r\nb=2\r\n", Op::Write, u"s", u"c", u"3",
     "[s]\r\na=1\r\nc=3\r\n\r\n\r\n[t]\r\nb=2\r\n"},
    {"W04", "[s]\r\na=1\r\n", Op::Write, u"new", u"k", u"v", "[s]\r\na=1\r\n[new]\r\nk=v\r\n"},
    {"W05", "; top\r\n[s]\r\n; about b\r\nb=2\r\na=1\r\n; tail\r\n", Op::Write, u"s", u"a", u"9",
     "; top\r\n[s]\r\n; about b\r\nb=2\r\na=9\r\n; tail\r\n"},
    {"W06", "  [ s ]  \n  a  =  1  \nb=2\n\n[t]\nz = 0\n", Op::Write, u"s", u"b", u"3",
     "  [ s ]  \n  a  =  1  \nb=3\r\n\n[t]\nz = 0\n"},
    {"W07", "[MySec]\r\nMyKey=1\r\n", Op::Write, u"MYSEC", u"mykey", u"2",
     "[MySec]\r\nMyKey=2\r\n"},
    {"W08", "[s]\n  k = v  \n\n", Op::Write, u"s", u"k", u"v", "[s]\n  k = v  \n\n"},
    {"W09", std::nullopt, Op::Write, u"s", u"k", u"  v  ", "[s]\r\nk=v  \r\n"},
    {"W10", std::nullopt, Op::Write, u"  s  ", u"  k  ", u"v", "[s  ]\r\nk  =v\r\n"},
    {"W11", "[s]\r\nk=1\r\n", Op::Write, u"  S ", u" K ", u"2", "[s]\r\nk=2\r\n"},
    {"W12", std::nullopt, Op::Write, u"s", u"k", u"", "[s]\r\nk=\r\n"},
    {"W13 first line", std::nullopt, Op::Write, u"s", u"k", u"a\r\nb=c", "[s]\r\nk=a\r\n"},
    {"W14", std::nullopt, Op::Write, u"s", u"a=b", u"v", "[s]\r\na=b=v\r\n"},
    {"W15", std::nullopt, Op::Write, u"a]b", u"k", u"v", "[a]b]\r\nk=v\r\n"},
    {"W16", "[s]\r\nk=1\r\nk=2\r\n", Op::Write, u"s", u"k", u"9", "[s]\r\nk=9\r\nk=2\r\n"},
    {"W17", "[s]\r\na=1\r\n[s]\r\nb=2\r\n", Op::Write, u"s", u"b", u"9",
     "[s]\r\na=1\r\nb=9\r\n[s]\r\nb=2\r\n"},
    {"W18", "x=1\r\n[s]\r\nk=v\r\n", Op::Write, u"s", u"k", u"w", "x=1\r\n[s]\r\nk=w\r\n"},
    {"W19", "", Op::Write, u"s", u"k", u"v", "[s]\r\nk=v\r\n"},
    {"W20", "[s]\r\nk\r\n", Op::Write, u"s", u"k", u"v", "[s]\r\nk=v\r\n"},
    {"W21", std::nullopt, Op::Write, u"s", u"k", u"\"q\"", "[s]\r\nk=\"q\"\r\n"},
    {"W25", "[s]\r\nk=v\r\n", Op::Write, u"s", u"k", u"v w  ", "[s]\r\nk=v w  \r\n"},
    {"W27", std::nullopt, Op::Write, u"s", u"", u"v", "[s]\r\n=v\r\n"},
    {"W28", std::nullopt, Op::Write, u"", u"k", u"v", "k=v\r\n"},
    {"W29", "[s]\r\na=1\r\n;c\r\n[t]\r\n", Op::Write, u"s", u"b", u"2",
     "[s]\r\na=1\r\n;c\r\nb=2\r\n[t]\r\n"},
    {"W32", "[s]\r\n  ; note = keep  this \r\nk=1\r\n", Op::Write, u"s", u"k", u"2",
     "[s]\r\n  ; note = keep  this \r\nk=2\r\n"},
    {"P32.b", "[s]\r\n=a\r\n=b\r\nk=v\r\n", Op::Write, u"s", u"k", u"w",
     "[s]\r\n=a\r\n=b\r\nk=w\r\n"},
    {"no final break", "[s]\r\nk=v", Op::Write, u"s", u"n", u"w", "[s]\r\nk=v\r\nn=w\r\n"},
    {"no final break, new section", "[s]\r\nk=v", Op::Write, u"t", u"n", u"w",
     "[s]\r\nk=v\r\n[t]\r\nn=w\r\n"},
    {"top area first", "[s]\r\nk=v\r\n", Op::Write, u"", u"n", u"w", "n=w\r\n[s]\r\nk=v\r\n"},
    {"explicit [] first", "x=1\r\n[]\r\ny=2\r\n", Op::Write, u"", u"n", u"w",
     "x=1\r\n[]\r\ny=2\r\nn=w\r\n"},
    {"header-like key refused", "[s]\r\n", Op::Write, u"s", u"[k]", u"v", "[s]\r\n"},
    {"CR-only file", "[s]\rk=1\r", Op::Write, u"s", u"k", u"2", "[s]\rk=2\r\n"},
    {"D01", "[s]\r\na=1\r\nb=2\r\n[t]\r\nc=3\r\n", Op::DeleteKey, u"s", u"a", u"",
     "[s]\r\nb=2\r\n[t]\r\nc=3\r\n"},
    {"D02", "[s]\r\na=1\r\n", Op::DeleteKey, u"s", u"a", u"", "[s]\r\n"},
    {"D03", "[s]\r\n; c\r\na=1\r\n[t]\r\nc=3\r\n", Op::DeleteSection, u"S", u"", u"",
     "[t]\r\nc=3\r\n"},
    {"D04", "[s]\n a = 1 \n", Op::DeleteKey, u"s", u"zz", u"", "[s]\n a = 1 \n"},
    {"D06", "[s]\r\na=1\r\n", Op::DeleteSection, u"s", u"", u"", ""},
    {"D07", "[s]\r\nk=1\r\nk=2\r\n", Op::DeleteKey, u"s", u"k", u"", "[s]\r\nk=2\r\n"},
    {"D09", "[s]\r\na=1\r\n[t]\r\n[S]\r\nb=2\r\n", Op::DeleteSection, u"s", u"", u"",
     "[t]\r\n[S]\r\nb=2\r\n"},
    {"delete top area", "x=1\r\n[s]\r\n", Op::DeleteSection, u"", u"", u"", "[s]\r\n"},
};

void Apply(IniFile& ini, Op op, std::u16string_view section, std::u16string_view key,
           std::u16string_view value) {
  switch (op) {
    case Op::Write:
      ini.WriteString(section, key, value);
      break;
    case Op::DeleteKey:
      ini.DeleteKey(section, key);
      break;
    case Op::DeleteSection:
      ini.DeleteSection(section);
      break;
    case Op::Read:
      break;
  }
}

TEST(IniWrite, PlacesAndKeepsLines) {
  for (const WriteCase& c : kWrites) {
    IniFile ini = c.before ? FromBytes(*c.before) : IniFile();
    Apply(ini, c.op, c.section, c.key, c.value);
    std::string out = Bytes(ini);
    if (c.before) {
      EXPECT_EQ(out, c.after) << c.id;
      EXPECT_EQ(ini.dirty(), out != *c.before) << c.id;
    } else {
      EXPECT_EQ(out.substr(0, 2), "\xFF\xFE") << c.id;
      EXPECT_EQ(Text(out), Text(c.after)) << c.id;
    }
    // What we wrote reads back the same after a fresh parse.
    IniFile again = FromBytes(out);
    if (c.op == Op::Write) {
      EXPECT_EQ(again.ReadString(c.section, c.key, u"<none>"),
                ini.ReadString(c.section, c.key, u"<none>"))
          << c.id;
    }
  }
}

TEST(IniWrite, NumbersAndStructsTakeNormalForm) {
  IniFile ini = FromBytes("[s]\r\n");
  ini.WriteInt(u"s", u"neg", -7);
  ini.WriteInt(u"s", u"min", INT32_MIN);
  const std::uint8_t bytes[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0xAB};
  ini.WriteStruct(u"s", u"k", bytes);
  ini.WriteStruct(u"s", u"empty", {});
  EXPECT_EQ(Bytes(ini), "[s]\r\nneg=-7\r\nmin=-2147483648\r\nk=00017F80FFABAA\r\nempty=00\r\n");
  EXPECT_EQ(ini.ReadInt(u"s", u"min", 0), INT32_MIN);
}

TEST(IniWrite, ClearDropsEverything) {
  IniFile ini = FromBytes("; c\r\n[s]\r\nk=v\r\n");
  ini.Clear();
  ini.WriteString(u"n", u"k", u"1");
  EXPECT_EQ(Bytes(ini), "[n]\r\nk=1\r\n");
  EXPECT_EQ(ini.ReadString(u"s", u"k", u"d"), u"d");
}

// A batch of edits on a messy file: every line no write touched survives
// byte for byte, in order.
TEST(IniWrite, BatchKeepsUntouchedLines) {
  std::string before =
      "; header comment\r\n\r\n  [ Setting ]  \n\tA = 1 \n;; keep = me\r\nB=\"two\"\r\n"
      "\r\n[Other]\rX=9\r[Setting]\r\nA=hidden\r\n";
  IniFile ini = FromBytes(before);
  ini.WriteString(u"setting", u"b", u"3");
  ini.WriteString(u"setting", u"C", u"new");
  ini.WriteString(u"Third", u"D", u"4");
  ini.DeleteKey(u"other", u"x");
  EXPECT_EQ(Bytes(ini),
            "; header comment\r\n\r\n  [ Setting ]  \n\tA = 1 \n;; keep = me\r\nB=3\r\nC=new\r\n"
            "\r\n[Other]\r[Setting]\r\nA=hidden\r\n[Third]\r\nD=4\r\n");
  EXPECT_EQ(ini.ReadString(u"Setting", u"A", u""), u"1");
}

// Edits in a row on one document, with reads in between: each read must
// see what the edits before it left (an index that went stale would find a
// deleted line, miss an uncovered one or look in the wrong section), and
// the bytes must be what those edits give one at a time.
struct Step {
  Op op;
  std::u16string section, key, value;  // Read: value is the expected result
};

struct SequenceCase {
  const char* id;
  std::string before;
  std::vector<Step> steps;
  std::string after;
};

const std::string kPad(200, ' ');
const std::string kLongValue(300, 'v');

const SequenceCase kSequences[] = {
    {"deleting uncovers the next duplicate",
     "[s]\r\nk=1\r\nK=2\r\nk=3\r\n",
     {{Op::DeleteKey, u"s", u"k"},
      {Op::Read, u"s", u"k", u"2"},
      {Op::DeleteKey, u"s", u"K"},
      {Op::Read, u"s", u"k", u"3"},
      {Op::Write, u"s", u"k", u"9"},
      {Op::Read, u"s", u"K", u"9"}},
     "[s]\r\nk=9\r\n"},
    {"a bare name hides until deleted",
     "[s]\r\nk\r\nk=v\r\n",
     {{Op::Read, u"s", u"k", u"d"}, {Op::DeleteKey, u"s", u"k"}, {Op::Read, u"s", u"k", u"v"}},
     "[s]\r\nk=v\r\n"},
    {"a section in two parts",
     "[s]\r\na=1\r\n[t]\r\nx=0\r\n[S]\r\nb=2\r\na=3\r\n",
     {{Op::Read, u"s", u"b", u"d"},
      {Op::DeleteSection, u"s"},
      {Op::Read, u"s", u"a", u"3"},
      {Op::Read, u"s", u"b", u"2"},
      {Op::Write, u"s", u"c", u"4"},
      {Op::Read, u"t", u"x", u"0"}},
     "[t]\r\nx=0\r\n[S]\r\nb=2\r\na=3\r\nc=4\r\n"},
    {"[] sections, then the top area",
     "x=1\r\n[]\r\nx=2\r\n[]\r\nx=3\r\n",
     {{Op::Read, u"", u"x", u"2"},
      {Op::DeleteSection, u""},
      {Op::Read, u"", u"x", u"3"},
      {Op::DeleteSection, u""},
      {Op::Read, u"", u"x", u"1"},
      {Op::DeleteSection, u""},
      {Op::Read, u"", u"x", u"d"},
      {Op::Write, u"", u"y", u"4"}},
     "y=4\r\n"},
    {"a new key keeps its place when lines before it go",
     "[s]\r\na=1\r\n\r\nb=2\r\n\r\n[t]\r\n",
     {{Op::Write, u"s", u"c", u"3"}, {Op::DeleteKey, u"s", u"b"}, {Op::Write, u"s", u"d", u"4"}},
     "[s]\r\na=1\r\n\r\nc=3\r\nd=4\r\n\r\n[t]\r\n"},
    {"once the new keys go, the next goes after the last line left",
     "[s]\r\na=1\r\n\r\nb=2\r\n\r\n",
     {{Op::Write, u"s", u"c", u"3"},
      {Op::DeleteKey, u"s", u"b"},
      {Op::DeleteKey, u"s", u"c"},
      {Op::Write, u"s", u"d", u"4"}},
     "[s]\r\na=1\r\nd=4\r\n\r\n\r\n"},
    {"a key with '=' is a later entry of the name before it",
     "[s]\r\na=1\r\n",
     {{Op::Write, u"s", u"a=b", u"v"},
      {Op::Read, u"s", u"a", u"1"},
      {Op::DeleteKey, u"s", u"a"},
      {Op::Read, u"s", u"a", u"b=v"}},
     "[s]\r\na=b=v\r\n"},
    {"CR-only breaks and long lines",
     "[s]" + kPad + "junk\r" + "k" + kPad + "=" + kLongValue + "\rk=hidden\r[t]\rk=t\r",
     {{Op::Read, u"s", u"k", u"<long>"},
      {Op::Write, u"s", u"k", u"w"},
      {Op::Read, u"s", u"k", u"w"},
      {Op::DeleteKey, u"s", u"k"},
      {Op::Read, u"s", u"k", u"hidden"},
      {Op::Read, u"t", u"k", u"t"}},
     "[s]" + kPad + "junk\rk=hidden\r[t]\rk=t\r"},
    {"long code-page lines",
     "[\xE9" + kPad + "]\r\n\xE9" + kPad + "=\xE9\r\n",
     {{Op::Read, u"\u00E9", u"\u00E9", u"\u00E9"}, {Op::Write, u"\u00E9", u"\u00E9", u"x"}},
     "[\xE9" + kPad + "]\r\n\xE9=x\r\n"},
    // U+010D and U+0A0D hold a CR byte, U+0D0A both; only whole units break.
    {"UTF-16 names whose bytes look like breaks",
     Utf16File(u"[s]\r\n\u010D=1\r\n\u0A0D=2\r\n\u0D0A" + std::u16string(70, u'\u0A0D') +
               u"=3\r\n"),
     {{Op::Read, u"s", u"\u010D", u"1"},
      {Op::Read, u"s", u"\u0A0D", u"2"},
      {Op::DeleteKey, u"s", u"\u0A0D"},
      {Op::Read, u"s", u"\u0D0A" + std::u16string(70, u'\u0A0D'), u"3"}},
     Utf16File(u"[s]\r\n\u010D=1\r\n\u0D0A" + std::u16string(70, u'\u0A0D') + u"=3\r\n")},
};

TEST(IniWrite, IndexFollowsEachEdit) {
  for (const SequenceCase& c : kSequences) {
    IniFile ini = FromBytes(c.before);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      if (s.op == Op::Read) {
        const std::u16string want =
            s.value == u"<long>" ? std::u16string(kLongValue.begin(), kLongValue.end()) : s.value;
        EXPECT_EQ(ini.ReadString(s.section, s.key, u"d"), want) << c.id << ", step " << i;
      }
      Apply(ini, s.op, s.section, s.key, s.value);
    }
    EXPECT_EQ(Bytes(ini), c.after) << c.id;
  }
}

// Keys written by the thousand, some deleted and written again: the index
// grows and reuses removed slots, and never loses or confuses a key.
TEST(IniWrite, IndexKeepsManyKeysApart) {
  IniFile ini = FromBytes("[s]\r\nk0=old\r\n[t]\r\nk1=t\r\n");
  std::map<std::u16string, std::u16string> model;
  for (int i = 0; i < 3000; ++i) {
    const std::u16string key = u"k" + ToU16Decimal(i % 2000);
    if (i % 7 == 3) {
      ini.DeleteKey(u"s", key);
      model.erase(key);
    } else {
      ini.WriteInt(u"S", key, i);
      model[key] = ToU16Decimal(i);
    }
  }
  IniFile again = FromBytes(Bytes(ini));
  for (int i = 0; i < 2000; ++i) {
    const std::u16string key = u"K" + ToU16Decimal(i);
    auto it = model.find(u"k" + ToU16Decimal(i));
    const std::u16string want = it == model.end() ? u"d" : it->second;
    ASSERT_EQ(ini.ReadString(u"s", key, u"d"), want) << i;
    ASSERT_EQ(again.ReadString(u"s", key, u"d"), want) << i;
  }
  EXPECT_EQ(ini.ReadString(u"t", u"k1", u"d"), u"t");
}

}  // namespace
}  // namespace vantrel
