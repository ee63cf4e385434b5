#include "skin/bitmap_btn.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>

#include "skin/lang_strings.h"
#include "skin/paint_text.h"
#include "skin/skin_image.h"
#include "win/focus_nav.h"

namespace vantrel::skin {
namespace {

// Shared by every skinned button: only picks a hovered button's text colour.
bool g_mouse_button_down = false;

// The default actions a screen reader offers, lang.dll 1560..1563.
std::wstring ActionName(ButtonRole role) {
  const TextTable& texts = Texts(1560, 4);
  switch (role) {
    case ButtonRole::Check:
      return TextAt(texts, 1);
    case ButtonRole::Radio:
    case ButtonRole::PageTab:
      return TextAt(texts, 2);
    case ButtonRole::DropDown:
      return TextAt(texts, 3);
    default:
      return TextAt(texts, 0);
  }
}

}  // namespace

bool CBitmapBtn::MouseButtonDown() { return g_mouse_button_down; }

CBitmapBtn::~CBitmapBtn() {
  if (tooltip_) DestroyWindow(tooltip_);
}

bool CBitmapBtn::Create(HWND parent, const RECT& rect) {
  if (hwnd()) return false;
  // Made owner-drawn and a tab stop from the start: every style change
  // afterwards would be messages to each of a page's buttons.
  HWND h = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                           rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!h) return false;
  if (!Subclass(h)) {
    DestroyWindow(h);
    return false;
  }
  return true;
}

void CBitmapBtn::SetSkin(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled,
                         const RECT& rect) {
  if (!hwnd()) return;
  win::WindowDC dc(hwnd());
  const HBITMAP pictures[LookCutter::kLooks] = {normal, over, down, disabled};
  LookCutter cutter(dc.get(), pictures);
  SetSkin(cutter, rect);
}

void CBitmapBtn::SetSkin(LookCutter& cutter, const RECT& rect) {
  if (!hwnd()) return;
  looks_present_ = cutter.Cut(rect, looks_);
  look_width_ = rect.right - rect.left;
  const LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
  if (style & WS_BORDER) SetWindowLongPtrW(hwnd(), GWL_STYLE, style & ~WS_BORDER);
}

void CBitmapBtn::MakeLabel() {
  role = ButtonRole::Label;
  if (!hwnd()) return;
  const LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
  SetWindowLongPtrW(hwnd(), GWL_STYLE, style & ~WS_TABSTOP);
}

bool CBitmapBtn::Press() {
  if (!hwnd() || !IsWindowEnabled(hwnd()) || role == ButtonRole::Label) return false;
  SendMessageW(hwnd(), BM_CLICK, 0, 0);
  return true;
}

bool CBitmapBtn::Describe(win::AccessibleInfo& info) const {
  info.name = !accessible_name.empty() ? accessible_name : !text.empty() ? text : tip_;
  // A button named apart from its caption (a drop-down, a programmable
  // key) shows its value in the caption.
  info.value = !accessible_value.empty() || accessible_name.empty() ? accessible_value : text;
  ButtonRole as = role;
  if (as == ButtonRole::Push && toggle_mode) as = ButtonRole::Check;
  const bool on = checked_;
  switch (as) {
    case ButtonRole::Push:
      info.role = ROLE_SYSTEM_PUSHBUTTON;
      break;
    case ButtonRole::Check:
      info.role = ROLE_SYSTEM_CHECKBUTTON;
      if (on) info.state |= STATE_SYSTEM_CHECKED;
      break;
    case ButtonRole::Radio:
      info.role = ROLE_SYSTEM_RADIOBUTTON;
      if (on) info.state |= STATE_SYSTEM_CHECKED;
      break;
    case ButtonRole::PageTab:
      info.role = ROLE_SYSTEM_PAGETAB;
      info.state |= STATE_SYSTEM_SELECTABLE;
      if (on) info.state |= STATE_SYSTEM_SELECTED;
      break;
    case ButtonRole::DropDown:
      info.role = ROLE_SYSTEM_BUTTONDROPDOWN;
      info.state |= STATE_SYSTEM_HASPOPUP;
      break;
    case ButtonRole::Label:
      info.role = ROLE_SYSTEM_STATICTEXT;
      return true;
  }
  info.default_action = ActionName(as);
  return true;
}

void CBitmapBtn::SetCheck(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Repaint();
}

void CBitmapBtn::Repaint() {
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void CBitmapBtn::SetTooltipText(const std::wstring& tip) {
  if (tip.empty() || !hwnd()) return;
  tip_ = tip;
  if (tooltip_) UpdateTooltip();
}

void CBitmapBtn::UpdateTooltip() {
  // The v2 size is understood by every common controls version.
  TOOLINFOW info{TTTOOLINFOW_V2_SIZE};
  info.hwnd = hwnd();
  info.uId = 1;
  info.lpszText = const_cast<wchar_t*>(tip_.c_str());
  GetClientRect(hwnd(), &info.rect);
  if (SendMessageW(tooltip_, TTM_GETTOOLCOUNT, 0, 0) == 0) {
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
}

bool CBitmapBtn::PreTranslateMessage(MSG& msg) {
  // The tooltip control is made when the pointer first moves over the
  // button: a window of a dozen buttons would otherwise open with a dozen
  // hidden popup windows made for tips most of them never show.
  if (!tooltip_ && !tip_.empty() && msg.message == WM_MOUSEMOVE && msg.hwnd == hwnd()) {
    static const bool classes = [] {
      INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
      return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)classes;
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (tooltip_) UpdateTooltip();
  }
  // The tooltip learns of the pointer's moves from the relayed messages.
  if (tooltip_) SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  return false;
}

HWND CBitmapBtn::NotifyTarget() const {
  HWND owner = GetWindow(hwnd(), GW_OWNER);
  return owner ? owner : GetParent(hwnd());
}

bool CBitmapBtn::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_MOUSEMOVE:
      result = OnMouseMove(wp, lp);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      HWND root = GetAncestor(NotifyTarget(), GA_ROOT);
      if (root && root != GetActiveWindow()) SetActiveWindow(root);
      g_mouse_button_down = true;
      Repaint();
      result = DefaultProc(msg, wp, lp);
      return true;
    }
    case WM_LBUTTONUP:
      result = OnButtonUp(wp, lp);
      return true;
    case WM_KILLFOCUS:
      result = DefaultProc(msg, wp, lp);
      hover_ = false;
      Repaint();
      return true;
    case WM_CAPTURECHANGED:
      // The capture has already gone elsewhere: just show the current look.
      if (hover_) Repaint();
      result = DefaultProc(msg, wp, lp);
      return true;
    case WM_ERASEBKGND:
      result = 0;  // the owner draw paints every pixel
      return true;
    default:
      return false;
  }
}

LRESULT CBitmapBtn::OnMouseMove(WPARAM wp, LPARAM lp) {
  const LRESULT result = DefaultProc(WM_MOUSEMOVE, wp, lp);
  HWND self = hwnd();
  const bool left_down = (wp & MK_LBUTTON) != 0;
  // A drag that began elsewhere does not light the button.
  if (left_down && !hover_) return result;
  HWND target = NotifyTarget();
  POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ClientToScreen(self, &screen);
  if (GetCapture() == self || !GetActiveWindow() || !target) {
    if (WindowFromPoint(screen) != self) {
      if (hover_) {
        hover_ = false;
        g_mouse_button_down = false;
        Repaint();
      }
      if (!left_down && GetCapture() == self) ReleaseCapture();
    }
  } else {
    hover_ = true;
    SetCapture(self);
    Repaint();
  }
  if (target) PostMessageW(target, WM_MOUSEMOVE, wp, MAKELPARAM(screen.x, screen.y));
  return result;
}

LRESULT CBitmapBtn::OnButtonUp(WPARAM wp, LPARAM lp) {
  HWND self = hwnd();
  HWND target = NotifyTarget();
  LRESULT result = 0;
  if (toggle_mode) {
    checked_ = !checked_;
    Repaint();
    // The press pushed the platform button and took the capture; undo both
    // without its click, which would be a second notification.
    SendMessageW(self, BM_SETSTATE, FALSE, 0);
    if (GetCapture() == self) ReleaseCapture();
    SendMessageW(target, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(self), 0),
                 reinterpret_cast<LPARAM>(self));
  } else {
    result = DefaultProc(WM_LBUTTONUP, wp, lp);  // BN_CLICKED to the parent
  }
  g_mouse_button_down = false;
  // The click's handler may have destroyed the button.
  if (!IsWindow(self)) return result;
  if (target) PostMessageW(target, WM_LBUTTONUP, 0, 0);
  Repaint();
  return result;
}

// Two pixels wide, so the keyboard's place stays apart from the thinner
// frame of the hover look the mouse leaves on another control.
void DrawFocusMark(HDC dc, const RECT& rect) {
  win::Brush accent(CreateSolidBrush(kAccent));
  RECT edge = rect;
  for (int i = 0; i < 2 && edge.right - edge.left > 2 && edge.bottom - edge.top > 2; ++i) {
    FrameRect(dc, &edge, accent.get());
    InflateRect(&edge, -1, -1);
  }
}

int CBitmapBtn::LookOffset(ButtonImage which) const {
  int look = 0;
  switch (which) {
    case ButtonImage::Hover:
      look = 1;
      break;
    case ButtonImage::Pressed:
      look = 2;
      break;
    case ButtonImage::Disabled:
      look = 3;
      break;
    case ButtonImage::Normal:
      break;
  }
  if (!looks_ || !(looks_present_ & (1u << look))) return -1;
  return look * look_width_;
}

COLORREF CBitmapBtn::ColourFor(ButtonTextColour which) const {
  switch (which) {
    case ButtonTextColour::Hover:
      return hover_text_colour;
    case ButtonTextColour::Pressed:
      return pressed_text_colour;
    case ButtonTextColour::Disabled:
      return disabled_text_colour;
    case ButtonTextColour::Normal:
      break;
  }
  return text_colour;
}

bool CBitmapBtn::OnDrawItem(DRAWITEMSTRUCT& item) {
  ButtonState state;
  state.toggle_mode = toggle_mode;
  state.checked = checked_;
  state.selected = (item.itemState & ODS_SELECTED) != 0;
  state.disabled = (item.itemState & ODS_DISABLED) != 0;
  // Focused from the keyboard: the hover look inside the accent frame.
  const bool marked = GetFocus() == hwnd() && win::FocusCuesShown(hwnd());
  state.hover = hover_ || marked;
  const int look = LookOffset(ChooseButtonImage(state));
  if (look < 0) return true;  // no look for this state: nothing to draw
  const RECT& rc = item.rcItem;
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  // A button made wider than its looks were cut shows no pixels of the
  // neighbouring look.
  const int picture_w = std::min(w, look_width_);

  win::MemoryDC source(item.hDC);
  win::SelectGuard keep_source(source.get(), looks_.get());
  if (text.empty()) {
    BitBlt(item.hDC, rc.left, rc.top, picture_w, h, source.get(), look, 0, SRCCOPY);
    if (marked) DrawFocusMark(item.hDC, rc);
    return true;
  }
  // Compose picture and caption off screen, then copy once.
  win::MemoryCanvas canvas(item.hDC, {w, h});
  HDC compose = canvas.dc();
  BitBlt(compose, 0, 0, picture_w, h, source.get(), look, 0, SRCCOPY);
  SetBkMode(compose, TRANSPARENT);
  SetTextColor(compose, ColourFor(ChooseTextColour(state, g_mouse_button_down)));
  win::Font font = win::MakeFont(font_face.c_str(), font_height, font_weight, font_width);
  win::SelectGuard keep_font(compose, font.get());
  SIZE extent{};
  GetTextExtentPoint32W(compose, text.c_str(), static_cast<int>(text.size()), &extent);
  const TextBox box =
      ButtonTextBox({0, 0, w, h}, draw_flags, indent, font_height, text.size(), extent.cy);
  RECT layout{box.left, box.top, box.right, box.bottom};
  DrawTextW(compose, text.c_str(), static_cast<int>(text.size()), &layout,
            ButtonTextFormat(draw_flags, alignment));
  if (marked) DrawFocusMark(compose, {0, 0, w, h});
  canvas.Present(rc.left, rc.top);
  return true;
}

void CBitmapBtn::OnDestroy() {
  g_mouse_button_down = false;
  if (tooltip_) {
    DestroyWindow(tooltip_);
    tooltip_ = nullptr;
  }
  tip_.clear();
  looks_.reset();
  looks_present_ = 0;
}

}  // namespace vantrel::skin
