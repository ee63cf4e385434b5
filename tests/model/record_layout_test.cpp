// The record is read byte for byte by the monitor program: a record filled
// through the structs must equal one filled at the documented byte offsets,
// and its bytes must hash to the committed constant.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "model/key_codes.h"
#include "model/settings_record.h"

namespace vantrel {
namespace {

constexpr std::size_t kRecordBytes = 107576;
constexpr std::size_t kSlotBytes = 26700;

std::int32_t SlotInt(int p, int field) { return (p + 1) * 100000 + field * 7 - 3; }

// Distinctive values in every byte that carries meaning, written through
// the structs, on top of the factory defaults.
void FillThroughStructs(SettingsRecord& r) {
  ResetRecord(r);
  ApplyFactoryDefaultsAll(r);
  r.CurrentProfile = 2;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileSlot& s = r.profiles[p];
    for (int i = 0; i < kProfileNameChars; ++i) s.ProFileName[i] = char16_t(0x4E00 + p * 300 + i);
    for (int i = 0; i < kGameFileChars; ++i) s.GameFile[i] = char16_t(0x0100 + p * 600 + i);
    std::int32_t* ints[] = {&s.MediaOption,   &s.HDDKeyboard,  &s.LtSwitch,  &s.iLtPulsation,
                            &s.LtEffectType,  &s.Reserved1520, &s.LtFlag,    &s.LtColor,
                            &s.LtControl,     &s.LtSaving,     &s.LtTimeout, &s.PollingRate,
                            &s.Reserved1548,  &s.iRGBRed,      &s.iRGBGreen, &s.iRGBBlue,
                            &s.iCrlSliderPos, &s.iResponTime};
    for (int f = 0; f < 18; ++f) *ints[f] = SlotInt(p, f);
    for (int i = 0; i < 6; ++i) s.ModifyKey[i] = -SlotInt(p, 30 + i);
    for (int i = 0; i < kKeyPositions; ++i) s.standardkey[i] ^= std::uint8_t(p * 16 + i);
    s.pad1710[0] = 0xA0 + p;
    s.pad1710[1] = 0xB0 + p;
    for (int k = 0; k < kKeyAssignments; ++k) {
      KeyAssignment& e = s.MacroKeyInfo[k];
      e.entryIndex = std::uint8_t(k);
      e.actionType = std::uint8_t(p + 1);
      e.modifiers = std::uint8_t(k * 3);
      e.functionCode = std::uint8_t(0xF0 - k);
      e.keyCode = std::uint16_t(0x1234 + k * 0x101 + p);
      e.pad6[0] = 0xC1;
      e.pad6[1] = 0xC2;
      e.macroIndex = -(p * 1000 + k);
      for (int i = 0; i < kMacroNameChars; ++i) e.macroName[i] = char16_t(u'a' + (i + k) % 26);
      e.eventCount = std::uint16_t(0xBEEF - k);
      e.pad54[0] = 0xD1;
      e.pad54[1] = 0xD2;
      e.repeatCount = 0x01020304 * (p + 1) + k;
      for (int i = 0; i < kMacroEvents; ++i) e.events[i] = 0x80000000u + p * 1000000 + k * 100 + i;
      for (int i = 0; i < kProgramPathChars; ++i) e.programPath[i] = char16_t(0x3040 + i + k);
    }
    for (int i = 0; i < 8; ++i) s.GKey[i] = std::uint8_t(0x60 + p * 8 + i);
    for (int i = 0; i < 4; ++i) s.Reserved26680[i] = std::uint8_t(0xE0 + p * 4 + i);
    for (int i = 0; i < 16; ++i) s.apmLightInfo[i] = std::uint8_t(0x11 * (i + 1) + p);
  }
  for (int p = 0; p < kFlagEntries; ++p) {
    for (int k = 0; k < kKeyAssignments; ++k) r.MacroKeyInfoChanged[p][k] = 1000 + p * 32 + k;
    r.LightingChanged[p] = 2000 + p;
    r.StandardKeyChanged[p] = 3000 + p;
    r.ModifyKeyChanged[p] = 4000 + p;
    r.ProfileImported[p] = 5000 + p;
    r.DefaultsRestored[p] = 6000 + p;
    r.AdvancedChanged[p] = 7000 + p;
  }
  r.CurrentProfileChanged = 8000;
  r.HddKeyboardChanged = 8001;
  r.KeyboardPlugIn = -8002;
}

void Put(std::vector<std::uint8_t>& b, std::size_t off, std::uint64_t v, int width) {
  for (int i = 0; i < width; ++i) b.at(off + i) = std::uint8_t(v >> (8 * i));
}

// The same record, written only at the documented offsets (little-endian,
// UTF-16LE), without using the structs.
std::vector<std::uint8_t> FillAtOffsets() {
  std::vector<std::uint8_t> b(kRecordBytes, 0);
  Put(b, 0, 2, 4);
  for (int p = 0; p < 4; ++p) {
    const std::size_t s = 4 + p * kSlotBytes;
    for (int i = 0; i < 250; ++i) Put(b, s + 2 * i, 0x4E00 + p * 300 + i, 2);
    for (int i = 0; i < 500; ++i) Put(b, s + 500 + 2 * i, 0x0100 + p * 600 + i, 2);
    for (int f = 0; f < 18; ++f) Put(b, s + 1500 + 4 * f, std::uint32_t(SlotInt(p, f)), 4);
    for (int i = 0; i < 6; ++i) Put(b, s + 1572 + 4 * i, std::uint32_t(-SlotInt(p, 30 + i)), 4);
    for (int i = 0; i < 114; ++i) b[s + 1596 + i] = FactoryKeyMap[i] ^ std::uint8_t(p * 16 + i);
    b[s + 1710] = 0xA0 + p;
    b[s + 1711] = 0xB0 + p;
    for (int k = 0; k < 32; ++k) {
      const std::size_t e = s + 1712 + 780 * k;
      b[e] = k;
      b[e + 1] = p + 1;
      b[e + 2] = k * 3;
      b[e + 3] = 0xF0 - k;
      Put(b, e + 4, 0x1234 + k * 0x101 + p, 2);
      b[e + 6] = 0xC1;
      b[e + 7] = 0xC2;
      Put(b, e + 8, std::uint32_t(-(p * 1000 + k)), 4);
      for (int i = 0; i < 20; ++i) Put(b, e + 12 + 2 * i, u'a' + (i + k) % 26, 2);
      Put(b, e + 52, 0xBEEF - k, 2);
      b[e + 54] = 0xD1;
      b[e + 55] = 0xD2;
      Put(b, e + 56, 0x01020304u * (p + 1) + k, 4);
      for (int i = 0; i < 50; ++i)
        Put(b, e + 60 + 4 * i, 0x80000000u + p * 1000000 + k * 100 + i, 4);
      for (int i = 0; i < 260; ++i) Put(b, e + 260 + 2 * i, 0x3040 + i + k, 2);
    }
    for (int i = 0; i < 8; ++i) b[s + 26672 + i] = 0x60 + p * 8 + i;
    for (int i = 0; i < 4; ++i) b[s + 26680 + i] = 0xE0 + p * 4 + i;
    for (int i = 0; i < 16; ++i) b[s + 26684 + i] = 0x11 * (i + 1) + p;
  }
  for (int p = 0; p < 5; ++p) {
    for (int k = 0; k < 32; ++k) Put(b, 106804 + 4 * (32 * p + k), 1000 + p * 32 + k, 4);
    Put(b, 107444 + 4 * p, 2000 + p, 4);
    Put(b, 107468 + 4 * p, 3000 + p, 4);
    Put(b, 107488 + 4 * p, 4000 + p, 4);
    Put(b, 107508 + 4 * p, 5000 + p, 4);
    Put(b, 107532 + 4 * p, 6000 + p, 4);
    Put(b, 107552 + 4 * p, 7000 + p, 4);
  }
  Put(b, 107464, 8000, 4);
  Put(b, 107528, 8001, 4);
  Put(b, 107572, std::uint32_t(-8002), 4);
  return b;
}

std::uint64_t Fnv1a(const void* data, std::size_t n) {
  auto* p = static_cast<const std::uint8_t*>(data);
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
  return h;
}

TEST(RecordLayout, StructsMatchDocumentedOffsets) {
  auto record = std::make_unique<SettingsRecord>();
  FillThroughStructs(*record);
  std::vector<std::uint8_t> expected = FillAtOffsets();
  ASSERT_EQ(sizeof(SettingsRecord), kRecordBytes);
  auto* actual = reinterpret_cast<const std::uint8_t*>(record.get());
  for (std::size_t i = 0; i < kRecordBytes; ++i)
    ASSERT_EQ(actual[i], expected[i]) << "first difference at byte " << i;
}

TEST(RecordLayout, GoldenHash) {
  auto record = std::make_unique<SettingsRecord>();
  FillThroughStructs(*record);
  EXPECT_EQ(Fnv1a(record.get(), sizeof(SettingsRecord)), 0x88ea3007e580a7eaull);
}

TEST(RecordLayout, SlotAddressingAndSpotOffsets) {
  auto record = std::make_unique<SettingsRecord>();
  auto* bytes = reinterpret_cast<std::uint8_t*>(record.get());
  record->profiles[3].LtEffectType = 0x01020304;
  EXPECT_EQ(bytes[4 + 3 * kSlotBytes + 1516], 0x04);
  EXPECT_EQ(bytes[4 + 3 * kSlotBytes + 1519], 0x01);
  record->profiles[1].MacroKeyInfo[31].keyCode = 0xABCD;
  EXPECT_EQ(bytes[26704 + 1712 + 780 * 31 + 4], 0xCD);
  record->profiles[2].apmLightInfo[15] = 0x5A;
  EXPECT_EQ(bytes[53404 + 26699], 0x5A);
  record->MacroKeyInfoChanged[4][31] = -1;
  EXPECT_EQ(bytes[106804 + 4 * (32 * 4 + 31) + 3], 0xFF);
  record->KeyboardPlugIn = 0x7F000000;
  EXPECT_EQ(bytes[107575], 0x7F);
}

TEST(RecordLayout, ActiveSlotNeverLeavesTheFourSlots) {
  auto record = std::make_unique<SettingsRecord>();
  const std::int32_t values[] = {-1, 0, 1, 2, 3, 4, 100, INT32_MIN, INT32_MAX};
  const int expected[] = {0, 0, 1, 2, 3, 0, 0, 0, 0};
  for (int i = 0; i < 9; ++i) {
    record->CurrentProfile = values[i];
    EXPECT_EQ(ActiveProfileIndex(*record), expected[i]) << values[i];
    EXPECT_EQ(&ActiveSlot(*record), &record->profiles[expected[i]]) << values[i];
    ClampCurrentProfile(*record);
    EXPECT_EQ(record->CurrentProfile, expected[i]) << values[i];
  }
}

}  // namespace
}  // namespace vantrel
