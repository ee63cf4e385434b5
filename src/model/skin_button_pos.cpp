#include "model/skin_button_pos.h"

#include <cstring>
#include <limits>

#include "model/text.h"

namespace vantrel {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(v < kMin ? kMin : v > kMax ? kMax : v);
}

// One "%d": optional white space, sign, at least one digit. Saturates
// instead of overflowing on absurdly long digit runs.
bool ScanInt(std::u16string_view& s, std::int32_t& out) {
  size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
  size_t first_digit = i;
  std::int64_t v = 0;
  for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
    if (v <= kMax + 1) v = v * 10 + (s[i] - u'0');
  }
  if (i == first_digit) return false;
  out = Clamp32(negative ? -v : v);
  s.remove_prefix(i);
  return true;
}

}  // namespace

SkinButtonPos ParseButtonPos(std::u16string_view value) {
  SkinButtonPos pos;
  std::memset(&pos, 0, sizeof pos);
  size_t comma = value.find(u',');
  std::u16string_view rest = value;
  if (comma != std::u16string_view::npos) {
    ToFixed(pos.name, value.substr(0, comma));
    rest = value.substr(comma + 1);
  }

  std::int32_t fields[4] = {0, 0, 0, 0};
  std::u16string_view scan = rest;
  for (int k = 0; k < 4; ++k) {
    if (k > 0) {
      // A literal ',' in the format must match the next character exactly.
      if (scan.empty() || scan.front() != u',') break;
      scan.remove_prefix(1);
    }
    if (!ScanInt(scan, fields[k])) break;
  }
  pos.left = fields[0];
  pos.top = fields[1];
  pos.right = Clamp32(std::int64_t{fields[0]} + fields[2]);
  pos.bottom = Clamp32(std::int64_t{fields[1]} + fields[3]);

  size_t last = rest.rfind(u',');
  std::u16string_view caption = last == std::u16string_view::npos ? rest : rest.substr(last + 1);
  ToFixed(pos.caption, Trim(caption));
  return pos;
}

}  // namespace vantrel
