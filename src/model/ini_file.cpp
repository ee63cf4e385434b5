// IniFile: the document model (parse, index, lookups, writes,
// serialization). The reading rules are those of the platform's
// private-profile functions; the comments name the quirk where we follow
// one. A lookup goes through the hash index by (section, key) built at the
// parse, so it reads the one line it finds, not the file.
#include "model/ini_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "model/text.h"

namespace vantrel {

using ini_detail::Shape;
using ini_detail::Units;

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;

// The set the platform trims names, values and lines with: C white space
// plus Ctrl-Z, and nothing else (U+00A0 is part of the text).
bool IsIniSpace(char16_t c) { return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A; }

std::u16string_view TrimIni(std::u16string_view s) {
  while (!s.empty() && IsIniSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsIniSpace(s.back())) s.remove_suffix(1);
  return s;
}
std::u16string_view TrimFront(std::u16string_view s) {
  while (!s.empty() && IsIniSpace(s.front())) s.remove_prefix(1);
  return s;
}

// What a written string can hold: a NUL ends it (the platform takes C
// strings) and a line break would split the line and inject a key of its
// own, so both cut the text.
std::u16string_view FirstLine(std::u16string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] != u'\r' && s[i] != u'\n' && s[i] != u'\0') ++i;
  return s.substr(0, i);
}

// The first CR or LF byte in b[from, end), or end. Sixteen bytes per step:
// a struct line is some 100,000 bytes long, and the C runtime's memchr
// under Wine looks at one byte at a time. The step looks for any byte of
// 0x08..0x0F (one test instead of one for CR and one for LF); the others
// of that range (a tab, say) are told apart byte by byte.
std::size_t FindBreakByte(const std::uint8_t* b, std::size_t from, std::size_t end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHigh = 0x8080808080808080u;
  // Non-zero when some byte of w is 0x08..0x0F (and, past such a byte,
  // perhaps for others: only ever a reason to look closer).
  auto near_break = [](std::uint64_t w) {
    const std::uint64_t v = (w | kOnes * 0x07) ^ (kOnes * 0x0F);
    return (v - kOnes) & ~v & kHigh;
  };
  auto exact = [&](std::size_t i, std::size_t to) {
    for (; i < to; ++i)
      if (b[i] == '\n' || b[i] == '\r') return i;
    return end;
  };
  std::size_t i = from;
  for (; i + 16 <= end; i += 16) {
    std::uint64_t w[2];
    std::memcpy(w, b + i, sizeof w);
    if ((near_break(w[0]) | near_break(w[1])) == 0) continue;
    if (const std::size_t hit = exact(i, i + 16); hit != end) return hit;
  }
  return exact(i, end);
}

// Where the next line break starts in b[from, stop), or stop. A break is a
// CR or LF unit: in UTF-16 (unit 2) its high byte is 0. A byte that only
// looks like a break (the high byte of U+0A00, the low byte of U+010D)
// resumes the search after its unit, so the search stays linear.
class BreakFinder {
 public:
  BreakFinder(const std::uint8_t* b, std::size_t end, std::size_t unit)
      : b_(b), end_(end), unit_(unit) {}

  std::size_t Next(std::size_t from) const { return Next(from, end_); }
  // `stop` is a whole number of units after `from`.
  std::size_t Next(std::size_t from, std::size_t stop) const {
    while (from < stop) {
      const std::size_t hit = FindBreakByte(b_, from, stop);
      if (hit >= stop) return stop;
      const std::size_t off = (hit - from) % unit_;
      if (off == 0 && (unit_ == 1 || b_[hit + 1] == 0)) return hit;
      from = hit + unit_ - off;  // the unit after the one holding the byte
    }
    return stop;
  }

 private:
  const std::uint8_t* b_;
  std::size_t end_, unit_;
};

// Code units read out of the three kinds of text a line can be.
struct TextAt {
  const char16_t* p;
  char16_t operator[](std::size_t i) const { return p[i]; }
};
struct ByteAt {
  const std::uint8_t* p;
  char16_t operator[](std::size_t i) const { return p[i]; }
};
struct WideAt {
  const std::uint8_t* p;
  char16_t operator[](std::size_t i) const {
    if constexpr (std::endian::native == std::endian::little) {
      char16_t c;  // one 16-bit load: a struct value is read a unit at a time
      std::memcpy(&c, p + 2 * i, sizeof c);
      return c;
    } else {
      return static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
    }
  }
};

template <class F>
decltype(auto) Visit(const Units& u, F&& f) {
  if (u.width == 0) return f(TextAt{u.text});
  if (u.width == 2) return f(WideAt{u.bytes});
  return f(ByteAt{u.bytes});
}

Units TextUnits(std::u16string_view s) {
  return {nullptr, s.data(), static_cast<std::uint32_t>(s.size()), 0};
}

char16_t UnitAt(const Units& u, std::size_t i) {
  return Visit(u, [&](const auto& at) { return at[i]; });
}

template <class At>
Shape ClassifyAt(const At& t, std::uint32_t n) {
  Shape s;
  std::uint32_t b = 0, e = n;
  while (b < e && IsIniSpace(t[b])) ++b;
  if (b == e) return s;
  while (IsIniSpace(t[e - 1])) --e;
  // A header runs from '[' to the last ']' on the line; anything after it
  // is ignored, so "[a]b]" is section "a]b" and "[a]=b" is section "a".
  if (t[b] == u'[') {
    for (std::uint32_t close = e - 1; close > b; --close) {
      if (t[close] != u']') continue;
      std::uint32_t nb = b + 1, ne = close;
      while (nb < ne && IsIniSpace(t[nb])) ++nb;
      while (ne > nb && IsIniSpace(t[ne - 1])) --ne;
      s.kind = Shape::Header;
      s.name_pos = nb;
      s.name_len = ne - nb;
      return s;
    }
  }
  // The first '=' splits; a line without one is a name without a value,
  // which still hides a later entry of the same name.
  s.kind = Shape::Entry;
  std::uint32_t eq = b;
  while (eq < e && t[eq] != u'=') ++eq;
  std::uint32_t ne = eq;
  while (ne > b && IsIniSpace(t[ne - 1])) --ne;
  s.name_pos = b;
  s.name_len = ne - b;
  if (eq < e) {
    std::uint32_t vb = eq + 1;
    while (vb < e && IsIniSpace(t[vb])) ++vb;
    s.has_eq = true;
    s.value_pos = vb;
    s.value_len = e - vb;
  }
  return s;
}

Shape Classify(const Units& u) {
  return Visit(u, [&](const auto& at) { return ClassifyAt(at, u.size); });
}

// Names are matched with ASCII folding only, as the platform does.
constexpr char16_t FoldAscii(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

bool SameName(const Units& u, std::uint32_t pos, std::uint32_t len, std::u16string_view name) {
  if (len != name.size()) return false;
  return Visit(u, [&](const auto& at) {
    for (std::uint32_t i = 0; i < len; ++i)
      if (FoldAscii(at[pos + i]) != FoldAscii(name[i])) return false;
    return true;
  });
}

// Exact units: a struct value is 50,000 of them.
bool SameUnits(const Units& u, std::uint32_t pos, std::uint32_t len, std::u16string_view text) {
  if (len != text.size()) return false;
  if (len == 0) return true;
  if (u.width == 0) return std::memcmp(u.text + pos, text.data(), 2 * std::size_t{len}) == 0;
  if constexpr (std::endian::native == std::endian::little)
    if (u.width == 2) return std::memcmp(u.bytes + 2 * pos, text.data(), 2 * std::size_t{len}) == 0;
  return Visit(u, [&](const auto& at) {
    for (std::uint32_t i = 0; i < len; ++i)
      if (at[pos + i] != text[i]) return false;
    return true;
  });
}

// Into `out`'s own buffer, which a parse reuses line after line.
void AssignUnits(std::u16string& out, const Units& u, std::uint32_t pos, std::uint32_t len) {
  if (u.width == 0) {
    out.assign(u.text + pos, len);
  } else if (u.width == 1) {
    out.assign(u.bytes + pos, u.bytes + pos + len);
  } else {
    out.resize(len);
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(out.data(), u.bytes + 2 * pos, 2 * std::size_t{len});
    } else {
      for (std::uint32_t i = 0; i < len; ++i) out[i] = WideAt{u.bytes}[pos + i];
    }
  }
}

std::u16string CopyUnits(const Units& u, std::uint32_t pos, std::uint32_t len) {
  std::u16string out;
  AssignUnits(out, u, pos, len);
  return out;
}

// One pair of matching quotes around a value is dropped.
std::pair<std::uint32_t, std::uint32_t> Unquoted(const Units& u, std::uint32_t pos,
                                                 std::uint32_t len) {
  if (len >= 2) {
    const char16_t first = UnitAt(u, pos);
    if ((first == u'"' || first == u'\'') && UnitAt(u, pos + len - 1) == first)
      return {pos + 1, len - 2};
  }
  return {pos, len};
}

std::u16string_view StripQuotes(std::u16string_view v) {
  if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// FNV-1a over the folded units, then a finaliser so that both halves of
// the result are well mixed (one picks the slot, the other the tag).
template <class At>
std::uint64_t HashAt(const At& t, std::uint32_t pos, std::uint32_t len, std::uint64_t seed) {
  std::uint64_t h = seed ^ 0xCBF29CE484222325u;
  for (std::uint32_t i = 0; i < len; ++i) h = (h ^ FoldAscii(t[pos + i])) * 0x100000001B3u;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDu;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53u;
  return h ^ (h >> 33);
}

std::uint64_t HashName(const Units& u, std::uint32_t pos, std::uint32_t len, std::uint64_t seed) {
  return Visit(u, [&](const auto& at) { return HashAt(at, pos, len, seed); });
}
std::uint64_t HashName(std::u16string_view name, std::uint64_t seed) {
  return HashAt(TextAt{name.data()}, 0, static_cast<std::uint32_t>(name.size()), seed);
}
// Keys of different sections hash apart.
std::uint64_t KeySeed(std::uint32_t section) { return (section + 1) * 0x9E3779B97F4A7C15u; }

// The reference tables (see RefTable in ini_file.h): linear probing, at
// most 4/5 full counting removed slots, so a probe always ends.
constexpr std::uint8_t kEmpty = 0, kRemoved = 1;

std::size_t CapacityFor(std::size_t n) { return n == 0 ? 0 : n + (n + 3) / 4 + 1; }
std::size_t SlotOf(std::uint64_t h, std::size_t cap) {
  return static_cast<std::size_t>((h >> 32) * cap >> 32);
}
std::uint8_t TagOf(std::uint64_t h) {
  return static_cast<std::uint8_t>(2 + static_cast<std::uint32_t>(h) % 254);
}

template <class Table>
void SizeTable(Table& t, std::size_t n) {
  t = Table{};
  t.tags.assign(CapacityFor(n), kEmpty);
  t.refs.assign(t.tags.size(), 0);
}

// The slot whose reference `is` accepts, or kNone.
template <class Table, class Is>
std::uint32_t FindSlot(const Table& t, std::uint64_t h, Is&& is) {
  const std::size_t cap = t.tags.size();
  if (cap == 0) return kNone;
  const std::uint8_t tag = TagOf(h);
  for (std::size_t i = SlotOf(h, cap);;) {
    const std::uint8_t at = t.tags[i];
    if (at == kEmpty) return kNone;
    if (at == tag && is(t.refs[i])) return static_cast<std::uint32_t>(i);
    if (++i == cap) i = 0;
  }
}

template <class Table>
void Place(Table& t, std::uint64_t h, std::uint32_t ref) {
  const std::size_t cap = t.tags.size();
  std::size_t i = SlotOf(h, cap);
  while (t.tags[i] > kRemoved)
    if (++i == cap) i = 0;
  if (t.tags[i] == kRemoved) --t.removed;
  t.tags[i] = TagOf(h);
  t.refs[i] = ref;
  ++t.live;
}

// Adds a reference that is not in the table; `hash_of` gives the hash of
// any reference when the table has to grow.
template <class Table, class HashOf>
void InsertRef(Table& t, std::uint64_t h, std::uint32_t ref, HashOf&& hash_of) {
  if ((t.live + t.removed + 1) * std::size_t{5} > t.tags.size() * 4) {
    Table grown;
    SizeTable(grown, 2 * (std::size_t{t.live} + 1));
    for (std::size_t i = 0; i < t.tags.size(); ++i)
      if (t.tags[i] > kRemoved) Place(grown, hash_of(t.refs[i]), t.refs[i]);
    t = std::move(grown);
  }
  Place(t, h, ref);
}

template <class Table>
void EraseSlot(Table& t, std::uint32_t slot) {
  t.tags[slot] = kRemoved;
  --t.live;
  ++t.removed;
}

const CodePage& CodePageOf(const CodePage* cp) { return cp ? *cp : SystemCodePage(); }

void AppendUtf16(std::vector<std::uint8_t>& out, std::u16string_view s) {
  if constexpr (std::endian::native == std::endian::little) {
    // Appended as bytes: a resize would first fill what is then copied over.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(s.data());
    out.insert(out.end(), bytes, bytes + 2 * s.size());
  } else {
    for (char16_t c : s) {
      out.push_back(static_cast<std::uint8_t>(c & 0xFF));
      out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
  }
}

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

constexpr std::array<std::int8_t, 128> kHexTable = [] {
  std::array<std::int8_t, 128> t{};
  for (auto& v : t) v = -1;
  for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<std::int8_t>(i);
  for (int i = 0; i < 6; ++i) {
    t['A' + i] = static_cast<std::int8_t>(10 + i);
    t['a' + i] = static_cast<std::int8_t>(10 + i);
  }
  return t;
}();

int HexValue(char16_t c) { return c < 128 ? kHexTable[c] : -1; }

// The byte two hex digits spell, or -1: one look-up per byte of a struct
// value (a profile holds some 27,000).
const std::array<std::int16_t, 128 * 128>& HexPairTable() {
  static const auto table = [] {
    std::array<std::int16_t, 128 * 128> t{};
    for (int hi = 0; hi < 128; ++hi)
      for (int lo = 0; lo < 128; ++lo)
        t[hi * 128 + lo] = static_cast<std::int16_t>(
            kHexTable[hi] < 0 || kHexTable[lo] < 0 ? -1 : kHexTable[hi] * 16 + kHexTable[lo]);
    return t;
  }();
  return table;
}

int HexPair(const std::array<std::int16_t, 128 * 128>& table, char16_t hi, char16_t lo) {
  return (hi | lo) < 128 ? table[hi * 128 + lo] : -1;
}

// Appends the hex digits of `bytes` and their checksum, a chunk at a time:
// growing the string by appends leaves out the fill a resize would do, and
// a profile holds some 27,000 bytes.
void AppendStructValue(std::u16string& out, std::span<const std::uint8_t> bytes) {
  static constexpr auto kPairs = [] {
    std::array<std::array<char16_t, 2>, 256> t{};
    for (unsigned b = 0; b < 256; ++b) t[b] = {kHexDigits[b >> 4], kHexDigits[b & 15]};
    return t;
  }();
  char16_t chunk[512];
  std::size_t used = 0;
  unsigned sum = 0;
  for (std::uint8_t b : bytes) {
    std::memcpy(chunk + used, kPairs[b].data(), sizeof kPairs[b]);
    used += 2;
    sum += b;
    if (used == std::size(chunk)) {
      out.append(chunk, used);
      used = 0;
    }
  }
  std::memcpy(chunk + used, kPairs[sum & 0xFF].data(), sizeof kPairs[0]);
  out.append(chunk, used + 2);
}

// Strict where the platform is lenient: exact length, hex digits only and
// a matching checksum, checked before a single byte of `out` changes.
template <class At>
bool DecodeStructAt(const At& text, std::size_t pos, std::size_t len, std::span<std::uint8_t> out) {
  if (len != 2 * (out.size() + 1)) return false;
  const auto& table = HexPairTable();
  unsigned sum = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const int v = HexPair(table, text[pos + 2 * i], text[pos + 2 * i + 1]);
    if (v < 0) return false;
    sum += static_cast<unsigned>(v);
  }
  const int check = HexPair(table, text[pos + len - 2], text[pos + len - 1]);
  if (check < 0 || static_cast<unsigned>(check) != (sum & 0xFF)) return false;
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<std::uint8_t>(HexPair(table, text[pos + 2 * i], text[pos + 2 * i + 1]));
  return true;
}

}  // namespace

IniFile::IniFile(std::filesystem::path path, const CodePage* cp)
    : path_(std::move(path)), cp_(cp) {}

namespace {

bool ReadWithStream(const std::filesystem::path& path, std::vector<std::uint8_t>& out) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::uintmax_t>(size) > kMaxIniFileBytes) return false;
  in.seekg(0);
  if (size > 0) {
    out.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(out.data()), size);
    out.resize(static_cast<std::size_t>(in.gcount()));
  }
  return in || in.eof();
}

std::atomic<ReadFileFn> g_read_file{nullptr};

}  // namespace

void SetReadFileFunction(ReadFileFn fn) { g_read_file.store(fn); }

bool IniFile::Load() {
  // Read straight into source_: the file image is kept anyway, and a second
  // buffer of a large file is a second large allocation.
  source_.clear();
  ReadFileFn read_file = g_read_file.load();
  bool read = (read_file ? read_file : ReadWithStream)(path_, source_);
  unreadable_ = false;
  if (!read) {
    std::error_code ec;
    unreadable_ = std::filesystem::exists(path_, ec) || ec;
    source_.clear();
    Parse();
    exists_ = false;
    encoding_ = IniEncoding::Utf16Le;  // a new file is written as UTF-16
    return false;
  }
  Parse();
  exists_ = true;
  return true;
}

void IniFile::LoadBytes(std::span<const std::uint8_t> bytes) {
  unreadable_ = false;
  if (bytes.size() > kMaxIniFileBytes) {
    source_.clear();
    Parse();
    unreadable_ = true;
    encoding_ = IniEncoding::Utf16Le;
    return;
  }
  source_.assign(bytes.begin(), bytes.end());
  Parse();
}

void IniFile::Parse() {
  const std::uint8_t* b = source_.data();
  const std::size_t n = source_.size();
  // Windows honours the UTF-16LE mark only; a UTF-16BE mark is read as
  // code-page bytes stuck to line 1. The UTF-8 mark we accept as well.
  if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    ParseAs(IniEncoding::Utf16Le, 2);
  } else if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
    ParseAs(IniEncoding::Utf8, 3);
  } else {
    ParseAs(IniEncoding::Ansi, 0);
  }
}

void IniFile::Reset() {
  entry_lines_ = 0;
  // Assigned afresh, not cleared, so that their memory goes too.
  headers_ = {};
  long_lines_ = {};
  written_ = {};
  line_edits_ = {};
  section_edits_ = {};
  new_sections_ = {};
  sections_ = {};
  keys_ = {};
}

bool IniFile::HighBytes(std::uint32_t begin, std::uint32_t end) const {
  const std::uint8_t* b = source_.data();
  std::uint64_t any = 0;
  std::uint32_t i = begin;
  for (; i + 8 <= end; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, b + i, sizeof w);
    any |= w;
  }
  for (; i < end; ++i) any |= b[i];
  return (any & 0x8080808080808080u) != 0;
}

std::u16string IniFile::Decode(std::uint32_t begin, std::uint32_t end) const {
  std::string_view raw(reinterpret_cast<const char*>(source_.data() + begin), end - begin);
  if (encoding_ == IniEncoding::Utf8) return Utf8ToU16(raw);
  return CodePageOf(cp_).decode(raw);
}

std::uint32_t IniFile::BreakEnd(std::uint32_t text_end) const {
  const std::uint8_t* b = source_.data();
  const std::uint32_t unit = Unit();
  auto at = [&](std::uint32_t i) { return unit == 2 ? b[i] | b[i + 1] << 8 : b[i]; };
  std::uint32_t end = text_end;
  if (end < text_end_) {
    const bool cr = at(end) == '\r';
    end += unit;
    if (cr && end < text_end_ && at(end) == '\n') end += unit;
  }
  return end;
}

void IniFile::ScanLine(std::uint32_t begin, std::uint32_t text_end, LineText& out) const {
  out.begin = begin;
  out.text_end = text_end;
  out.end = BreakEnd(text_end);
  const std::uint32_t unit = Unit();
  // Code-page text with a byte over 0x7F is decoded before it is split: in
  // a double-byte code page ']' can be the second byte of a character.
  if (unit == 1 && HighBytes(begin, text_end)) {
    out.own = Decode(begin, text_end);
    out.units = TextUnits(out.own);
  } else {
    out.own.clear();
    out.units = {source_.data() + begin, nullptr, (text_end - begin) / unit,
                 static_cast<std::uint8_t>(unit)};
  }
  out.shape = Classify(out.units);
}

const IniFile::LongLine* IniFile::FindLong(std::uint32_t begin) const {
  auto it = std::lower_bound(long_lines_.begin(), long_lines_.end(), begin,
                             [](const LongLine& l, std::uint32_t b) { return l.begin < b; });
  return it != long_lines_.end() && it->begin == begin ? &*it : nullptr;
}

// A line is found again by its start: a short one is scanned (at most
// kLongLine bytes), a long one was kept with its shape.
void IniFile::ReadLine(std::uint32_t begin, LineText& out) const {
  const std::uint32_t unit = Unit();
  const BreakFinder breaks(source_.data(), text_end_, unit);
  const std::uint32_t stop = std::min(text_end_, begin + kLongLine + unit);
  std::uint32_t text_end = static_cast<std::uint32_t>(breaks.Next(begin, stop));
  if (text_end - begin > kLongLine) {
    if (const LongLine* l = FindLong(begin)) {
      out.begin = begin;
      out.text_end = l->text_end;
      out.end = l->end;
      out.shape = l->shape;
      if (l->decoded) {
        out.own = Decode(begin, l->text_end);
        out.units = TextUnits(out.own);
      } else {
        out.own.clear();
        out.units = {source_.data() + begin, nullptr, (l->text_end - begin) / unit,
                     static_cast<std::uint8_t>(unit)};
      }
      return;
    }
    // Every long line of source_ is kept; were one not, it is scanned whole.
    text_end = static_cast<std::uint32_t>(breaks.Next(begin));
  }
  ScanLine(begin, text_end, out);
}

std::uint32_t IniFile::LineEnd(std::uint32_t begin) const {
  LineText line;
  ReadLine(begin, line);
  return line.end;
}

void IniFile::ParseAs(IniEncoding encoding, std::size_t prefix, const Sizes* known) {
  Reset();
  dirty_ = false;
  force_utf16_ = false;
  encoding_ = encoding;
  const std::size_t n = source_.size();
  const std::uint32_t unit = Unit();
  // An odd byte at the end of a UTF-16 file is not a character: dropped.
  text_begin_ = static_cast<std::uint32_t>(prefix);
  text_end_ = static_cast<std::uint32_t>(unit == 2 ? prefix + (n - prefix) / 2 * 2 : n);
  const BreakFinder breaks(source_.data(), text_end_, unit);
  // CRLF, LF and CR all end a line; the platform treats a run of breaks as
  // one, and so do we: an empty line is never kept, and reads the same.
  // (CR and LF never occur as trail bytes of a double-byte code page, so
  // splitting the bytes is safe.)
  auto skip_breaks = [&](std::uint32_t i) {
    const std::uint8_t* b = source_.data();
    while (i < text_end_ && (b[i] == '\r' || b[i] == '\n') && (unit == 1 || b[i + 1] == 0))
      i += unit;
    return i;
  };
  // The first pass counts what the second keeps, so that every table is
  // made once at its size (one grown by doubling holds two copies at its
  // peak), and keeps the long lines, which the second pass then steps
  // over. A code-page line with bytes over 0x7F is decoded only in the
  // second pass, unless it may be a header.
  Sizes sizes;
  LineText line;
  for (std::uint32_t i = skip_breaks(text_begin_); !known && i < text_end_;) {
    const auto text_end = static_cast<std::uint32_t>(breaks.Next(i));
    Shape shape;
    bool decode_later = false;
    if (unit == 1 && HighBytes(i, text_end)) {
      decode_later = true;
      std::uint32_t first = i;
      while (IsIniSpace(source_[first])) ++first;
      shape.kind = Shape::Entry;
      if (source_[first] == '[') {
        ScanLine(i, text_end, line);
        shape = line.shape;
      }
    } else {
      shape = Classify(
          {source_.data() + i, nullptr, (text_end - i) / unit, static_cast<std::uint8_t>(unit)});
    }
    sizes.headers += shape.kind == Shape::Header;
    sizes.entries += shape.kind == Shape::Entry;
    const std::uint32_t end = BreakEnd(text_end);
    if (text_end - i > kLongLine) long_lines_.push_back({i, text_end, end, shape, decode_later});
    i = skip_breaks(end);
  }
  if (known) {
    sizes = *known;
    long_lines_.reserve(sizes.long_lines);
  }
  headers_.reserve(sizes.headers);
  SizeTable(sections_, sizes.headers);
  SizeTable(keys_, sizes.entries);

  std::uint32_t section = 0;
  bool reachable = true;  // only the first section of a name is ever searched
  std::u16string name_buffer;
  LineText other;
  auto key_hash = [this](std::uint32_t ref) { return KeyHash(ref); };
  auto section_hash = [this](std::uint32_t s) { return SectionHash(s); };
  std::size_t next_long = 0;
  for (std::uint32_t i = skip_breaks(text_begin_); i < text_end_;) {
    if (!known && next_long < long_lines_.size() && long_lines_[next_long].begin == i) {
      LongLine& l = long_lines_[next_long++];
      ReadLine(i, line);
      if (l.decoded) l.shape = line.shape = Classify(line.units);
    } else {
      ScanLine(i, static_cast<std::uint32_t>(breaks.Next(i)), line);
      if (known && line.text_end - i > kLongLine)
        long_lines_.push_back({i, line.text_end, line.end, line.shape, line.units.width == 0});
    }
    i = skip_breaks(line.end);
    const LineText& l = line;
    if (l.shape.kind == Shape::Blank) continue;
    entry_lines_ += l.shape.kind == Shape::Entry;
    // Decoded text is named in place; raw units are copied out (a name is
    // short, or the line it fills is read once).
    std::u16string_view name;
    if (l.units.width == 0) {
      name = std::u16string_view(l.units.text + l.shape.name_pos, l.shape.name_len);
    } else {
      AssignUnits(name_buffer, l.units, l.shape.name_pos, l.shape.name_len);
      name = name_buffer;
    }
    if (l.shape.kind == Shape::Header) {
      headers_.push_back(l.begin);
      section = HeaderCount();
      const std::uint64_t h = HashName(name, 0);
      reachable = FindSlot(sections_, h,
                           [&](std::uint32_t s) { return SameSectionName(s, name); }) == kNone;
      if (reachable) InsertRef(sections_, h, section, section_hash);
      continue;
    }
    if (!reachable) continue;
    const std::uint64_t h = HashName(name, KeySeed(section));
    if (FindSlot(keys_, h, [&](std::uint32_t ref) { return KeyIs(ref, section, name, other); }) ==
        kNone)
      InsertRef(keys_, h, l.begin, key_hash);
  }
}

std::uint32_t IniFile::SectionAt(std::uint32_t offset) const {
  return static_cast<std::uint32_t>(std::upper_bound(headers_.begin(), headers_.end(), offset) -
                                    headers_.begin());
}

std::uint32_t IniFile::SectionBegin(std::uint32_t s) const {
  return s == 0 ? text_begin_ : headers_[s - 1];
}
std::uint32_t IniFile::SectionEnd(std::uint32_t s) const {
  return s < HeaderCount() ? headers_[s] : text_end_;
}
std::uint32_t IniFile::BodyBegin(std::uint32_t s) const {
  return s == 0 ? text_begin_ : LineEnd(headers_[s - 1]);
}

const IniFile::SectionEdits* IniFile::EditsOf(std::uint32_t s) const {
  if (s > HeaderCount()) return &new_sections_[s - HeaderCount() - 1].edits;
  auto it = section_edits_.find(s);
  return it == section_edits_.end() ? nullptr : &it->second;
}

IniFile::SectionEdits& IniFile::EditsFor(std::uint32_t s) {
  if (s > HeaderCount()) return new_sections_[s - HeaderCount() - 1].edits;
  return section_edits_[s];
}

bool IniFile::SectionLive(std::uint32_t s) const {
  const SectionEdits* e = EditsOf(s);
  return s == 0 || !e || !e->deleted;
}

bool IniFile::RawLinesKept(std::uint32_t s) const {
  const SectionEdits* e = EditsOf(s);
  return s <= HeaderCount() && (!e || !e->deleted);
}

bool IniFile::SectionHasLines(std::uint32_t s) const {
  if (RawLinesKept(s)) {
    const std::uint32_t end = SectionEnd(s);
    for (std::uint32_t pos = BodyBegin(s); pos < end; pos = LineEnd(pos)) {
      auto edit = line_edits_.find(pos);
      if (edit == line_edits_.end() || edit->second != kNoRef) return true;
    }
  }
  const SectionEdits* e = EditsOf(s);
  return e && !e->added.empty();
}

bool IniFile::SameSectionName(std::uint32_t s, std::u16string_view name) const {
  if (s > HeaderCount()) {
    const NewSection& ns = new_sections_[s - HeaderCount() - 1];
    return SameName(TextUnits(ns.header), ns.shape.name_pos, ns.shape.name_len, name);
  }
  LineText line;
  ReadLine(headers_[s - 1], line);
  return SameName(line.units, line.shape.name_pos, line.shape.name_len, name);
}

std::u16string IniFile::SectionName(std::uint32_t s) const {
  if (s > HeaderCount()) {
    const NewSection& ns = new_sections_[s - HeaderCount() - 1];
    return ns.header.substr(ns.shape.name_pos, ns.shape.name_len);
  }
  LineText line;
  ReadLine(headers_[s - 1], line);
  return CopyUnits(line.units, line.shape.name_pos, line.shape.name_len);
}

std::uint64_t IniFile::SectionHash(std::uint32_t s) const { return HashName(SectionName(s), 0); }

std::uint64_t IniFile::KeyHash(std::uint32_t ref) const {
  if (ref >= kWrittenRef) {
    const Written& w = written_[ref - kWrittenRef];
    return HashName(TextUnits(w.text), w.shape.name_pos, w.shape.name_len, KeySeed(w.section));
  }
  LineText line;
  ReadLine(ref, line);
  return HashName(line.units, line.shape.name_pos, line.shape.name_len, KeySeed(SectionAt(ref)));
}

bool IniFile::KeyIs(std::uint32_t ref, std::uint32_t s, std::u16string_view key,
                    LineText& line) const {
  if (ref >= kWrittenRef) {
    const Written& w = written_[ref - kWrittenRef];
    line.shape = w.shape;
    line.units = TextUnits(w.text);
    return w.section == s && SameName(line.units, w.shape.name_pos, w.shape.name_len, key);
  }
  ReadLine(ref, line);
  return SameName(line.units, line.shape.name_pos, line.shape.name_len, key) && SectionAt(ref) == s;
}

std::uint32_t IniFile::FindSection(std::u16string_view name) const {
  // Only the first section of a name is ever searched. An empty name finds
  // an explicit "[]" section before the lines above the first header, as
  // Windows does (Wine looks at the top lines first).
  const std::uint32_t slot = FindSlot(sections_, HashName(name, 0),
                                      [&](std::uint32_t s) { return SameSectionName(s, name); });
  if (slot != kNone) return sections_.refs[slot];
  return name.empty() ? 0 : kNoRef;
}

bool IniFile::FindEntry(std::uint32_t s, std::u16string_view key, Entry& out) const {
  out.slot = FindSlot(keys_, HashName(key, KeySeed(s)),
                      [&](std::uint32_t ref) { return KeyIs(ref, s, key, out.line); });
  if (out.slot == kNone) return false;
  out.ref = keys_.refs[out.slot];
  return true;
}

void IniFile::IndexLine(std::uint32_t s, std::uint32_t ref, const Units& units,
                        const Shape& shape) {
  const std::u16string name = CopyUnits(units, shape.name_pos, shape.name_len);
  const std::uint64_t h = HashName(name, KeySeed(s));
  LineText other;
  if (FindSlot(keys_, h, [&](std::uint32_t r) { return KeyIs(r, s, name, other); }) == kNone)
    InsertRef(keys_, h, ref, [this](std::uint32_t r) { return KeyHash(r); });
}

void IniFile::IndexSection(std::uint32_t s) {
  InsertRef(sections_, SectionHash(s), s, [this](std::uint32_t r) { return SectionHash(r); });
  if (RawLinesKept(s)) {
    const std::uint32_t end = SectionEnd(s);
    LineText line;
    for (std::uint32_t pos = BodyBegin(s); pos < end; pos = line.end) {
      ReadLine(pos, line);
      if (line.shape.kind == Shape::Entry && !line_edits_.contains(pos))
        IndexLine(s, pos, line.units, line.shape);
    }
  }
}

void IniFile::UnindexSection(std::uint32_t s) {
  // Each name's indexed line goes, whichever line of that name it is.
  Entry e;
  auto unindex = [&](const Units& units, const Shape& shape) {
    --entry_lines_;
    if (FindEntry(s, CopyUnits(units, shape.name_pos, shape.name_len), e)) EraseSlot(keys_, e.slot);
  };
  if (RawLinesKept(s)) {
    const std::uint32_t end = SectionEnd(s);
    LineText line;
    for (std::uint32_t pos = BodyBegin(s); pos < end; pos = line.end) {
      ReadLine(pos, line);
      auto edit = line_edits_.find(pos);
      if (line.shape.kind == Shape::Entry && (edit == line_edits_.end() || edit->second != kNoRef))
        unindex(line.units, line.shape);
    }
  }
  if (const SectionEdits* edits = EditsOf(s)) {
    for (std::uint32_t id : edits->added) {
      unindex(TextUnits(written_[id].text), written_[id].shape);
      written_[id].deleted = true;
    }
  }
}

std::optional<std::u16string> IniFile::Find(std::u16string_view section,
                                            std::u16string_view key) const {
  const std::uint32_t s = FindSection(TrimIni(section));
  Entry e;
  if (s == kNoRef || !FindEntry(s, TrimIni(key), e) || !e.line.shape.has_eq) return std::nullopt;
  const auto [pos, len] = Unquoted(e.line.units, e.line.shape.value_pos, e.line.shape.value_len);
  return CopyUnits(e.line.units, pos, len);
}

std::u16string IniFile::ReadString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view default_value,
                                   std::size_t buffer_chars) const {
  if (buffer_chars == 0) return {};
  const std::uint32_t s = FindSection(TrimIni(section));
  Entry e;
  if (s != kNoRef && FindEntry(s, TrimIni(key), e) && e.line.shape.has_eq) {
    const auto [pos, len] = Unquoted(e.line.units, e.line.shape.value_pos, e.line.shape.value_len);
    return CopyUnits(e.line.units, pos,
                     static_cast<std::uint32_t>(std::min<std::size_t>(len, buffer_chars - 1)));
  }
  // The default loses trailing spaces (spaces only) and one pair of quotes.
  while (!default_value.empty() && default_value.back() == u' ') default_value.remove_suffix(1);
  return std::u16string(StripQuotes(default_value).substr(0, buffer_chars - 1));
}

std::int32_t IniFile::ReadInt(std::u16string_view section, std::u16string_view key,
                              std::int32_t default_value) const {
  // The platform fetches the text into 30 characters first, so only 29 count.
  std::u16string text = ReadString(section, key, u"", 30);
  if (text.empty()) return default_value;
  std::u16string_view t = text;
  while (!t.empty() && (t.front() == u' ' || (t.front() >= 0x09 && t.front() <= 0x0D)))
    t.remove_prefix(1);
  bool negative = false;
  if (!t.empty() && (t.front() == u'+' || t.front() == u'-')) {
    negative = t.front() == u'-';
    t.remove_prefix(1);
  }
  unsigned base = 10;
  // Only lower-case prefixes count: "0X1F" is 0 followed by junk.
  if (t.size() >= 2 && t[0] == u'0') {
    if (t[1] == u'x') base = 16;
    if (t[1] == u'o') base = 8;
    if (t[1] == u'b') base = 2;
    if (base != 10) t.remove_prefix(2);
  }
  std::uint32_t value = 0;  // wraps modulo 2^32, as the platform's does
  for (char16_t c : t) {
    int d = HexValue(c);
    if (d < 0 || static_cast<unsigned>(d) >= base) break;
    value = value * base + static_cast<std::uint32_t>(d);
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

bool IniFile::ReadStruct(std::u16string_view section, std::u16string_view key,
                         std::span<std::uint8_t> out) const {
  const std::uint32_t s = FindSection(TrimIni(section));
  Entry e;
  if (s == kNoRef || !FindEntry(s, TrimIni(key), e) || !e.line.shape.has_eq) return false;
  // Quotes are not stripped: a quoted value fails the digit check.
  return Visit(e.line.units, [&](const auto& at) {
    return DecodeStructAt(at, e.line.shape.value_pos, e.line.shape.value_len, out);
  });
}

void IniFile::NoteWritten(std::u16string_view text) {
  dirty_ = true;
  if (encoding_ != IniEncoding::Ansi || force_utf16_) return;
  // A character the code page cannot hold would be saved as '?': the whole
  // file becomes UTF-16 instead.
  if (!CodePageOf(cp_).encode(text)) force_utf16_ = true;
}

std::uint32_t IniFile::SectionForWrite(std::u16string_view name) {
  // Stored with leading white space dropped and trailing kept, found trimmed.
  std::u16string_view stored = TrimFront(FirstLine(name));
  const std::uint32_t found = FindSection(TrimIni(stored));
  if (found != kNoRef) return found;
  NewSection& ns = new_sections_.emplace_back();
  ns.header.reserve(stored.size() + 2);
  ns.header.append(u"[").append(stored).append(u"]");
  ns.shape = Classify(TextUnits(ns.header));
  const auto s = static_cast<std::uint32_t>(HeaderCount() + new_sections_.size());
  IndexSection(s);
  NoteWritten(ns.header);
  return s;
}

std::uint32_t IniFile::LastLineEnd(std::uint32_t s, SectionEdits& edits) const {
  if (edits.last_line_end != kNoRef) return edits.last_line_end;
  edits.last_line_end = 0;
  if (!RawLinesKept(s)) return 0;
  const std::uint32_t end = SectionEnd(s);
  LineText line;
  edits.last_line_end = BodyBegin(s);
  for (std::uint32_t pos = edits.last_line_end; pos < end; pos = line.end) {
    ReadLine(pos, line);
    auto edit = line_edits_.find(pos);
    if (edit != line_edits_.end() ? edit->second != kNoRef : line.shape.kind != Shape::Blank)
      edits.last_line_end = line.end;
  }
  return edits.last_line_end;
}

std::uint32_t IniFile::AddWritten(std::u16string&& text, const Shape& shape, std::uint32_t s,
                                  std::uint32_t replaces) {
  Written& w = written_.emplace_back();
  w.text = std::move(text);
  w.shape = shape;
  w.section = s;
  w.replaces = replaces;
  NoteWritten(w.text);
  return static_cast<std::uint32_t>(written_.size() - 1);
}

void IniFile::WriteString(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value) {
  WriteEntry(section, key, TrimFront(FirstLine(value)));
}

void IniFile::WriteEntry(std::u16string_view section, std::u16string_view key,
                         std::u16string_view stored_value) {
  std::u16string_view stored_key = TrimFront(FirstLine(key));
  std::u16string text;
  text.reserve(stored_key.size() + 1 + stored_value.size());
  text.append(stored_key).append(u"=").append(stored_value);
  StoreEntry(section, stored_key, std::move(text));
}

void IniFile::StoreEntry(std::u16string_view section, std::u16string_view stored_key,
                         std::u16string&& text) {
  // A key such as "[x]" would come back as a section header and move every
  // later key into it; refuse it rather than corrupt the file.
  const Shape shape = Classify(TextUnits(text));
  if (shape.kind == Shape::Header) return;
  const std::uint32_t s = SectionForWrite(section);
  Entry e;
  if (FindEntry(s, TrimIni(stored_key), e)) {
    const Units& old = e.line.units;
    const Shape& was = e.line.shape;
    if (was.has_eq && SameUnits(old, was.value_pos, was.value_len,
                                std::u16string_view(text).substr(shape.value_pos, shape.value_len)))
      return;  // nothing changes
    // The stored spelling of the key stays; the line takes the normal form.
    // Trailing white space of the value is written as given (and trimmed
    // again on the next read), as the platform does. Usually the key is
    // spelled as stored already, and the line built by the caller is that
    // form (a struct value is long: it is not copied twice).
    std::u16string changed;
    Shape changed_shape = shape;
    if (shape.name_len == stored_key.size() &&
        SameUnits(old, was.name_pos, was.name_len,
                  std::u16string_view(text).substr(shape.name_pos, shape.name_len))) {
      changed = std::move(text);
    } else {
      changed = CopyUnits(old, was.name_pos, was.name_len);
      changed.append(u"=").append(text, stored_key.size() + 1);
      changed_shape = Classify(TextUnits(changed));
      if (changed_shape.kind == Shape::Header) return;  // "[a" + "=b]" would read as a header
    }
    if (e.ref >= kWrittenRef) {
      Written& w = written_[e.ref - kWrittenRef];
      w.text = std::move(changed);
      w.shape = changed_shape;
      NoteWritten(w.text);
      return;
    }
    // Same name, same slot: only the reference changes.
    const std::uint32_t id = AddWritten(std::move(changed), changed_shape, s, e.ref);
    line_edits_[e.ref] = id;
    keys_.refs[e.slot] = kWrittenRef + id;
    return;
  }
  // A new key goes after the last entry of the section, ahead of the blank
  // lines that separate it from the next header; it stays there when lines
  // are deleted later. Every line of source_ that is left and not blank
  // comes before the new keys, so only the last of these and the last new
  // key can be the section's last entry. Its name is the line's: a key
  // "a=b" makes an entry "a" (hidden if the section has one).
  SectionEdits& edits = EditsFor(s);
  std::uint32_t anchor = LastLineEnd(s, edits);
  if (!edits.added.empty()) anchor = std::max(anchor, written_[edits.added.back()].anchor);
  const std::uint32_t id = AddWritten(std::move(text), shape, s, kNoRef);
  written_[id].anchor = anchor;
  edits.added.push_back(id);
  ++entry_lines_;
  const Written& w = written_[id];
  IndexLine(s, kWrittenRef + id, TextUnits(w.text), w.shape);
}

void IniFile::WriteInt(std::u16string_view section, std::u16string_view key, std::int32_t value) {
  WriteString(section, key, ToU16Decimal(value));
}

void IniFile::WriteStruct(std::u16string_view section, std::u16string_view key,
                          std::span<const std::uint8_t> bytes) {
  // Hex digits only: nothing to cut or trim. Encoded straight into the line.
  std::u16string_view stored_key = TrimFront(FirstLine(key));
  std::u16string text;
  text.reserve(stored_key.size() + 1 + 2 * (bytes.size() + 1));
  text.append(stored_key).append(u"=");
  AppendStructValue(text, bytes);
  StoreEntry(section, stored_key, std::move(text));
}

void IniFile::DeleteKey(std::u16string_view section, std::u16string_view key) {
  const std::uint32_t s = FindSection(TrimIni(section));
  Entry e;
  if (s == kNoRef || !FindEntry(s, TrimIni(key), e)) return;
  const std::u16string name = CopyUnits(e.line.units, e.line.shape.name_pos, e.line.shape.name_len);
  EraseSlot(keys_, e.slot);
  --entry_lines_;
  dirty_ = true;
  // The first match goes; a later duplicate becomes visible, as on the
  // platform: the next line of that name after it, in the section's lines
  // of source_ and then in its new keys.
  std::uint32_t from = kNoRef;
  std::size_t added_from = 0;
  std::uint32_t dropped = e.ref;  // the line of source_ that goes, if any
  if (e.ref >= kWrittenRef) {
    Written& w = written_[e.ref - kWrittenRef];
    w.deleted = true;
    dropped = w.replaces;
    if (dropped == kNoRef) {
      std::vector<std::uint32_t>& added = EditsFor(s).added;
      auto it = std::find(added.begin(), added.end(), e.ref - kWrittenRef);
      added_from = static_cast<std::size_t>(added.erase(it) - added.begin());
    }
  }
  if (dropped != kNoRef) {
    line_edits_[dropped] = kNoRef;
    from = LineEnd(dropped);
    if (auto it = section_edits_.find(s); it != section_edits_.end())
      it->second.last_line_end = kNoRef;  // found again when a key is added
  }
  auto take = [&](std::uint32_t ref) {
    InsertRef(keys_, HashName(name, KeySeed(s)), ref,
              [this](std::uint32_t r) { return KeyHash(r); });
  };
  if (from != kNoRef) {
    const std::uint32_t end = SectionEnd(s);
    LineText line;
    for (std::uint32_t pos = from; pos < end; pos = line.end) {
      ReadLine(pos, line);
      // A changed line later in the section cannot have this name: a write
      // changes the first line of a name.
      if (line.shape.kind == Shape::Entry && !line_edits_.contains(pos) &&
          SameName(line.units, line.shape.name_pos, line.shape.name_len, name))
        return take(pos);
    }
  }
  const SectionEdits* edits = EditsOf(s);
  for (std::size_t i = added_from; edits && i < edits->added.size(); ++i) {
    const Written& w = written_[edits->added[i]];
    if (SameName(TextUnits(w.text), w.shape.name_pos, w.shape.name_len, name))
      return take(kWrittenRef + edits->added[i]);
  }
}

void IniFile::DeleteSection(std::u16string_view section) {
  const std::uint32_t s = FindSection(TrimIni(section));
  if (s == kNoRef) return;
  if (s == 0) {
    // The lines above the first header go; the area stays, for new keys.
    if (!SectionHasLines(0)) return;
    UnindexSection(0);
    SectionEdits& edits = EditsFor(0);
    edits.deleted = true;
    edits.added.clear();
    dirty_ = true;
    return;
  }
  const std::u16string name = SectionName(s);
  EraseSlot(sections_,
            FindSlot(sections_, HashName(name, 0), [&](std::uint32_t r) { return r == s; }));
  UnindexSection(s);
  EditsFor(s).deleted = true;
  dirty_ = true;
  // A later section of the same name, searched by nobody until now, is the
  // first of its name from here on.
  const auto count = static_cast<std::uint32_t>(HeaderCount() + new_sections_.size());
  for (std::uint32_t t = s + 1; t <= count; ++t) {
    if (SectionLive(t) && SameSectionName(t, name)) {
      IndexSection(t);
      return;
    }
  }
}

void IniFile::Clear() {
  bool had_lines = SectionHasLines(0);
  const auto count = static_cast<std::uint32_t>(HeaderCount() + new_sections_.size());
  for (std::uint32_t s = 1; s <= count && !had_lines; ++s) had_lines = SectionLive(s);
  Reset();
  text_end_ = text_begin_;  // no line of source_ is part of the document any more
  if (had_lines) dirty_ = true;
}

// Puts the document out in one encoding: lines nobody wrote as their bytes
// when the encoding stays, everything else from its text.
class IniFile::Writer {
 public:
  Writer(const IniFile& doc, IniEncoding out)
      : doc_(doc),
        raw_ok_(out == doc.encoding_),
        wide_(out == IniEncoding::Utf16Le),
        cp_(CodePageOf(doc.cp_)) {}

  std::optional<std::vector<std::uint8_t>> Run() {
    // Room for the whole file up front: a rewritten struct line is long, and
    // growing the buffer line by line would copy the file several times.
    std::size_t estimate = doc_.source_.size() + 64;
    for (const Written& w : doc_.written_)
      if (!w.deleted) estimate += 2 * (w.text.size() + 2);
    for (const NewSection& ns : doc_.new_sections_) estimate += 2 * (ns.header.size() + 2);
    out_.reserve(estimate);
    if (wide_) out_.insert(out_.end(), {0xFF, 0xFE});
    for (std::uint32_t s = 0; s <= doc_.HeaderCount(); ++s)
      if (!PutSection(s)) return std::nullopt;
    for (const NewSection& ns : doc_.new_sections_) {
      if (ns.edits.deleted) continue;
      if (!PutWritten(ns.header) || !PutAdded(ns.edits)) return std::nullopt;
    }
    return std::move(out_);
  }

 private:
  bool Put(std::u16string_view s) {
    if (wide_) {
      AppendUtf16(out_, s);
      return true;
    }
    std::optional<std::string> bytes = cp_.encode(s);
    if (!bytes) return false;
    out_.insert(out_.end(), bytes->begin(), bytes->end());
    return true;
  }

  bool PutWritten(std::u16string_view text) {
    // The break put in for a last line that had none belongs to that line.
    if (open_line_ && !Put(u"\r\n")) return false;
    open_line_ = false;
    return Put(text) && Put(u"\r\n");
  }

  // Lines of source_ in [from, to), as they are.
  bool PutSource(std::uint32_t from, std::uint32_t to) {
    if (from >= to) return true;
    if (raw_ok_) {
      out_.insert(out_.end(), doc_.source_.begin() + from, doc_.source_.begin() + to);
    } else {
      for (std::uint32_t pos = from; pos < to; pos = line_.end) {
        doc_.ReadLine(pos, line_);
        if (!Put(CopyUnits(line_.units, 0, line_.units.size))) return false;
        std::u16string eol;
        for (std::uint32_t i = line_.text_end; i < line_.end; i += doc_.Unit())
          eol.push_back(doc_.source_[i]);
        if (!Put(eol)) return false;
      }
    }
    const std::uint8_t last = doc_.source_[to - doc_.Unit()];
    open_line_ =
        !((last == '\r' || last == '\n') && (doc_.Unit() == 1 || doc_.source_[to - 1] == 0));
    return true;
  }

  // Lines of source_ in [from, to) with the writes and deletes made to them.
  bool PutLines(std::uint32_t from, std::uint32_t to) {
    for (auto it = doc_.line_edits_.lower_bound(from);
         it != doc_.line_edits_.end() && it->first < to; ++it) {
      if (!PutSource(from, it->first)) return false;
      if (it->second != kNoRef && !PutWritten(doc_.written_[it->second].text)) return false;
      from = doc_.LineEnd(it->first);
    }
    return PutSource(from, to);
  }

  bool PutAdded(const SectionEdits& edits) {
    for (std::uint32_t id : edits.added)
      if (!PutWritten(doc_.written_[id].text)) return false;
    return true;
  }

  bool PutSection(std::uint32_t s) {
    const SectionEdits* edits = doc_.EditsOf(s);
    if (!doc_.SectionLive(s)) return true;
    const std::uint32_t body = doc_.BodyBegin(s), end = doc_.SectionEnd(s);
    if (!PutSource(doc_.SectionBegin(s), body)) return false;  // the header
    if (!doc_.RawLinesKept(s)) return !edits || PutAdded(*edits);
    std::uint32_t at = body;
    if (edits) {
      for (std::uint32_t id : edits->added) {
        const Written& w = doc_.written_[id];
        if (!PutLines(at, std::max(at, w.anchor)) || !PutWritten(w.text)) return false;
        at = std::max(at, w.anchor);
      }
    }
    return PutLines(at, end);
  }

  const IniFile& doc_;
  const bool raw_ok_, wide_;
  const CodePage& cp_;
  std::vector<std::uint8_t> out_;
  bool open_line_ = false;  // the last line put out had no break
  LineText line_;
};

std::optional<std::vector<std::uint8_t>> IniFile::SerializeAs(IniEncoding out) const {
  return Writer(*this, out).Run();
}

std::vector<std::uint8_t> IniFile::SerializeTo(IniEncoding& out_enc) const {
  if (encoding_ == IniEncoding::Ansi && !force_utf16_) {
    out_enc = IniEncoding::Ansi;
    if (auto bytes = SerializeAs(out_enc)) return std::move(*bytes);
  }
  // UTF-8 files, new files and anything the code page cannot hold: UTF-16LE.
  out_enc = IniEncoding::Utf16Le;
  return std::move(*SerializeAs(out_enc));
}

std::vector<std::uint8_t> IniFile::Serialize() const {
  IniEncoding out_enc;
  return SerializeTo(out_enc);
}

IniSaveResult IniFile::Save(bool flush, const std::filesystem::path& keep_previous) {
  if (!dirty_) return IniSaveResult::Ok;
  if (unreadable_) return IniSaveResult::WriteFailed;
  IniEncoding out_enc;
  std::vector<std::uint8_t> bytes = SerializeTo(out_enc);
  if (exists_ && bytes == source_) {
    dirty_ = false;
    return IniSaveResult::Ok;
  }
  // Offsets into the saved bytes are 31 bits (the top bit marks a written line).
  if (bytes.size() >= kWrittenRef) return IniSaveResult::WriteFailed;
  IniSaveResult result = WriteFileAtomic(path_, bytes, flush, keep_previous);
  if (result != IniSaveResult::Ok) return result;
  // What is on disk now is the new source, parsed again in the encoding it
  // was written in: the next batch again keeps untouched lines byte for
  // byte. When the encoding stays, the document knows what the parse will
  // keep (at most), and the parse needs no counting pass.
  Sizes sizes;
  if (out_enc == encoding_) {
    sizes.entries = entry_lines_;
    sizes.long_lines = long_lines_.size();
    const auto count = static_cast<std::uint32_t>(HeaderCount() + new_sections_.size());
    for (std::uint32_t s = 1; s <= count; ++s) sizes.headers += SectionLive(s);
    for (const Written& w : written_)
      sizes.long_lines += !w.deleted && w.text.size() * Unit() > kLongLine;
    for (const NewSection& ns : new_sections_)
      sizes.long_lines += ns.header.size() * Unit() > kLongLine;
  }
  const bool same_encoding = out_enc == encoding_;
  source_ = std::move(bytes);
  ParseAs(out_enc, out_enc == IniEncoding::Utf16Le ? 2 : 0, same_encoding ? &sizes : nullptr);
  exists_ = true;
  return result;
}

std::u16string EncodeStructValue(std::span<const std::uint8_t> bytes) {
  std::u16string out;
  out.reserve(2 * (bytes.size() + 1));
  AppendStructValue(out, bytes);
  return out;
}

bool DecodeStructValue(std::u16string_view text, std::span<std::uint8_t> out) {
  return DecodeStructAt(TextAt{text.data()}, 0, text.size(), out);
}

}  // namespace vantrel
