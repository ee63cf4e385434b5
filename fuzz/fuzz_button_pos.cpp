// BUTTONPOS values come from skin files anyone can edit: any text must
// parse without reading or writing out of bounds, with terminated fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/skin_button_pos.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string value(size / 2, u'\0');
  for (std::size_t i = 0; i < value.size(); ++i) {
    value[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  const vantrel::SkinButtonPos p = vantrel::ParseButtonPos(value);
  if (p.name[39] != 0 || p.caption[399] != 0) std::abort();
  return 0;
}
