#include "skin/paint_text.h"

#include "win/gdi.h"

namespace vantrel::skin {

void DrawSkinText(HDC dc, const std::wstring& text, int height, int weight, COLORREF colour,
                  RECT rect, UINT format) {
  if (text.empty()) return;
  win::Font font(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             FF_SWISS | DEFAULT_PITCH, L"Arial"));
  win::SelectGuard keep(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

}  // namespace vantrel::skin
