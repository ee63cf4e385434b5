// Struct values: upper-case hex plus a checksum byte on write; on read the
// exact length, hex digits and checksum, or the caller's bytes stay as they
// were.
//
// Stricter than Wine on purpose (Windows checks these too): S05 and S06 (a
// longer value cut to size), S10 (letters past F as digits); and where Wine
// fails after decoding part of the value (S02.c, S04, S11, S15, S16, S17)
// the caller's bytes stay untouched here.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "ini_test_util.h"

namespace vantrel {
namespace {

using ini_test::Bytes;
using ini_test::FromBytes;

struct StructRead {
  const char* id;
  std::string_view line;  // the entry under [s]
  std::size_t size;
  bool ok;
  std::vector<std::uint8_t> expected;  // when ok
};

const StructRead kReads[] = {
    {"S01.b", "k=00017F80FFABAA", 6, true, {0x00, 0x01, 0x7F, 0x80, 0xFF, 0xAB}},
    {"S02.b", "k=616261637573006F", 7, true, {'a', 'b', 'a', 'c', 'u', 's', 0}},
    {"S02.c", "k=616261637573006F", 6, false, {}},
    {"S02.d", "k=616261637573006F", 8, false, {}},
    {"S03", "k=616261637573006f", 7, true, {'a', 'b', 'a', 'c', 'u', 's', 0}},
    {"S04", "k=616261637573007F", 7, false, {}},
    {"S05", "k=0101F", 1, false, {}},
    {"S06", "k=0101FF", 1, false, {}},
    {"S07", "k=01", 1, false, {}},
    {"S08", "k =   0101   ", 1, true, {0x01}},
    {"S09", "k=\"0101\"", 1, false, {}},
    {"S10", "k=0G10", 1, false, {}},
    {"S11", "k=01--01", 2, false, {}},
    {"S12.b", "k=00", 0, true, {}},
    {"S13", "other=0101", 1, false, {}},
    {"S15", "k=01 01", 1, false, {}},
    {"S16", "k=0x0101", 2, false, {}},
    {"S17", "k=FF01", 1, false, {}},
    {"no '='", "k", 0, false, {}},
    {"empty", "k=", 0, false, {}},
};

TEST(IniStruct, StrictReads) {
  for (const StructRead& c : kReads) {
    IniFile ini = FromBytes("[s]\r\n" + std::string(c.line) + "\r\n");
    std::vector<std::uint8_t> buf(c.size + 1, 0xCC);
    EXPECT_EQ(ini.ReadStruct(u"s", u"k", std::span(buf).first(c.size)), c.ok) << c.id;
    std::vector<std::uint8_t> want = c.ok ? c.expected : std::vector<std::uint8_t>(c.size, 0xCC);
    want.push_back(0xCC);
    EXPECT_EQ(buf, want) << c.id;
  }
}

TEST(IniStruct, WritesUpperCaseWithChecksum) {
  const std::uint8_t abacus[] = {'a', 'b', 'a', 'c', 'u', 's', 0};
  EXPECT_EQ(EncodeStructValue(abacus), u"616261637573006F");  // S02
  EXPECT_EQ(EncodeStructValue({}), u"00");                    // S12
  IniFile ini;
  ini.WriteStruct(u"s", u"k", abacus);
  EXPECT_EQ(ini.ReadString(u"s", u"k", u""), u"616261637573006F");
}

TEST(IniStruct, LargeValuesRoundTrip) {
  std::mt19937 rng(7);
  // The digits are put out in chunks: sizes on either side of a chunk's end.
  for (std::size_t size : {255u, 256u, 257u, 780u}) {
    std::vector<std::uint8_t> bytes(size), back(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    IniFile ini;
    ini.WriteStruct(u"Setting", u"MacroKeyInfo0", bytes);
    EXPECT_EQ(ini.ReadString(u"Setting", u"MacroKeyInfo0", u""), EncodeStructValue(bytes));
    IniFile again = FromBytes(Bytes(ini));
    ASSERT_TRUE(again.ReadStruct(u"setting", u"macrokeyinfo0", back)) << size;
    EXPECT_EQ(bytes, back) << size;
  }
  std::array<std::uint8_t, 780> in{};
  for (auto& b : in) b = static_cast<std::uint8_t>(rng());
  // One flipped digit fails the checksum and leaves the bytes alone.
  std::u16string text = EncodeStructValue(in);
  text[10] = text[10] == u'0' ? u'1' : u'0';
  std::array<std::uint8_t, 780> untouched{};
  EXPECT_FALSE(DecodeStructValue(text, untouched));
  EXPECT_EQ(untouched, (std::array<std::uint8_t, 780>{}));
}

}  // namespace
}  // namespace vantrel
