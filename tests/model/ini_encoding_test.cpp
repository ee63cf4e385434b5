// Encodings: which files stay in the code page, which become UTF-16LE, and
// that the Windows-1252 converter round-trips every byte.
//
// Rows that differ from Wine on purpose: E02.b and W26 (a UTF-8 mark is
// rewritten as UTF-16LE), E04 and E08 (new files are UTF-16LE, so nothing
// turns into '?'), E05 (Windows does not honour a UTF-16BE mark).
#include <gtest/gtest.h>

#include "ini_test_util.h"

namespace vantrel {
namespace {

using ini_test::Bytes;
using ini_test::FromBytes;
using ini_test::Text;
using namespace std::string_view_literals;

struct EncodingCase {
  const char* id;
  std::string_view before;
  std::u16string_view section, key, value;
  std::string_view after;    // exact bytes, or empty to compare `text`
  std::u16string_view text;  // the decoded result when the bytes are not given
  bool utf16;                // the result starts with the UTF-16LE mark
};

const EncodingCase kCases[] = {
    {"E01.b", "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\xE5\x65\r\0\n\0"sv, u"s", u"n", u"\u00E9\u20AC",
     "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\xE5\x65\r\0\n\0n\0=\0\xE9\0\xAC \r\0\n\0"sv, u"", true},
    {"E02.b", "\xEF\xBB\xBF[s]\r\nk=\xC3\xA9\r\n", u"s", u"n", u"\u65E5",
     "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0n\0=\0\xE5\x65\r\0\n\0"sv, u"", true},
    {"E09", "\xFF\xFE", u"s", u"k", u"v", "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0"sv, u"",
     true},
    {"E10.b", "[s]\r\nk=\x81\x8D\xE9\r\n", u"s", u"n", u"w", "[s]\r\nk=\x81\x8D\xE9\r\nn=w\r\n",
     u"", false},
    {"W26", "\xEF\xBB\xBF", u"s", u"k", u"v", "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0"sv, u"",
     true},
    {"ANSI keeps what it can hold", "[s]\r\nk=1\r\n", u"s", u"n", u"\u00E9\u20AC\u0178",
     "[s]\r\nk=1\r\nn=\xE9\x80\x9F\r\n", u"", false},
    {"ANSI to UTF-16 for the rest", "; \xE9t\xE9\r\n[s]\r\nk=\x81\r\n", u"s", u"n", u"\u65E5", "",
     u"; \u00E9t\u00E9\r\n[s]\r\nk=\u0081\r\nn=\u65E5\r\n", true},
    {"new section name unrepresentable", "[s]\r\n", u"\u0416", u"k", u"v", "",
     u"[s]\r\n[\u0416]\r\nk=v\r\n", true},
    {"UTF-16BE mark stays code-page bytes", "\xFE\xFF\0[\0s\0]\0"sv, u"s", u"k", u"v",
     "\xFE\xFF\0[\0s\0]\0\r\n[s]\r\nk=v\r\n"sv, u"", false},
    {"odd byte after UTF-16 dropped", "\xFF\xFE[\0s\0]\0\r\0\n\0\x41"sv, u"s", u"k", u"v",
     "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0"sv, u"", true},
};

TEST(IniEncoding, KeepsOrSwitches) {
  for (const EncodingCase& c : kCases) {
    IniFile ini = FromBytes(c.before);
    ini.WriteString(c.section, c.key, c.value);
    std::string out = Bytes(ini);
    EXPECT_EQ(out.substr(0, 2) == "\xFF\xFE", c.utf16) << c.id;
    if (!c.after.empty()) {
      EXPECT_EQ(out, c.after) << c.id;
    } else {
      EXPECT_EQ(Text(out), c.text) << c.id;
    }
    EXPECT_EQ(FromBytes(out).ReadString(c.section, c.key, u"d"), c.value) << c.id;
  }
}

TEST(IniEncoding, Utf16CharactersWhoseBytesLookLikeBreaksStayInTheirLine) {
  // U+010D, U+0A0D and U+0D0A hold a CR or LF byte; only the units CR and LF
  // end a line. Many of them in one value must not split it.
  std::u16string value = u"\u010D\u0A0D\u0D0A\u0A00";
  for (int i = 0; i < 10; ++i) value += value;
  IniFile ini;
  ini.WriteString(u"s", u"k", value);
  ini.WriteString(u"s", u"after", u"\u010D");
  const std::string out = Bytes(ini);
  IniFile back = FromBytes(out);
  EXPECT_TRUE(back.Find(u"s", u"k") == value);  // whole: no read buffer
  EXPECT_TRUE(back.ReadString(u"s", u"after", u"d") == u"\u010D");
  EXPECT_TRUE(Bytes(back) == out);
  // A CR alone, an LF alone and CRLF each end a line.
  IniFile breaks = FromBytes(
      "\xFF\xFE[\0s\0]\0\r\0a\0=\0\x0D\x01\n\0b\0=\0\x0A\x0A\r\0\n\0c\0=\0"
      "1\0"sv);
  EXPECT_EQ(breaks.ReadString(u"s", u"a", u"d"), u"\u010D");
  EXPECT_EQ(breaks.ReadString(u"s", u"b", u"d"), u"\u0A0A");
  EXPECT_EQ(breaks.ReadString(u"s", u"c", u"d"), u"1");
}

TEST(IniEncoding, NewFilesAreUtf16) {
  for (std::u16string_view value : {u"v"sv, u"\u00E9\u20AC\u65E5"sv}) {
    IniFile ini;
    ini.WriteString(u"\u00C4", u"\u00F6", value);  // E04, E08
    std::string out = Bytes(ini);
    EXPECT_EQ(Text(out), u"[\u00C4]\r\n\u00F6=" + std::u16string(value) + u"\r\n");
    EXPECT_EQ(out.substr(0, 2), "\xFF\xFE");
  }
}

TEST(IniEncoding, Windows1252RoundTripsEveryByte) {
  const CodePage& cp = Windows1252CodePage();
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::u16string text = cp.decode(all);
  EXPECT_EQ(text[0x80], u'\u20AC');
  EXPECT_EQ(text[0x9F], u'\u0178');
  for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(text[b], static_cast<char16_t>(b));
  EXPECT_EQ(cp.encode(text), all);
  for (char16_t c : {u'\u0080', u'\u0100', u'\u65E5', u'\uFFFD'})
    EXPECT_EQ(cp.encode(std::u16string(1, c)), std::nullopt);
}

// An ASCII-only code page, to see that a file uses the converter it is given.
const CodePage kAscii{[](std::string_view s) {
                        std::u16string out;
                        for (char c : s)
                          out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : u'\uFFFD');
                        return out;
                      },
                      [](std::u16string_view s) -> std::optional<std::string> {
                        std::string out;
                        for (char16_t c : s) {
                          if (c >= 0x80) return std::nullopt;
                          out.push_back(static_cast<char>(c));
                        }
                        return out;
                      }};

TEST(IniEncoding, UsesTheGivenOrSystemCodePage) {
  std::string_view file = "[s]\r\nk=v\r\n";
  std::span<const std::uint8_t> bytes{reinterpret_cast<const std::uint8_t*>(file.data()),
                                      file.size()};
  IniFile given("x.ini", &kAscii);
  given.LoadBytes(bytes);
  given.WriteString(u"s", u"n", u"\u00E9");  // fine in 1252, not in ASCII
  EXPECT_EQ(Bytes(given).substr(0, 2), "\xFF\xFE");

  SetSystemCodePage(&kAscii);
  IniFile system;
  system.LoadBytes(bytes);
  system.WriteString(u"s", u"n", u"\u00E9");
  SetSystemCodePage(nullptr);
  EXPECT_EQ(Bytes(system).substr(0, 2), "\xFF\xFE");

  IniFile default_cp;
  default_cp.LoadBytes(bytes);
  default_cp.WriteString(u"s", u"n", u"\u00E9");
  EXPECT_EQ(Bytes(default_cp), "[s]\r\nk=v\r\nn=\xE9\r\n");
}

}  // namespace
}  // namespace vantrel
