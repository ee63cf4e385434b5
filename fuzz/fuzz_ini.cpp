// INI files are user-editable: any bytes must parse, read and write without
// going out of bounds, an untouched document must save as the same bytes,
// and what we write must read back the same after a fresh parse. A parse
// may take at most 4 bytes of heap per byte of input beyond its own copy of
// it, counted through the sanitizer's allocation hooks.
#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/ini_file.h"

namespace {

using vantrel::IniFile;

void Check(bool ok) {
  if (!ok) std::abort();
}

// Heap in use, and its highest mark since it was last reset.
std::size_t g_live = 0, g_peak = 0;

IniFile Parse(const std::vector<std::uint8_t>& bytes) {
  IniFile ini;
  ini.LoadBytes(bytes);
  return ini;
}

}  // namespace

extern "C" void __sanitizer_malloc_hook(const volatile void*, std::size_t size) {
  g_live += size;
  g_peak = std::max(g_peak, g_live);
}

extern "C" void __sanitizer_free_hook(const volatile void* p) {
  if (p) g_live -= __sanitizer_get_allocated_size(p);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> input(data, data + size);
  const std::size_t before = g_live;
  g_peak = before;
  IniFile ini = Parse(input);
  // Its own copy of the input, then at most 4 bytes a byte and a few KB of
  // fixed cost (the code page's conversions, the smallest tables).
  Check(g_peak - before <= size + 4 * size + 4096);

  // Untouched: byte for byte (an odd byte after UTF-16 text is dropped; a
  // UTF-8 file is only ever saved as UTF-16).
  Check(!ini.dirty());
  if (ini.encoding() != vantrel::IniEncoding::Utf8) {
    std::vector<std::uint8_t> expected = input;
    if (ini.encoding() == vantrel::IniEncoding::Utf16Le && expected.size() % 2) expected.pop_back();
    Check(ini.Serialize() == expected);
  }

  // Names and values cut from the input itself, so they hit its sections.
  std::vector<std::u16string> words{u"", u"s", u"k"};
  std::u16string word;
  for (std::uint8_t b : input) {
    if (b == '\n' || b == '=' || word.size() > 40) {
      words.push_back(word);
      word.clear();
    } else {
      word.push_back(static_cast<char16_t>(b < 0x80 ? b : 0x100 + b));  // some not in 1252
    }
  }
  words.push_back(word);
  if (words.size() > 64) words.resize(64);
  auto pick = [&](std::size_t i) -> const std::u16string& { return words[i % words.size()]; };

  std::uint8_t buf[8];
  for (std::size_t i = 0; i < words.size(); ++i) {
    ini.ReadString(pick(i), pick(i + 1), u"d", i % 7);
    ini.ReadInt(pick(i), pick(i + 1), 0);
    std::fill(std::begin(buf), std::end(buf), 0xCC);
    if (!ini.ReadStruct(pick(i), pick(i + 1), std::span(buf).first(i % 8)))
      for (std::uint8_t b : buf) Check(b == 0xCC);
  }

  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::u16string& s = pick(i * 3);
    const std::u16string& k = pick(i * 3 + 1);
    switch ((size ? data[i % size] : 0) % 6) {
      case 0:
        ini.DeleteKey(s, k);
        break;
      case 1:
        ini.DeleteSection(s);
        break;
      case 2:
        ini.WriteInt(s, k, static_cast<std::int32_t>(i * 2654435761u));
        break;
      case 3:
        ini.WriteStruct(s, k, std::span(data, std::min<std::size_t>(size, 16)));
        break;
      default:
        ini.WriteString(s, k, pick(i * 3 + 2));
        break;
    }
  }

  // Saved and parsed again: every read agrees, and saving again is stable.
  std::vector<std::uint8_t> out = ini.Serialize();
  IniFile again = Parse(out);
  for (std::size_t i = 0; i < words.size(); ++i) {
    Check(again.ReadString(pick(i), pick(i + 1), u"d", 100000) ==
          ini.ReadString(pick(i), pick(i + 1), u"d", 100000));
    Check(again.Find(pick(i * 3), pick(i * 3 + 1)) == ini.Find(pick(i * 3), pick(i * 3 + 1)));
  }
  Check(again.Serialize() == out);
  return 0;
}
