#include "win/win_util.h"

#include <windows.h>

#include "model/trace.h"

namespace vantrel::win {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring& AppDirStorage() {
  static std::wstring dir;
  return dir;
}

void TraceToDebugger(std::u16string_view line) { DebugTrace(ToWide(line)); }

}  // namespace

std::wstring ToWide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::u16string ToU16(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

std::wstring WindowText(HWND hwnd) {
  const int n = GetWindowTextLengthW(hwnd);
  if (n <= 0) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), n + 1)));
  return text;
}

std::wstring ListItemText(HWND list, int index) {
  const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, index, 0);
  if (n == LB_ERR || n <= 0) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

void InstallDebugTrace() { SetTraceSink(&TraceToDebugger); }

void DebugTrace(std::wstring_view line) {
  std::wstring terminated(line);  // OutputDebugStringW needs a terminator
  OutputDebugStringW(terminated.c_str());
}

const std::wstring& ApplicationDirectory() {
  std::wstring& dir = AppDirStorage();
  if (dir.empty()) {
    // Long paths: grow the buffer until the name fits (the call truncates
    // silently and returns the buffer size when it does not).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (n == 0) return dir;
      if (n < path.size()) {
        path.resize(n);
        break;
      }
      path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    dir = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
  }
  return dir;
}

void SetApplicationDirectory(std::wstring directory) {
  if (!directory.empty() && directory.back() != L'\\' && directory.back() != L'/') {
    directory.push_back(L'\\');
  }
  AppDirStorage() = std::move(directory);
}

}  // namespace vantrel::win
