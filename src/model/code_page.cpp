// Windows-1252, the code page INI files without a byte-order mark are read
// in off Windows, and the switch that lets the Windows build install the
// real ANSI code page instead.
#include <array>
#include <atomic>

#include "model/ini_file.h"

namespace vantrel {
namespace {

// 0x80..0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, as the platform's converter does, so a file
// holding them survives a read and a rewrite unchanged.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::u16string Decode1252(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

std::optional<std::string> Encode1252(std::u16string_view text) {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out[i] = static_cast<char>(c);
      continue;
    }
    std::size_t k = 0;
    while (k < kHigh.size() && kHigh[k] != c) ++k;
    if (k == kHigh.size()) return std::nullopt;
    out[i] = static_cast<char>(0x80 + k);
  }
  return out;
}

std::atomic<const CodePage*> g_system{nullptr};

}  // namespace

const CodePage& Windows1252CodePage() {
  static const CodePage cp{Decode1252, Encode1252};
  return cp;
}

const CodePage& SystemCodePage() {
  const CodePage* cp = g_system.load();
  return cp ? *cp : Windows1252CodePage();
}

void SetSystemCodePage(const CodePage* cp) { g_system.store(cp); }

}  // namespace vantrel
