#include "model/macro_recorder.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/key_codes.h"

namespace vantrel {
namespace {

constexpr std::uint32_t kDown = 0x00;
constexpr std::uint32_t kUp = 0x80;
constexpr std::uint32_t kVkA = 0x41;
constexpr std::uint32_t kVkB = 0x42;

std::uint8_t Usage(int vk) {
  int usage = 0;
  EXPECT_TRUE(VirtualKeyToUsage(vk, usage)) << vk;
  return static_cast<std::uint8_t>(usage);
}

struct Key {
  std::uint32_t vk, flags, tick;
};

// A recorder with its own process-wide state and counted capture calls.
struct Rig {
  MacroRecorderShared shared;
  int installs = 0;
  int removes = 0;
  MacroRecorder rec{{[this] { ++installs; }, [this] { ++removes; }}, shared};

  void Feed(const std::vector<Key>& keys) {
    for (const Key& k : keys) rec.OnCapturedKey(k.vk, k.flags, k.tick);
  }
  MacroEvent At(int i) const { return rec.events[i]; }
};

void ExpectEvent(const MacroEvent& e, std::uint8_t code, std::uint8_t action, std::uint16_t delay) {
  EXPECT_EQ(e.keyCode, code);
  EXPECT_EQ(e.action, action);
  EXPECT_EQ(e.delayMs, delay);
}

TEST(MacroRecorder, HeldKeyGivesOnePressAndRepeatedKeyGivesBoth) {
  Rig r;
  r.rec.StartRecording();
  EXPECT_EQ(r.installs, 1);
  r.Feed({{kVkA, kDown, 10},
          {kVkA, kDown, 40},
          {kVkA, kDown, 70},
          {kVkA, kUp, 100},
          {kVkA, kDown, 150},
          {kVkA, kUp, 180}});
  ASSERT_EQ(r.rec.count, 4);
  const std::uint8_t a = Usage(kVkA);
  ExpectEvent(r.At(0), a, kMacroActionPress, 90);  // from the first press, not the repeats
  ExpectEvent(r.At(1), a, kMacroActionRelease, 50);
  ExpectEvent(r.At(2), a, kMacroActionPress, 30);
  ExpectEvent(r.At(3), a, kMacroActionRelease, 0);
}

TEST(MacroRecorder, PausesAreCappedAndSurviveTheTickWrap) {
  struct Case {
    std::uint32_t first, second;
    std::uint16_t pause;
  } cases[] = {
      {1000, 1250, 250},
      {1000, 1000 + 65535, 65535},
      {1000, 1000 + 70000, 65535},
      {0xFFFFFF00u, 0x100, 0x200},
  };
  for (const Case& c : cases) {
    Rig r;
    r.rec.StartRecording();
    r.Feed({{kVkA, kDown, c.first}, {kVkA, kUp, c.second}});
    EXPECT_EQ(r.At(0).delayMs, c.pause) << c.first << " " << c.second;
  }
}

TEST(MacroRecorder, DelaysOffLeavesExistingPausesAlone) {
  Rig r;
  r.rec.events[0] = {Usage(kVkB), kMacroActionPress, 700};
  r.rec.count = 1;
  r.rec.record_delays = false;
  r.rec.StartRecording();
  r.Feed({{kVkA, kDown, 100}, {kVkA, kUp, 5000}});
  ASSERT_EQ(r.rec.count, 3);
  EXPECT_EQ(r.At(0).delayMs, 700);
  EXPECT_EQ(r.At(1).delayMs, 0);
  EXPECT_EQ(r.At(2).delayMs, 0);
}

TEST(MacroRecorder, FiftiethEventStopsRecordingAndFillsTheSelectedMacro) {
  Rig r;
  MacroRecord macro{};
  r.rec.selected = &macro;
  r.rec.StartRecording();
  std::vector<CaptureResult> results;
  for (std::uint32_t i = 0; i < 60; ++i) {
    results.push_back(r.rec.OnCapturedKey(kVkA, i % 2 ? kUp : kDown, i * 10));
  }
  EXPECT_EQ(r.rec.count, 50);
  EXPECT_FALSE(r.rec.recording);
  EXPECT_EQ(r.removes, 1);
  EXPECT_EQ(r.shared.last_event_tick, 0u);
  EXPECT_EQ(results[48], CaptureResult::Recorded);
  EXPECT_EQ(results[49], CaptureResult::Full);
  EXPECT_EQ(macro.eventCount, 50);
  EXPECT_EQ(macro.events[49].action, kMacroActionRelease);
  EXPECT_EQ(macro.events[48].delayMs, 10);
  EXPECT_EQ(results[50], CaptureResult::Ignored);  // queued after the stop
}

TEST(MacroRecorder, RecordingBeforeTheFirstEventKeepsItsPause) {
  Rig r;
  const std::uint8_t b = Usage(kVkB);
  r.rec.events[0] = {b, kMacroActionPress, 500};
  r.rec.events[1] = {b, kMacroActionRelease, 0};
  r.rec.count = 2;
  r.rec.insert_position = 0;
  r.rec.StartRecording();
  r.Feed({{kVkA, kDown, 100}, {kVkA, kUp, 300}});
  ASSERT_EQ(r.rec.count, 4);
  const std::uint8_t a = Usage(kVkA);
  ExpectEvent(r.At(0), a, kMacroActionPress, 200);
  ExpectEvent(r.At(1), a, kMacroActionRelease, 0);
  ExpectEvent(r.At(2), b, kMacroActionPress, 500);
  ExpectEvent(r.At(3), b, kMacroActionRelease, 0);
  EXPECT_EQ(r.rec.insert_position, 2);
  EXPECT_EQ(r.rec.select_after_redraw, 1);
}

TEST(MacroRecorder, LastPairOutlivesTheRecordingAndTheRecorder) {
  MacroRecorderShared shared;
  {
    MacroRecorder first({}, shared);
    first.StartRecording();
    first.OnCapturedKey(kVkA, kDown, 10);
    first.OnCapturedKey(kVkA, kUp, 20);
    first.StopRecording();
  }
  MacroRecorder second({}, shared);
  second.StartRecording();
  EXPECT_EQ(second.OnCapturedKey(kVkA, kUp, 30), CaptureResult::Ignored);
  EXPECT_EQ(second.OnCapturedKey(kVkA, kDown, 40), CaptureResult::Recorded);
  EXPECT_EQ(second.count, 1);
  EXPECT_EQ(second.events[0].delayMs, 0);  // the first event of a recording sets no pause
}

TEST(MacroRecorder, KeypadEnterIsTheExtendedReturn) {
  EXPECT_EQ(MacroKeyCodeForCapturedKey(13, 0x01), Usage(108));
  EXPECT_EQ(MacroKeyCodeForCapturedKey(13, 0x81), Usage(108));
  EXPECT_EQ(MacroKeyCodeForCapturedKey(13, 0x00), Usage(13));
  EXPECT_NE(Usage(108), Usage(13));
  EXPECT_EQ(MacroKeyCodeForCapturedKey(0x07, 0), 0);  // no code: recorded as 0

  Rig r;
  r.rec.StartRecording();
  r.Feed({{13, 0x01, 0}, {13, 0x81, 5}, {0x07, 0, 9}});
  ASSERT_EQ(r.rec.count, 3);
  ExpectEvent(r.At(0), Usage(108), kMacroActionPress, 5);
  ExpectEvent(r.At(1), Usage(108), kMacroActionRelease, 4);
  ExpectEvent(r.At(2), 0, kMacroActionPress, 0);
}

TEST(MacroRecorder, InsertionIsBoundedByTheBufferWhateverTheCounts) {
  struct Case {
    std::int32_t count;
    int position;
    bool stored;
    std::int32_t count_after;
    int index;
  } cases[] = {
      {0, -1, true, 1, 0},     {3, -1, true, 4, 3},    {3, 1, true, 4, 1},
      {3, 9, true, 4, 3},      {49, -1, true, 50, 49}, {50, -1, false, 50, -1},
      {999, 0, false, 50, -1}, {-7, -1, true, 1, 0},
  };
  for (const Case& c : cases) {
    Rig r;
    r.rec.count = c.count;
    r.rec.insert_position = c.position;
    EXPECT_EQ(r.rec.InsertEvent({9, kMacroActionPress, 0}), c.stored) << c.count;
    EXPECT_EQ(r.rec.count, c.count_after) << c.count;
    EXPECT_EQ(r.rec.select_after_redraw, c.index) << c.count;
    if (c.stored) EXPECT_EQ(r.At(c.index).keyCode, 9);
  }
}

TEST(MacroRecorder, LoadAndCopyBoundTheCount) {
  MacroRecord macro{};
  macro.eventCount = 4000;
  macro.events[49] = {7, kMacroActionRelease, 9};
  Rig r;
  r.rec.LoadFrom(macro);
  EXPECT_EQ(r.rec.count, 50);
  EXPECT_TRUE(SameEvent(r.At(49), macro.events[49]));
  r.rec.count = -3;
  r.rec.CopyTo(macro);
  EXPECT_EQ(macro.eventCount, 0);
}

}  // namespace
}  // namespace vantrel
