#include "win/code_page_win.h"

#include <windows.h>

#include <climits>

namespace vantrel {
namespace {

std::u16string DecodeAcp(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return {};
  std::u16string out(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

// No best-fit mapping: "é" must not quietly become "e" in a code page that
// lacks it. A character without an exact match makes the caller switch the
// file to UTF-16 instead.
std::optional<std::string> EncodeAcp(std::u16string_view text) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX / 4) return std::nullopt;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int len = static_cast<int>(text.size());
  BOOL used_default = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, len, nullptr, 0, nullptr,
                              &used_default);
  if (n <= 0 || used_default) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, len, out.data(), n, nullptr,
                          &used_default);
  if (n <= 0 || used_default) return std::nullopt;
  out.resize(static_cast<std::size_t>(n));
  return out;
}

}  // namespace

const CodePage& SystemAnsiCodePage() {
  static const CodePage cp{DecodeAcp, EncodeAcp};
  return cp;
}

}  // namespace vantrel
