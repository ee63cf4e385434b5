// Reads: the platform's observed lookups, quoting, buffer sizes and integer
// parsing, as a table (file bytes, call, expected result).
//
// Not kept here: the listing calls (P05.b/c, P06.c, P08.b, P12.c, P32, P33,
// B03, B04, B06), which the program never makes; P21, where Windows reads
// an explicit "[]" section before the lines above the first header (we
// follow Windows, and test that below); Q10.b, a Wine truncation quirk with
// quoted values whose Windows result is unknown; P29's last error.
#include <gtest/gtest.h>

#include "ini_test_util.h"
#include "model/text.h"

namespace vantrel {
namespace {

using ini_test::FromBytes;

struct ReadCase {
  const char* id;
  std::string_view file;
  std::u16string_view section, key, default_value;
  std::size_t size;
  std::u16string_view expected;
};

// Lines past 128 bytes keep their shape apart from the text; their names
// and values must come out the same.
const std::string kLongHeader = "[ s ]" + std::string(200, ' ') + "junk ] x\r\nk=v\r\n";
const std::u16string kLongSection = u"s ]" + std::u16string(200, u' ') + u"junk";
const std::string kLongName = "[s]\r\n k" + std::string(200, '\t') + "= v \r\nk=hidden\r\n";

const ReadCase kReads[] = {
    {"P01", "[s]\r\nk=v\r\n", u"s", u"k", u"d", 64, u"v"},
    {"P02", "  [ s ]  \r\n \t k \t =  v  w \t \r\n", u"s", u"k", u"d", 64, u"v  w"},
    {"P03", "[s] junk after\r\nk=v\r\n", u"s", u"k", u"d", 64, u"v"},
    {"P04", "[a]b]\r\nk=v\r\n", u"a]b", u"k", u"d", 64, u"v"},
    {"P04.b", "[a]b]\r\nk=v\r\n", u"a", u"k", u"d", 64, u"d"},
    {"P05", "[s\r\nk=v\r\n", u"s", u"k", u"d", 64, u"d"},
    {"P05 entry", "[s\r\nk=v\r\n", u"", u"k", u"d", 64, u"v"},
    {"P06", "[s]\r\n;k=v\r\nk2=v2\r\n", u"s", u";k", u"d", 64, u"v"},
    {"P06.b", "[s]\r\n;k=v\r\nk2=v2\r\n", u"s", u"k", u"d", 64, u"d"},
    {"P07", "[s]\r\n#k=v\r\n", u"s", u"#k", u"d", 64, u"v"},
    {"P07.b", "[s]\r\n#k=v\r\n", u"s", u"k", u"d", 64, u"d"},
    {"P08", "[s]\r\nk\r\n", u"s", u"k", u"d", 64, u"d"},
    {"P09", "[s]\r\nk=\r\n", u"s", u"k", u"d", 64, u""},
    {"P10", "\r\n\r\n[s]\r\n\r\n\r\nk=v\r\n\r\n", u"s", u"k", u"d", 64, u"v"},
    {"P11", "[s]\r\nk=1\r\nK=2\r\n", u"s", u"k", u"d", 64, u"1"},
    {"P12", "[s]\r\na=1\r\n[t]\r\nx=0\r\n[S]\r\nb=2\r\na=3\r\n", u"s", u"b", u"d", 64, u"d"},
    {"P12.b", "[s]\r\na=1\r\n[t]\r\nx=0\r\n[S]\r\nb=2\r\na=3\r\n", u"s", u"a", u"d", 64, u"1"},
    {"P13", "[MySec]\r\nMyKey=v\r\n", u"mYsEC", u"MYKEY", u"d", 64, u"v"},
    {"P14", "[\xC9t\xE9]\r\nCl\xE9=v\r\n", u"\u00C9T\u00C9", u"CL\u00C9", u"d", 64, u"d"},
    {"P14.b", "[\xC9t\xE9]\r\nCl\xE9=v\r\n", u"\u00C9T\u00E9", u"CL\u00E9", u"d", 64, u"v"},
    {"P15", "[s]\r\nk=a=b\r\nmy key = v2\r\n", u"s", u"k", u"d", 64, u"a=b"},
    {"P15.b", "[s]\r\nk=a=b\r\nmy key = v2\r\n", u"s", u"my key", u"d", 64, u"v2"},
    {"P15.c", "[s]\r\nk=a=b\r\nmy key = v2\r\n", u"s", u"mykey", u"d", 64, u"d"},
    {"P16", "[s]\r\nk=v\r\n", u"  s  ", u"\tk  ", u"d", 64, u"v"},
    {"P17", "[s]\nk=lf\n", u"s", u"k", u"d", 64, u"lf"},
    {"P18", "[s]\rk=cr\r", u"s", u"k", u"d", 64, u"cr"},
    {"P19", "[s]\r\nk=noeol", u"s", u"k", u"d", 64, u"noeol"},
    {"P20", "k=pre\r\n[s]\r\nk=v\r\n", u"", u"k", u"d", 64, u"pre"},
    {"P21 Windows", "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n", u"", u"key", u"d", 64,
     u"val_e_section"},
    {"P22", "[s]\r\n=nokey\r\n", u"s", u"", u"d", 64, u"nokey"},
    {"P23", "[s]\r\nk = v ; not a comment\r\n", u"s", u"k", u"d", 64, u"v ; not a comment"},
    {"P24", "[s]\r\nk=\x1A\x0B v\tw\x0C\x1A\r\n", u"s", u"k", u"d", 64, u"v\tw"},
    {"P25", "[a]=b\r\nk=v\r\n", u"a", u"k", u"d", 64, u"v"},
    {"P26", "[s]\r\n[k]=v\r\n", u"s", u"[k]", u"d", 64, u"d"},
    {"P26.b", "[s]\r\n[k]=v\r\n", u"k", u"x", u"d", 64, u"d"},
    {"P27", "; only\r\n[s]\r\n; c\r\n", u"s", u"; c", u"d", 64, u"d"},
    {"P28.b", "[s]\r\nk=v\r\n", u"s", u"k ", u"d", 64, u"v"},
    {"P29", "", u"s", u"k", u"dflt", 64, u"dflt"},
    {"P30", "[s]\r\nk\r\nk=v\r\n", u"s", u"k", u"d", 64, u"d"},
    {"P31", "[s]\r\n   =   \r\n", u"s", u"", u"d", 64, u""},
    {"P34", "[s]\r\nk=\xA0v\xA0\r\n", u"s", u"k", u"d", 64, u"\u00A0v\u00A0"},
    {"Q01", "[s]\r\nk=\"v w\"\r\n", u"s", u"k", u"d", 64, u"v w"},
    {"Q02", "[s]\r\nk='v w'\r\n", u"s", u"k", u"d", 64, u"v w"},
    {"Q03", "[s]\r\nk=\"v'\r\n", u"s", u"k", u"d", 64, u"\"v'"},
    {"Q04", "[s]\r\nk=\"\r\n", u"s", u"k", u"d", 64, u"\""},
    {"Q05", "[s]\r\nk=\"\"\r\n", u"s", u"k", u"d", 64, u""},
    {"Q06", "[s]\r\nk=  \"  padded  \"  \r\n", u"s", u"k", u"d", 64, u"  padded  "},
    {"Q07", "[s]\r\nk=''x''\r\n", u"s", u"k", u"d", 64, u"'x'"},
    {"Q08", "[s]\r\nk=\"a\"b\"\r\n", u"s", u"k", u"d", 64, u"a\"b"},
    {"Q09", "[s]\r\nk=x\"y\"\r\n", u"s", u"k", u"d", 64, u"x\"y\""},
    {"Q10", "[s]\r\nk=\"hello\"\r\n", u"s", u"k", u"d", 4, u"hel"},
    {"Q10.c", "[s]\r\nk=\"hello\"\r\n", u"s", u"k", u"d", 7, u"hello"},
    {"Q11", "[s]\r\n", u"s", u"k", u"\"dq\"", 64, u"dq"},
    {"Q11.b", "[s]\r\n", u"s", u"k", u"dd   ", 64, u"dd"},
    {"B01", "[s]\r\nk=abcdef\r\n", u"s", u"k", u"d", 4, u"abc"},
    {"B01.b", "[s]\r\nk=abcdef\r\n", u"s", u"k", u"d", 7, u"abcdef"},
    {"B01.c", "[s]\r\nk=abcdef\r\n", u"s", u"k", u"d", 1, u""},
    {"B01.d", "[s]\r\nk=abcdef\r\n", u"s", u"k", u"d", 0, u""},
    {"B02", "[s]\r\n", u"s", u"k", u"default", 4, u"def"},
    {"B02.b", "[s]\r\n", u"s", u"k", u"", 8, u""},
    {"E03", "[s]\r\nk=\xC3\xA9\r\n", u"s", u"k", u"d", 64, u"\u00C3\u00A9"},
    {"E06", std::string_view("[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 20), u"s", u"k", u"d", 64, u"d"},
    {"E10", "[s]\r\nk=\x81\x8D\xE9\r\n", u"s", u"k", u"d", 64, u"\u0081\u008D\u00E9"},
    // Windows honours neither a UTF-16BE mark: its bytes stick to line 1.
    {"E05 Windows", std::string_view("\xFE\xFF\0[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n", 23), u"s", u"k",
     u"d", 64, u"d"},
    {"E01", std::string_view("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\xE5\x65\r\0\n\0", 20), u"s", u"k",
     u"d", 64, u"\u65E5"},
    {"E02", "\xEF\xBB\xBF[s]\r\nk=\xC3\xA9\r\n", u"s", u"k", u"d", 64, u"\u00E9"},
    {"W09.b", "[s]\r\nk=v  \r\n", u"s", u"k", u"d", 64, u"v"},
    {"W10.b", "[s  ]\r\nk  =v\r\n", u"s", u"k", u"d", 64, u"v"},
    {"W14.b", "[s]\r\na=b=v\r\n", u"s", u"a", u"d", 64, u"b=v"},
    {"W14.c", "[s]\r\na=b=v\r\n", u"s", u"a=b", u"d", 64, u"d"},
    {"D09.b", "[t]\r\n[S]\r\nb=2\r\n", u"s", u"b", u"d", 64, u"2"},
    {"long header", kLongHeader, kLongSection, u"k", u"d", 64, u"v"},
    {"long name", kLongName, u"s", u"k", u"d", 64, u"v"},
};

TEST(IniRead, MatchesThePlatform) {
  for (const ReadCase& c : kReads) {
    IniFile ini = FromBytes(c.file);
    EXPECT_EQ(ini.ReadString(c.section, c.key, c.default_value, c.size), c.expected) << c.id;
  }
}

TEST(IniRead, FindTellsMissingFromEmpty) {
  IniFile ini = FromBytes("[s]\r\nempty=\r\nbare\r\nq=\"x\"\r\n");
  EXPECT_EQ(ini.Find(u"s", u"empty"), u"");
  EXPECT_EQ(ini.Find(u"s", u"bare"), std::nullopt);
  EXPECT_EQ(ini.Find(u"s", u"missing"), std::nullopt);
  EXPECT_EQ(ini.Find(u"t", u"q"), std::nullopt);
  EXPECT_EQ(ini.Find(u"S", u"Q"), u"x");
}

TEST(IniRead, LongValuesWhole) {
  std::string file = "[s]\r\nk=" + std::string(100000, 'y') + "\r\n";
  IniFile ini = FromBytes(file);
  EXPECT_EQ(ini.ReadString(u"s", u"k", u"d", 100001), std::u16string(100000, u'y'));
  EXPECT_EQ(ini.ReadString(u"s", u"k", u"d", 40000), std::u16string(39999, u'y'));
}

TEST(IniRead, BreaksFoundAtEveryPlace) {
  // Lines of every length from 0 to 19 with each kind of break, so a break
  // falls on every byte of the eight-byte steps the line search takes.
  for (bool wide : {false, true}) {
    for (std::string br : {"\r\n", "\n", "\r"}) {
      std::string text = "[s]";
      for (int len = 0; len < 20; ++len)
        text += br + "k" + std::to_string(len) + "=" + std::string(len, 'v');
      std::string file = wide ? "\xFF\xFE" : "";
      for (char c : text) wide ? file.append({c, '\0'}) : file.append(1, c);
      IniFile ini = FromBytes(file);
      for (int len = 0; len < 20; ++len) {
        std::u16string key = u"k" + ToU16Decimal(len);
        EXPECT_EQ(ini.ReadString(u"s", key, u"d"), std::u16string(len, u'v'))
            << (wide ? "UTF-16, " : "ANSI, ") << br.size() << "-byte break, length " << len;
      }
    }
  }
}

struct IntCase {
  const char* id;
  std::string_view value;  // the text after "k="
  std::int32_t default_value;
  std::int64_t expected;  // as the platform's UINT
};

const IntCase kInts[] = {
    {"I01", "12abc", 5, 12},
    {"I02", "\" 7\"", 5, 7},
    {"I03", "-1", 5, 4294967295},
    {"I04", "+3", 5, 3},
    {"I05", "0x10", 5, 16},
    {"I06", "", 5, 5},
    {"I07", "4294967296", 5, 0},
    {"I08", "4294967297", 5, 1},
    {"I09", "99999999999", 5, 1215752191},
    {"I10", "abc", 5, 0},
    {"I11", "0X1F", 5, 0},
    {"I12", "010", 5, 10},
    {"I13", "0b101", 5, 5},
    {"I14", "0o17", 5, 15},
    {"I15", "- 5", 5, 0},
    {"I16", "-0x10", 5, 4294967280},
    {"I17", "2147483648", 5, 2147483648},
    {"I18", "1e3", 5, 1},
    {"I19", "0000000000000000000000000000000123", 5, 0},
    {"I20", "'42'", 5, 42},
    {"I21", "0x", 5, 0},
    {"I22", "0xFFFFFFFF", 5, 4294967295},
    {"I23", "3 4", 5, 3},
    {"quoted empty", "\"\"", 5, 5},
    {"29 digits count", "00000000000000000000000000012", 5, 12},
    {"30th digit cut", "000000000000000000000000000123", 5, 12},
    {"-4294967297", "-4294967297", 5, 4294967295},
    {"42A94967297", "42A94967297", 5, 42},
    {"B4294967297", "B4294967297", 5, 0},
    {"hex letters", "0xaBc", 5, 0xABC},
    {"octal stops at 8", "0o18", 5, 1},
    {"binary stops at 2", "0b12", 5, 1},
};

TEST(IniRead, IntegersMatchThePlatform) {
  for (const IntCase& c : kInts) {
    IniFile ini = FromBytes("[s]\r\nk=" + std::string(c.value) + "\r\n");
    EXPECT_EQ(static_cast<std::uint32_t>(ini.ReadInt(u"s", u"k", c.default_value)),
              static_cast<std::uint32_t>(c.expected))
        << c.id;
  }
  IniFile none = FromBytes("[s]\r\nk\r\n");
  EXPECT_EQ(none.ReadInt(u"s", u"k", 9), 9);        // I25
  EXPECT_EQ(none.ReadInt(u"s", u"other", -7), -7);  // I24
}

}  // namespace
}  // namespace vantrel
