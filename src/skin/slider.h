// The picture slider: CClickSlider, the track (a background picture and a
// fill picture that follows the value), and CPSlider, the thumb (a small
// picture window with its own outline that the user drags along the track).
//
//   CClickSlider slider;
//   SliderSetup setup;
//   setup.owner = hwnd();                  // receives the notifications
//   setup.control_id = 7;                  // lParam of every notification
//   setup.rect = {20, 40, 220, 60};        // in the owner's client area
//   setup.range = {0, 10};
//   setup.track_picture = dir + L"track.bmp";    // any picture LoadSkinImage reads
//   setup.fill_picture = dir + L"fill.bmp";      // optional
//   setup.thumb_pictures = {dir + L"n.bmp", dir + L"h.bmp", dir + L"p.bmp"};  // BMP files
//   slider.Create(setup);                  // false: no track or thumb picture
//   slider.SetValue(5);
//
// The owner receives (posted):
//   kSliderValueChanged (1034)  wParam value, lParam control ID  while dragging
//   kTrackReleased      (1036)  0, control ID                    button released
// `reversed` (the default) makes a horizontal slider whose maximum lies at
// the left; otherwise the thumb runs vertically with the maximum at the top.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "model/slider_geometry.h"
#include "win/gdi.h"
#include "win/window.h"

namespace vantrel::skin {

constexpr UINT kSliderValueChanged = WM_USER + 10;  // 1034
constexpr UINT kThumbMoved = WM_USER + 11;          // 1035
constexpr UINT kTrackReleased = WM_USER + 12;       // 1036
constexpr UINT kThumbGrabbed = 2025;

// The thumb. Its parent is the track window; the track rectangle is in the
// parent's client coordinates.
class CPSlider : public win::Window {
 public:
  // Loads the three pictures (normal, hover, pressed) with LoadImage from
  // files; fails when the normal one cannot be loaded (a missing hover or
  // pressed picture falls back to the normal one). The thumb takes the
  // normal picture's size, is centred on `centre` and gets its outline.
  bool Create(const std::array<std::wstring, 3>& files, HWND parent, UINT control_id, POINT centre,
              SIZE track_size);

  void SetRange(SliderRange range) { range_ = range; }
  void SetHorizontal(bool horizontal) { horizontal_ = horizontal; }
  void Enable(bool enabled) { enabled_ = enabled; }
  // Stores the value and moves the thumb to its place on the track.
  void SetValue(int value);
  int value() const { return value_; }
  int look() const { return look_; }  // 1 normal, 2 hover, 3 pressed
  SIZE size() const { return size_; }
  const RECT& track() const { return track_; }
  // Pixels the thumb can travel along the track.
  int Travel() const;
  // The thumb's offset from the track start, from its window position.
  int CurrentOffset() const;

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool OnPaint() override;
  bool OnEraseBackground(HDC) override { return true; }

 private:
  void MoveToOffset(int offset);
  void SetLook(int look);
  void OnButtonDown(POINT pt);
  void OnMove(POINT pt);
  void OnButtonUp();

  UINT id_ = 0;
  std::array<win::Bitmap, 3> pictures_;
  SIZE size_{};
  bool dragging_ = false;
  POINT grab_{};  // pointer position at the grab, in the track's coordinates
  int grab_offset_ = 0;
  RECT track_{};
  SliderRange range_{};
  bool enabled_ = true;
  int look_ = 1;
  bool horizontal_ = true;
  bool tracking_leave_ = false;
  int value_ = 0;
};

struct SliderSetup {
  HWND owner = nullptr;
  UINT control_id = 0;
  RECT rect{};  // the track in the owner's client coordinates
  SliderRange range{0, 10};
  bool reversed = true;
  std::wstring track_picture;
  std::wstring fill_picture;
  std::array<std::wstring, 3> thumb_pictures;  // normal, hover, pressed
};

class CClickSlider : public win::Window {
 public:
  // A visible child of the owner at the setup's rectangle, with its thumb
  // at the minimum. False when the track or the thumb's normal picture
  // cannot be loaded (nothing is left behind).
  bool Create(const SliderSetup& setup);

  // Moves the thumb and the fill to `value` (clamped) without notifying.
  void SetValue(int value);
  int value() const { return value_; }
  CPSlider& thumb() { return thumb_; }
  bool button_down() const { return button_down_; }

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool OnPaint() override;
  bool OnEraseBackground(HDC) override { return true; }

 private:
  void Notify(UINT msg, WPARAM wp) const;

  UINT id_ = 0;
  win::Bitmap track_picture_;
  win::Bitmap fill_picture_;
  RECT rect_{};
  HWND owner_ = nullptr;
  SliderRange range_{};
  bool reversed_ = true;
  int value_ = 0;
  CPSlider thumb_;
  bool button_down_ = false;
};

}  // namespace vantrel::skin
