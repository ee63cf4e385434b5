// Helpers for the INI tests: files as byte strings in, bytes or decoded
// text out.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/ini_file.h"

namespace vantrel::ini_test {

inline IniFile FromBytes(std::string_view bytes) {
  IniFile ini;
  ini.LoadBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return ini;
}

inline std::string Bytes(const IniFile& ini) {
  std::vector<std::uint8_t> b = ini.Serialize();
  return {b.begin(), b.end()};
}

// A UTF-16LE file with its mark.
inline std::string Utf16File(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) out.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
  return out;
}

// The text a file holds: UTF-16LE after its mark, otherwise Windows-1252.
inline std::u16string Text(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
    std::u16string out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
      out.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                          static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    return out;
  }
  return Windows1252CodePage().decode(bytes);
}

}  // namespace vantrel::ini_test
