// One painted label of a skinned dialog: Arial at a height and weight, a
// colour, transparent background. The font lives only for this one call.
#pragma once

#include <windows.h>

#include <string>

namespace vantrel::skin {

// The program's own colours, the same in every skin.
constexpr COLORREF kAccent = 676274;      // red 178, green 81, blue 10
constexpr COLORREF kFrameDark = 1184274;  // red, green and blue 18

void DrawSkinText(HDC dc, const std::wstring& text, int height, int weight, COLORREF colour,
                  RECT rect, UINT format);

}  // namespace vantrel::skin
