// CBitmapBtn: the skinned push button of every window. Four looks cut from
// the window's pictures (normal, hover, pressed, disabled), an optional
// caption drawn over them, a checked state that shows the pressed look,
// hover tracking by mouse capture, and a tooltip. A tab stop: focused from
// the keyboard it shows the hover look inside a frame in the accent
// colour, Space or Enter press it (Press), and a screen reader reads its
// name, role, state and value (Describe).
//
//   btn.Create(parent, rect);             // LoadSkin does these two
//   btn.SetSkin(normal, over, down, disabled, rect);
//   btn.text = L"Apply"; btn.font_height = 16; btn.Repaint();
//   btn.SetTooltipText(L"Apply");
//   btn.role = ButtonRole::Radio;  btn.accessible_name = L"Caps Lock";
//   parent's OnCommand(control, 0, BN_CLICKED): control == btn.hwnd()
//
// A "BUTTON" with BS_OWNERDRAW and control ID 0, subclassed through the
// window base: the parent reflects WM_DRAWITEM to it. Besides the click,
// the parent gets WM_LBUTTONUP (0, 0) after every release and WM_MOUSEMOVE
// with the pointer in screen coordinates. In toggle mode a release flips
// the checked state and the button sends WM_COMMAND (ID 0, code 0) itself.
#pragma once

#include <windows.h>

#include <string>

#include "model/button_look.h"
#include "win/gdi.h"
#include "win/window.h"

namespace vantrel::skin {

class LookCutter;

// What a button is to a screen reader. A Label is no tab stop either.
enum class ButtonRole { Push, Check, Radio, PageTab, DropDown, Label };

class CBitmapBtn : public win::Window {
 public:
  CBitmapBtn() = default;
  ~CBitmapBtn() override;

  // Written by windows, then Repaint(): layout and colours of the caption.
  std::wstring text;
  std::wstring font_face = L"Arial";
  int indent = 0;  // extra left margin of the text
  int font_height = 14;
  int font_width = 0;  // 0: the font's default
  int font_weight = 700;
  int alignment = 0;                 // 0 centred, 1 left, other right
  int draw_flags = kDrawSingleLine;  // kDrawWordBreak: word-wrapped layout
  COLORREF text_colour = RGB(178, 81, 10);
  COLORREF hover_text_colour = RGB(253, 253, 253);
  COLORREF disabled_text_colour = RGB(253, 253, 253);
  COLORREF pressed_text_colour = RGB(253, 253, 253);
  bool toggle_mode = false;  // read as ButtonRole::Check unless a role says otherwise
  ButtonRole role = ButtonRole::Push;
  // Read by screen readers: the name (the caption when empty, then the
  // tooltip) and the value (the caption when the name is set apart).
  std::wstring accessible_name;
  std::wstring accessible_value;

  // A visible owner-drawn child push button with ID 0, no text, a tab stop.
  bool Create(HWND parent, const RECT& rect);
  // Cuts the four looks out of whole-window pictures at `rect`.
  void SetSkin(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, const RECT& rect);
  // The same with a cutter shared by all buttons of a window.
  void SetSkin(LookCutter& cutter, const RECT& rect);
  // Repaints only when the state changes.
  void SetCheck(bool checked);
  bool GetCheck() const { return checked_; }
  bool hovered() const { return hover_; }
  // No-op for an empty text. The tooltip control (tool ID 1) is made when
  // the pointer first moves over the button.
  void SetTooltipText(const std::wstring& tip);
  const std::wstring& tooltip_text() const { return tip_; }
  HWND tooltip() const { return tooltip_; }
  void Repaint();

  // The process-wide flag any skinned button raises on a press.
  static bool MouseButtonDown();

  bool PreTranslateMessage(MSG& msg) override;
  bool Describe(win::AccessibleInfo& info) const override;
  // What a click does (BM_CLICK); false while disabled.
  bool Press() override;
  // Makes a label of the button: no tab stop, read as static text.
  void MakeLabel();

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool OnDrawItem(DRAWITEMSTRUCT& item) override;
  void OnDestroy() override;

 private:
  HWND NotifyTarget() const;
  LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
  LRESULT OnButtonUp(WPARAM wp, LPARAM lp);
  // The look's offset in looks_, or -1 when the button has no such look.
  int LookOffset(ButtonImage which) const;
  COLORREF ColourFor(ButtonTextColour which) const;

  // The four looks side by side: normal, hover, pressed, disabled.
  win::Bitmap looks_;
  unsigned looks_present_ = 0;  // bit i: look i was cut
  int look_width_ = 0;
  void UpdateTooltip();

  std::wstring tip_;
  HWND tooltip_ = nullptr;
  bool checked_ = false;
  bool hover_ = false;
};

// The keyboard focus mark of every skinned control: a frame two pixels
// wide in the accent colour, inside `rect`.
void DrawFocusMark(HDC dc, const RECT& rect);

}  // namespace vantrel::skin
