#include "skin/paint_text.h"

#include "win/gdi.h"

namespace vantrel::skin {

void DrawSkinText(HDC dc, const std::wstring& text, int height, int weight, COLORREF colour,
                  RECT rect, UINT format) {
  if (text.empty()) return;
  win::Font font = win::MakeFont(L"Arial", height, weight);
  win::SelectGuard keep(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

}  // namespace vantrel::skin
