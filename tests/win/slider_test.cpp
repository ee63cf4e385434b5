// The picture slider: the thumb's outline, dragging past either end, and
// what the owner is told.
#include "skin/slider.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "skin_fixture.h"
#include "win/window.h"

using namespace vantrel;
using namespace vantrel::skin;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);

struct Notice {
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};

class Owner : public win::Window {
 public:
  std::vector<Notice> notices;

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT&) override {
    if (msg == kSliderValueChanged || msg == kTrackReleased) notices.push_back({msg, wp, lp});
    return false;
  }
};

std::wstring Scratch() {
  const char* tmp = std::getenv("VANTREL_TEST_TMP");
  std::wstring dir = tmp ? std::wstring(tmp, tmp + strlen(tmp)) : L".";
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir + L"\\slider_";
}

// A 20 x 20 thumb: key colour in the corners and in one pixel inside.
bool ThumbPixelIsKey(int x, int y) {
  bool corner = (x < 2 || x > 17) && (y < 2 || y > 17);
  return corner || (x == 10 && y == 10);
}

class Slider : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring base = Scratch();
    using vantrel::testing::WriteBmp24;
    ASSERT_TRUE(WriteBmp24(base + L"track.bmp", 200, 20, [](int, int) { return RGB(40, 40, 40); }));
    ASSERT_TRUE(WriteBmp24(base + L"fill.bmp", 200, 20, [](int, int) { return RGB(178, 81, 10); }));
    for (const wchar_t* name : {L"n.bmp", L"h.bmp", L"p.bmp"})
      ASSERT_TRUE(WriteBmp24(base + name, 20, 20, [](int x, int y) {
        return ThumbPixelIsKey(x, y) ? kKey : RGB(200, 200, 200);
      }));
    ASSERT_TRUE(owner.Create(WS_POPUP | WS_VISIBLE, 0, nullptr, {0, 0, 300, 100}));
    setup.owner = owner.hwnd();
    setup.control_id = 9;
    setup.rect = {30, 40, 230, 60};
    setup.range = {0, 10};
    setup.track_picture = base + L"track.bmp";
    setup.fill_picture = base + L"fill.bmp";
    setup.thumb_pictures = {base + L"n.bmp", base + L"h.bmp", base + L"p.bmp"};
  }
  void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
  int ThumbLeft() {
    RECT r{};
    GetWindowRect(slider.thumb().hwnd(), &r);
    MapWindowPoints(nullptr, slider.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r.left;
  }

  Owner owner;
  SliderSetup setup;
  CClickSlider slider;
};

TEST_F(Slider, ThumbOutlineHasHolesWhereTheCornerColourOccurs) {
  ASSERT_TRUE(slider.Create(setup));
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(slider.thumb().hwnd(), rgn), ERROR);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(PtInRegion(rgn, x, y) != FALSE, !ThumbPixelIsKey(x, y)) << x << "," << y;
  DeleteObject(rgn);
}

TEST_F(Slider, StartsAtTheMinimumAtTheEndOfTheTrack) {
  ASSERT_TRUE(slider.Create(setup));
  EXPECT_EQ(slider.value(), 0);
  EXPECT_EQ(ThumbLeft(), 180);  // 200 - 20
  slider.SetValue(10);
  EXPECT_EQ(ThumbLeft(), 0);
  slider.SetValue(99);  // clamped
  EXPECT_EQ(slider.value(), 10);
}

TEST_F(Slider, DraggingPastEitherEndStopsAtTheNearestLimit) {
  ASSERT_TRUE(slider.Create(setup));
  HWND thumb = slider.thumb().hwnd();
  slider.SetValue(5);
  const int start = ThumbLeft();
  SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  Pump();
  EXPECT_EQ(slider.thumb().look(), 3);

  const struct {
    int dx;
    int left;
    int value;
  } moves[] = {{-500, 0, 10}, {-50, 40, 8}, {+900, 180, 0}, {-90, 0, 10}, {+900, 180, 0}};
  for (const auto& m : moves) {
    SCOPED_TRACE(m.dx);
    // dx from the grab point, given in the thumb's coordinates, which move
    // with the thumb.
    const int x = 10 + start + m.dx - ThumbLeft();
    owner.notices.clear();
    SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<short>(x), 10));
    Pump();
    EXPECT_EQ(ThumbLeft(), m.left);
    RECT r{};
    GetWindowRect(thumb, &r);
    MapWindowPoints(nullptr, slider.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 0);  // across the track it stays at the top edge
    EXPECT_EQ(slider.value(), m.value);
    ASSERT_FALSE(owner.notices.empty());
    EXPECT_EQ(owner.notices.back().msg, kSliderValueChanged);
    EXPECT_EQ(owner.notices.back().wp, WPARAM(m.value));
    EXPECT_EQ(owner.notices.back().lp, 9);
  }
  owner.notices.clear();
  SendMessageW(thumb, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  Pump();
  EXPECT_EQ(slider.thumb().look(), 1);
  EXPECT_EQ(slider.thumb().value(), 0);
  ASSERT_FALSE(owner.notices.empty());
  EXPECT_EQ(owner.notices.back().msg, kTrackReleased);
  EXPECT_EQ(owner.notices.back().lp, 9);
}

TEST_F(Slider, CreationFailsCleanlyWithoutPictures) {
  SliderSetup no_thumb = setup;
  no_thumb.thumb_pictures[0] = Scratch() + L"missing.bmp";
  EXPECT_FALSE(slider.Create(no_thumb));
  EXPECT_EQ(slider.hwnd(), nullptr);
  EXPECT_EQ(GetWindow(owner.hwnd(), GW_CHILD), nullptr);
  SliderSetup no_track = setup;
  no_track.track_picture = Scratch() + L"missing.bmp";
  EXPECT_FALSE(slider.Create(no_track));
  EXPECT_TRUE(slider.Create(setup));
}

}  // namespace
