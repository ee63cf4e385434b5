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

#include <optional>

#include "ini_test_util.h"

namespace vantrel {
namespace {

using ini_test::Bytes;
using ini_test::FromBytes;
using ini_test::Text;

enum class Op { Write, DeleteKey, DeleteSection };

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

void Apply(IniFile& ini, const WriteCase& c) {
  switch (c.op) {
    case Op::Write:
      ini.WriteString(c.section, c.key, c.value);
      break;
    case Op::DeleteKey:
      ini.DeleteKey(c.section, c.key);
      break;
    case Op::DeleteSection:
      ini.DeleteSection(c.section);
      break;
  }
}

TEST(IniWrite, PlacesAndKeepsLines) {
  for (const WriteCase& c : kWrites) {
    IniFile ini = c.before ? FromBytes(*c.before) : IniFile();
    Apply(ini, c);
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

}  // namespace
}  // namespace vantrel
