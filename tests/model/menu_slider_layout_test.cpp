// Sizes of owner-drawn menu items and the picture slider's arithmetic.
#include <gtest/gtest.h>

#include <climits>

#include "model/menu_layout.h"
#include "model/slider_geometry.h"

namespace vantrel {
namespace {

TEST(MenuLayout, WidthIsTwelvePerCharacterPlusMargins) {
  EXPECT_EQ(MenuItemWidth(10, 0, 0), 120);
  EXPECT_EQ(MenuItemWidth(0, 0, 0), 0);
  EXPECT_EQ(MenuItemWidth(3, 4, 6), 46);
  // A text of any length never wraps the width round to a negative value.
  EXPECT_EQ(MenuItemWidth(SIZE_MAX, 0, 0), INT_MAX - INT_MAX % 12);
  EXPECT_GE(MenuItemWidth(INT_MAX, INT_MAX, INT_MAX), 0);
}

TEST(MenuLayout, HeightsBySeparatorHiddenAndOrdinaryIds) {
  const struct {
    unsigned id;
    int height;
  } cases[] = {{0, 5}, {1, 0}, {2, 20}, {2001, 20}, {2048, 20}, {0xFFFFFFFF, 20}};
  for (const auto& c : cases) EXPECT_EQ(MenuItemHeight(c.id, 18), c.height) << c.id;
}

TEST(SliderGeometry, MaximumAtTheStartMinimumAtTheEnd) {
  const SliderRange r{0, 10};
  EXPECT_EQ(ThumbOffset(10, r, 100), 0);
  EXPECT_EQ(ThumbOffset(0, r, 100), 100);
  EXPECT_EQ(ThumbOffset(5, r, 100), 50);
  EXPECT_EQ(ThumbOffset(-7, r, 100), 100);  // clamped
  EXPECT_EQ(ThumbOffset(99, r, 100), 0);
  EXPECT_EQ(ThumbOffset(3, {2, 4}, 10), 5);
}

TEST(SliderGeometry, ValueAtOffsetStaysInRange) {
  const SliderRange r{2, 12};
  const struct { int offset, value; } cases[] = {{-50, 2}, {0, 2}, {50, 7}, {100, 12}, {400, 12}};
  for (const auto& c : cases) EXPECT_EQ(ValueAtOffset(c.offset, r, 100), c.value) << c.offset;
}

TEST(SliderGeometry, DegenerateRangesAndTracksDoNotDivideByZero) {
  EXPECT_EQ(ThumbOffset(5, {3, 3}, 100), 0);
  EXPECT_EQ(ThumbOffset(5, {9, 3}, 100), 0);
  EXPECT_EQ(ValueAtOffset(40, {3, 3}, 100), 3);
  EXPECT_EQ(ValueAtOffset(40, {0, 10}, 0), 0);
  EXPECT_EQ(FillExtent(100, 5, {0, 0}, true), 0);
  EXPECT_EQ(ClampToRange(7, {9, 3}), 9);
}

TEST(SliderGeometry, DragKeepsTheThumbOnTheTrack) {
  EXPECT_EQ(DraggedOffset(10, -500, 80), 0);
  EXPECT_EQ(DraggedOffset(10, 500, 80), 80);
  EXPECT_EQ(DraggedOffset(10, 25, 80), 35);
  EXPECT_EQ(DraggedOffset(INT_MAX, INT_MAX, 80), 80);
}

TEST(SliderGeometry, FillFollowsTheIntegerStepFormula) {
  // 200 / 10 = 20 pixels a step.
  EXPECT_EQ(FillExtent(200, 10, {0, 10}, true), 20);   // (10 - 0 - 10 + 1)
  EXPECT_EQ(FillExtent(200, 0, {0, 10}, true), 200);   // 11 steps, cut to the client
  EXPECT_EQ(FillExtent(200, 4, {0, 10}, false), 120);  // (10 - 4)
  EXPECT_EQ(FillExtent(200, 50, {0, 10}, false), 0);   // never negative
  EXPECT_EQ(FillExtent(5, 0, {0, 10}, true), 0);       // step rounds to 0
}

}  // namespace
}  // namespace vantrel
