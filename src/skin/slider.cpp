#include "skin/slider.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "skin/skin_image.h"

namespace vantrel::skin {
namespace {

// One of the thumb's pictures, through the skin's one picture loader.
HBITMAP LoadBitmapFile(const std::wstring& path) {
  win::Bitmap bitmap;
  SIZE size{};
  if (path.empty() || !LoadSkinImage(path, bitmap, size)) return nullptr;
  return bitmap.release();
}

POINT PointFrom(LPARAM lp) { return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

}  // namespace

// ---- CPSlider ----

bool CPSlider::Create(const std::array<std::wstring, 3>& files, HWND parent, UINT control_id,
                      POINT centre, SIZE track_size) {
  if (hwnd()) return false;
  win::Bitmap normal(LoadBitmapFile(files[0]));
  BITMAP bm{};
  if (!normal || !GetObjectW(normal.get(), sizeof bm, &bm)) return false;
  pictures_[0] = std::move(normal);
  for (int i = 1; i < 3; ++i) pictures_[i].reset(LoadBitmapFile(files[i]));
  size_ = {bm.bmWidth, bm.bmHeight};
  id_ = control_id;
  track_ = {centre.x - track_size.cx / 2, centre.y - track_size.cy / 2,
            centre.x - track_size.cx / 2 + track_size.cx,
            centre.y - track_size.cy / 2 + track_size.cy};
  RECT rc{centre.x - size_.cx / 2, centre.y - size_.cy / 2, 0, 0};
  rc.right = rc.left + size_.cx;
  rc.bottom = rc.top + size_.cy;
  if (!win::Window::Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_EX_TRANSPARENT, parent, rc))
    return false;
  win::Region outline = RegionFromMask(pictures_[0].get(), std::nullopt);
  if (outline) win::ApplyWindowRegion(hwnd(), outline, TRUE);
  return true;
}

int CPSlider::Travel() const {
  int length = horizontal_ ? track_.right - track_.left : track_.bottom - track_.top;
  int thumb = horizontal_ ? size_.cx : size_.cy;
  return length > thumb ? length - thumb : 0;
}

int CPSlider::CurrentOffset() const {
  RECT rc{};
  GetWindowRect(hwnd(), &rc);
  MapWindowPoints(nullptr, GetParent(hwnd()), reinterpret_cast<POINT*>(&rc), 2);
  return horizontal_ ? rc.left - track_.left : rc.top - track_.top;
}

void CPSlider::MoveToOffset(int offset) {
  // Along the axis inside the track, across it at the track's top or left.
  int x = horizontal_ ? track_.left + offset : track_.left;
  int y = horizontal_ ? track_.top : track_.top + offset;
  SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPSlider::SetValue(int value) {
  value_ = ClampToRange(value, range_);
  if (hwnd()) MoveToOffset(ThumbOffset(value_, range_, Travel()));
}

void CPSlider::SetLook(int look) {
  if (look == look_) return;
  look_ = look;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void CPSlider::OnButtonDown(POINT pt) {
  if (!enabled_) return;
  PostMessageW(hwnd(), kThumbGrabbed, 0, 0);
  SetCapture(hwnd());
  MapWindowPoints(hwnd(), GetParent(hwnd()), &pt, 1);
  grab_ = pt;
  grab_offset_ = CurrentOffset();
  dragging_ = true;
}

void CPSlider::OnMove(POINT pt) {
  if (!dragging_) {
    POINT screen = pt;
    ClientToScreen(hwnd(), &screen);
    bool over = WindowFromPoint(screen) == hwnd() && GetActiveWindow() != nullptr;
    if (over && !tracking_leave_) {
      TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
      tracking_leave_ = TrackMouseEvent(&tme) != FALSE;
    }
    SetLook(over ? 2 : 1);
    return;
  }
  SetLook(3);
  MapWindowPoints(hwnd(), GetParent(hwnd()), &pt, 1);
  int delta = horizontal_ ? pt.x - grab_.x : pt.y - grab_.y;
  int offset = DraggedOffset(grab_offset_, delta, Travel());
  MoveToOffset(offset);
  // The value of where the thumb now stands, not of where it stood before
  // this move: the last report of a drag then matches the final place.
  PostMessageW(GetParent(hwnd()), kThumbMoved, 0, ValueAtOffset(offset, range_, Travel()));
}

void CPSlider::OnButtonUp() {
  if (!dragging_) return;
  dragging_ = false;
  ReleaseCapture();
  SetLook(1);
  UpdateWindow(hwnd());
  int at = ValueAtOffset(CurrentOffset(), range_, Travel());
  value_ = range_.minimum + range_.maximum - at;
  HWND track = GetParent(hwnd());
  PostMessageW(track, kSliderValueChanged, value_, id_);
  PostMessageW(track, WM_LBUTTONUP, 0, 0);
}

bool CPSlider::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      OnButtonDown(PointFrom(lp));
      break;
    case WM_MOUSEMOVE:
      OnMove(PointFrom(lp));
      break;
    case WM_LBUTTONUP:
      OnButtonUp();
      break;
    case WM_CAPTURECHANGED:
      // Capture taken away mid-drag (another window, a menu): end the drag
      // where the thumb stands rather than follow a pointer it no longer sees.
      if (dragging_) OnButtonUp();
      return false;
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      if (!dragging_) SetLook(1);
      break;
    case kThumbGrabbed:
      SetLook(3);
      break;
    default:
      return false;
  }
  result = 0;
  return true;
}

bool CPSlider::OnPaint() {
  win::PaintDC paint(hwnd());
  HBITMAP picture = pictures_[0].get();
  if (look_ == 2 && pictures_[1]) picture = pictures_[1].get();
  if (look_ == 3 && pictures_[2]) picture = pictures_[2].get();
  win::MemoryDC source(paint.get());
  win::SelectGuard keep_source(source.get(), picture);
  BitBlt(paint.get(), 0, 0, size_.cx, size_.cy, source.get(), 0, 0, SRCCOPY);
  return true;
}

// ---- CClickSlider ----

bool CClickSlider::Create(const SliderSetup& setup) {
  if (hwnd()) return false;
  SIZE size{};
  if (!LoadSkinImage(setup.track_picture, track_picture_, size)) return false;
  if (!setup.fill_picture.empty()) LoadSkinImage(setup.fill_picture, fill_picture_, size);
  id_ = setup.control_id;
  rect_ = setup.rect;
  owner_ = setup.owner;
  range_ = setup.range;
  reversed_ = setup.reversed;
  if (!win::Window::Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, owner_, rect_)) return false;
  SIZE track{rect_.right - rect_.left, rect_.bottom - rect_.top};
  if (!thumb_.Create(setup.thumb_pictures, hwnd(), id_, {track.cx / 2, track.cy / 2}, track)) {
    Destroy();
    return false;
  }
  thumb_.SetHorizontal(reversed_);
  thumb_.SetRange(range_);
  thumb_.Enable(true);
  thumb_.SetValue(range_.minimum);
  value_ = range_.minimum;
  return true;
}

void CClickSlider::SetValue(int value) {
  value_ = ClampToRange(value, range_);
  thumb_.SetValue(value_);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void CClickSlider::Notify(UINT msg, WPARAM wp) const {
  if (owner_) PostMessageW(owner_, msg, wp, id_);
}

bool CClickSlider::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case kThumbMoved: {
      int v = ClampToRange(static_cast<int>(lp), range_);
      // A straight track reports the thumb's value as it is: adding the
      // minimum again would leave the range for any minimum but 0.
      value_ = reversed_ ? range_.minimum + range_.maximum - v : v;
      Notify(kSliderValueChanged, value_);
      InvalidateRect(hwnd(), nullptr, FALSE);
      result = 0;
      return true;
    }
    case kSliderValueChanged:  // the thumb's final value: nothing to do
      result = 0;
      return true;
    case WM_MOUSEMOVE:
      if (wp == MK_LBUTTON && rect_.right != rect_.left) {
        POINT pt = PointFrom(lp);
        MapWindowPoints(hwnd(), owner_, &pt, 1);
        long long span = static_cast<long long>(range_.maximum) - range_.minimum;
        long long v = range_.minimum + span * (pt.x - rect_.left) / (rect_.right - rect_.left);
        int clamped =
            ClampToRange(static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)), range_);
        Notify(kSliderValueChanged, range_.minimum + range_.maximum - clamped);
      }
      return false;
    case WM_LBUTTONDOWN:
      button_down_ = true;
      return false;
    case WM_LBUTTONUP:
      button_down_ = false;
      Notify(kTrackReleased, 0);
      return false;
    default:
      return false;
  }
}

bool CClickSlider::OnPaint() {
  win::PaintDC paint(hwnd());
  RECT client{};
  GetClientRect(hwnd(), &client);
  win::MemoryDC source(paint.get());
  {
    win::SelectGuard keep(source.get(), track_picture_.get());
    BitBlt(paint.get(), 0, 0, client.right, client.bottom, source.get(), 0, 0, SRCCOPY);
  }
  if (fill_picture_) {
    win::SelectGuard keep(source.get(), fill_picture_.get());
    if (reversed_) {
      int w = FillExtent(client.right, value_, range_, true);
      BitBlt(paint.get(), 0, 0, w, client.bottom, source.get(), 0, 0, SRCCOPY);
    } else {
      int h = FillExtent(client.bottom, value_, range_, false);
      BitBlt(paint.get(), 0, 0, client.right, h, source.get(), 0, 0, SRCCOPY);
    }
  }
  return true;
}

}  // namespace vantrel::skin
