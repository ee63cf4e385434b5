// Small Win32 helpers every layer needs: UTF-16 conversions between the
// platform's wchar_t strings and the model's char16_t strings, the debug
// trace sink, and the folder of the running executable.
//
//   std::wstring w = ToWide(u"text");   std::u16string u = ToU16(L"text");
//   InstallDebugTrace();                // vantrel::Trace -> OutputDebugStringW
//   std::wstring dir = ApplicationDirectory();   // "C:\\...\\" (trailing '\\')
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vantrel::win {

// wchar_t and char16_t are both 16-bit UTF-16 on Windows: a plain copy.
std::wstring ToWide(std::u16string_view text);
std::u16string ToU16(std::wstring_view text);

// The text of a window (an edit control's contents), and of item `index` of
// a list box (empty when there is none).
std::wstring WindowText(HWND hwnd);
std::wstring ListItemText(HWND list, int index);

// Routes vantrel::Trace lines to the debugger output channel.
void InstallDebugTrace();
// Writes one line to the debugger output channel directly.
void DebugTrace(std::wstring_view line);

// Drive and folder of the executable, with a trailing backslash. Computed
// once; SetApplicationDirectory overrides it (tests and tools that keep
// skins or lang.dll elsewhere). An override without a trailing backslash
// gets one.
const std::wstring& ApplicationDirectory();
void SetApplicationDirectory(std::wstring directory);

}  // namespace vantrel::win
