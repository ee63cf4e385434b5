// One painted label of a skinned dialog: Arial at a height and weight, a
// colour, transparent background. The font lives only for this one call.
#pragma once

#include <windows.h>

#include <string>

namespace vantrel::shell {

void DrawSkinText(HDC dc, const std::wstring& text, int height, int weight, COLORREF colour,
                  RECT rect, UINT format);

}  // namespace vantrel::shell
