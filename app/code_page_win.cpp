#include "code_page_win.h"

#include <windows.h>

#include <climits>

namespace vantrel::app {
namespace {

std::u16string Decode(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return std::u16string(out.begin(), out.end());
}

std::optional<std::string> Encode(std::u16string_view text) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX / 4) return std::nullopt;
  const std::wstring wide(text.begin(), text.end());
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, &lossy);
  // A character the code page cannot hold: the caller stores UTF-16 instead.
  if (n <= 0 || lossy) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

}  // namespace

const CodePage& AnsiCodePage() {
  static const CodePage cp{Decode, Encode};
  return cp;
}

}  // namespace vantrel::app
