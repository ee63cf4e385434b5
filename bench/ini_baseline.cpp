// The pre-index INI document (see ini_baseline.h): the code as it was,
// renamed, with the platform file hooks left out.
#include "ini_baseline.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "model/text.h"

namespace vantrel::bench_baseline {

bool BaselineDecodeStruct(std::u16string_view text, std::span<std::uint8_t> out);
namespace {

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

// Names are matched with ASCII folding only, as the platform does.
bool SameName(std::u16string_view a, std::u16string_view b) { return EqualsNoCaseAscii(a, b); }

std::u16string_view StripQuotes(std::u16string_view v) {
  if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// What a written string can hold: a NUL ends it (the platform takes C
// strings) and a line break would split the line and inject a key of its
// own, so both cut the text.
std::u16string_view FirstLine(std::u16string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] != u'\r' && s[i] != u'\n' && s[i] != u'\0') ++i;
  return s.substr(0, i);
}

// The first CR or LF byte in b[from, end), or end. Eight bytes per step:
// a struct line is some 100,000 bytes long, and the C runtime's memchr
// under Wine looks at one byte at a time.
std::size_t FindBreakByte(const std::uint8_t* b, std::size_t from, std::size_t end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHigh = 0x8080808080808080u;
  // Non-zero exactly when some byte of v is zero.
  auto has_zero = [](std::uint64_t v) { return (v - kOnes) & ~v & kHigh; };
  std::size_t i = from;
  for (; i + 8 <= end; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, b + i, sizeof w);
    if (has_zero(w ^ (kOnes * '\n')) | has_zero(w ^ (kOnes * '\r'))) break;
  }
  for (; i < end; ++i)
    if (b[i] == '\n' || b[i] == '\r') return i;
  return end;
}

// Where the next line break starts in b[from, end), or end. A break is a
// CR or LF unit: in UTF-16 (unit 2) its high byte is 0. A byte that only
// looks like a break (the high byte of U+0A00, the low byte of U+010D)
// resumes the search after its unit, so the search stays linear.
class BreakFinder {
 public:
  BreakFinder(const std::uint8_t* b, std::size_t end, std::size_t unit)
      : b_(b), end_(end), unit_(unit) {}

  std::size_t Next(std::size_t from) const {
    while (from < end_) {
      const std::size_t hit = FindBreakByte(b_, from, end_);
      if (hit >= end_) return end_;
      const std::size_t off = (hit - from) % unit_;
      if (off == 0 && (unit_ == 1 || b_[hit + 1] == 0)) return hit;
      from = hit + unit_ - off;  // the unit after the one holding the byte
    }
    return end_;
  }

 private:
  const std::uint8_t* b_;
  std::size_t end_, unit_;
};

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

// Values are compared as raw units: a struct value is 50,000 of them, and
// the character-traits loop compares one at a time.
bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
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

}  // namespace

bool BaselineIniFile::Classify(Line& line) {
  std::u16string_view all = line.text;
  std::u16string_view t = TrimIni(all);
  line.blank = t.empty();
  line.has_eq = false;
  line.name_pos = line.name_len = line.value_pos = line.value_len = 0;
  if (t.empty()) return false;
  std::size_t start = static_cast<std::size_t>(t.data() - all.data());
  // A header runs from '[' to the last ']' on the line; anything after it
  // is ignored, so "[a]b]" is section "a]b" and "[a]=b" is section "a".
  if (t.front() == u'[') {
    std::size_t close = t.rfind(u']');
    if (close != std::u16string_view::npos && close > 0) {
      std::u16string_view name = TrimIni(t.substr(1, close - 1));
      line.name_pos = static_cast<std::size_t>(name.data() - all.data());
      line.name_len = name.size();
      return true;
    }
  }
  // The first '=' splits; a line without one is a name without a value,
  // which still hides a later entry of the same name.
  std::size_t eq = t.find(u'=');
  std::u16string_view name = t.substr(0, eq);
  while (!name.empty() && IsIniSpace(name.back())) name.remove_suffix(1);
  line.name_pos = start;
  line.name_len = name.size();
  if (eq != std::u16string_view::npos) {
    std::u16string_view value = TrimFront(t.substr(eq + 1));
    line.has_eq = true;
    line.value_pos = static_cast<std::size_t>(value.data() - all.data());
    line.value_len = value.size();
  }
  return false;
}

BaselineIniFile::BaselineIniFile(std::filesystem::path path, const CodePage* cp)
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

}  // namespace

bool BaselineIniFile::Load() {
  // Read straight into source_: the file image is kept anyway, and a second
  // buffer of a large file is a second large allocation.
  source_.clear();
  bool read = ReadWithStream(path_, source_);
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

void BaselineIniFile::LoadBytes(std::span<const std::uint8_t> bytes) {
  unreadable_ = false;
  source_.assign(bytes.begin(), bytes.end());
  Parse();
}

void BaselineIniFile::Parse() {
  sections_.clear();
  sections_.emplace_back();
  dirty_ = false;
  force_utf16_ = false;
  const std::uint8_t* b = source_.data();
  const std::size_t n = source_.size();
  // Windows honours the UTF-16LE mark only; a UTF-16BE mark is read as
  // code-page bytes stuck to line 1. The UTF-8 mark we accept as well.
  if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    encoding_ = IniEncoding::Utf16Le;
    prefix_ = 2;
  } else if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
    encoding_ = IniEncoding::Utf8;
    prefix_ = 3;
  } else {
    encoding_ = IniEncoding::Ansi;
    prefix_ = 0;
  }
  const bool wide = encoding_ == IniEncoding::Utf16Le;
  const std::size_t unit = wide ? 2 : 1;
  // An odd byte at the end of a UTF-16 file is not a character: dropped.
  const std::size_t end = wide ? prefix_ + (n - prefix_) / 2 * 2 : n;
  auto at = [&](std::size_t i) -> char16_t {
    return wide ? static_cast<char16_t>(b[i] | (b[i + 1] << 8)) : static_cast<char16_t>(b[i]);
  };
  auto decode = [&](std::size_t from, std::size_t to) -> std::u16string {
    if (from == to) return {};
    if (wide) {
      std::u16string s((to - from) / 2, u'\0');
      if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(s.data(), b + from, to - from);
      } else {
        for (std::size_t i = 0; i < s.size(); ++i) s[i] = at(from + 2 * i);
      }
      return s;
    }
    std::string_view raw(reinterpret_cast<const char*>(b + from), to - from);
    if (encoding_ == IniEncoding::Utf8) return Utf8ToU16(raw);
    return CodePageOf(cp_).decode(raw);
  };
  BreakFinder breaks(b, end, unit);
  std::size_t i = prefix_;
  while (i < end) {
    // CRLF, LF and CR all end a line. The platform treats a run of breaks
    // as one; we keep each empty line as a blank line of its own, which
    // reads the same and lets a new key go ahead of the blank lines. (CR and
    // LF never occur as trail bytes of a double-byte code page, so
    // splitting the bytes is safe.)
    const std::size_t text_end = breaks.Next(i);
    std::size_t line_end = text_end;
    if (line_end < end) {
      bool cr = at(line_end) == u'\r';
      line_end += unit;
      if (cr && line_end < end && at(line_end) == u'\n') line_end += unit;
    }
    Line line;
    line.text = decode(i, text_end);
    line.eol = wide ? decode(text_end, line_end)
                    : std::u16string(reinterpret_cast<const char*>(b + text_end),
                                     reinterpret_cast<const char*>(b + line_end));
    line.raw_begin = i;
    line.raw_end = line_end;
    i = line_end;
    if (Classify(line)) {
      Section& s = sections_.emplace_back();
      s.has_header = true;
      s.header = std::move(line);
    } else {
      sections_.back().lines.push_back(std::move(line));
    }
  }
}

const BaselineIniFile::Section* BaselineIniFile::FindSection(std::u16string_view name) const {
  // Only the first section of a name is ever searched. An empty name finds
  // an explicit "[]" section before the lines above the first header, as
  // Windows does (Wine looks at the top lines first).
  for (std::size_t i = 1; i < sections_.size(); ++i)
    if (SameName(sections_[i].header.name(), name)) return &sections_[i];
  if (name.empty() && !sections_.empty()) return &sections_[0];
  return nullptr;
}

BaselineIniFile::Section* BaselineIniFile::FindSection(std::u16string_view name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

namespace {

template <typename Lines>
auto FindEntry(Lines& lines, std::u16string_view key) -> decltype(&lines[0]) {
  for (auto& line : lines)
    if (!line.blank && SameName(line.name(), key)) return &line;
  return nullptr;
}

}  // namespace

std::optional<std::u16string> BaselineIniFile::Find(std::u16string_view section,
                                                    std::u16string_view key) const {
  const Section* s = FindSection(TrimIni(section));
  if (!s) return std::nullopt;
  const Line* e = FindEntry(s->lines, TrimIni(key));
  if (!e || !e->has_eq) return std::nullopt;
  return std::u16string(StripQuotes(e->value()));
}

std::u16string BaselineIniFile::ReadString(std::u16string_view section, std::u16string_view key,
                                           std::u16string_view default_value,
                                           std::size_t buffer_chars) const {
  if (buffer_chars == 0) return {};
  std::u16string_view result;
  const Line* e = nullptr;
  if (const Section* s = FindSection(TrimIni(section))) e = FindEntry(s->lines, TrimIni(key));
  if (e && e->has_eq) {
    result = StripQuotes(e->value());
  } else {
    // The default loses trailing spaces (spaces only) and one pair of quotes.
    while (!default_value.empty() && default_value.back() == u' ') default_value.remove_suffix(1);
    result = StripQuotes(default_value);
  }
  return std::u16string(result.substr(0, buffer_chars - 1));
}

std::int32_t BaselineIniFile::ReadInt(std::u16string_view section, std::u16string_view key,
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

bool BaselineIniFile::ReadStruct(std::u16string_view section, std::u16string_view key,
                                 std::span<std::uint8_t> out) const {
  const Section* s = FindSection(TrimIni(section));
  if (!s) return false;
  const Line* e = FindEntry(s->lines, TrimIni(key));
  // Quotes are not stripped: a quoted value fails the digit check.
  return e && e->has_eq && BaselineDecodeStruct(e->value(), out);
}

void BaselineIniFile::NoteWritten(const Line& line) {
  dirty_ = true;
  if (encoding_ != IniEncoding::Ansi || force_utf16_) return;
  // A character the code page cannot hold would be saved as '?': the whole
  // file becomes UTF-16 instead.
  if (!CodePageOf(cp_).encode(line.text)) force_utf16_ = true;
}

BaselineIniFile::Section& BaselineIniFile::SectionForWrite(std::u16string_view name) {
  if (sections_.empty()) sections_.emplace_back();
  // Stored with leading white space dropped and trailing kept, found trimmed.
  std::u16string_view stored = TrimFront(FirstLine(name));
  if (Section* s = FindSection(TrimIni(stored))) return *s;
  Section& s = sections_.emplace_back();
  s.has_header = true;
  s.header.text = u"[" + std::u16string(stored) + u"]";
  s.header.eol = u"\r\n";
  s.header.written = true;
  Classify(s.header);
  NoteWritten(s.header);
  return s;
}

void BaselineIniFile::WriteString(std::u16string_view section, std::u16string_view key,
                                  std::u16string_view value) {
  WriteEntry(section, key, TrimFront(FirstLine(value)));
}

void BaselineIniFile::WriteEntry(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view stored_value) {
  std::u16string_view stored_key = TrimFront(FirstLine(key));
  Line line;
  line.text.reserve(stored_key.size() + 1 + stored_value.size());
  line.text.append(stored_key).append(u"=").append(stored_value);
  StoreEntry(section, stored_key, std::move(line));
}

void BaselineIniFile::StoreEntry(std::u16string_view section, std::u16string_view stored_key,
                                 Line&& line) {
  // A key such as "[x]" would come back as a section header and move every
  // later key into it; refuse it rather than corrupt the file.
  if (Classify(line)) return;
  Section& s = SectionForWrite(section);
  if (Line* e = FindEntry(s.lines, TrimIni(stored_key))) {
    if (e->has_eq && SameText(e->value(), line.value())) return;  // nothing changes
    // The stored spelling of the key stays; the line takes the normal form.
    // Trailing white space of the value is written as given (and trimmed
    // again on the next read), as the platform does. Usually the key is
    // spelled as stored already, and the line built by the caller is that
    // form (a struct value is long: it is not copied twice).
    Line changed;
    if (line.name() == e->name() && line.name_len == stored_key.size()) {
      changed = std::move(line);
    } else {
      changed.text.assign(e->name()).append(u"=").append(line.text, stored_key.size() + 1);
      if (Classify(changed)) return;  // "[a" + "=b]" would read as a header
    }
    changed.eol = u"\r\n";
    changed.written = true;
    *e = std::move(changed);
    NoteWritten(*e);
    return;
  }
  // A new key goes after the last entry of the section, ahead of the blank
  // lines that separate it from the next header.
  auto pos = s.lines.end();
  while (pos != s.lines.begin() && std::prev(pos)->blank) --pos;
  line.eol = u"\r\n";
  line.written = true;
  NoteWritten(*s.lines.insert(pos, std::move(line)));
}

void BaselineIniFile::WriteInt(std::u16string_view section, std::u16string_view key,
                               std::int32_t value) {
  WriteString(section, key, ToU16Decimal(value));
}

void BaselineIniFile::WriteStruct(std::u16string_view section, std::u16string_view key,
                                  std::span<const std::uint8_t> bytes) {
  // Hex digits only: nothing to cut or trim. Encoded straight into the line.
  std::u16string_view stored_key = TrimFront(FirstLine(key));
  Line line;
  line.text.reserve(stored_key.size() + 1 + 2 * (bytes.size() + 1));
  line.text.append(stored_key).append(u"=");
  AppendStructValue(line.text, bytes);
  StoreEntry(section, stored_key, std::move(line));
}

void BaselineIniFile::DeleteKey(std::u16string_view section, std::u16string_view key) {
  Section* s = FindSection(TrimIni(section));
  if (!s) return;
  // The first match goes; a later duplicate becomes visible, as on the platform.
  if (Line* e = FindEntry(s->lines, TrimIni(key))) {
    s->lines.erase(s->lines.begin() + (e - s->lines.data()));
    dirty_ = true;
  }
}

void BaselineIniFile::DeleteSection(std::u16string_view section) {
  Section* s = FindSection(TrimIni(section));
  if (!s) return;
  if (!s->has_header) {
    if (s->lines.empty()) return;
    s->lines.clear();
  } else {
    sections_.erase(sections_.begin() + (s - sections_.data()));
  }
  dirty_ = true;
}

void BaselineIniFile::Clear() {
  bool had_lines = sections_.size() > 1 || (!sections_.empty() && !sections_[0].lines.empty());
  sections_.clear();
  sections_.emplace_back();
  if (had_lines) dirty_ = true;
}

std::optional<std::vector<std::uint8_t>> BaselineIniFile::SerializeAs(IniEncoding out_enc,
                                                                      LineRanges* ranges) const {
  std::vector<std::uint8_t> out;
  // Room for the whole file up front: a rewritten struct line is long, and
  // growing the buffer line by line would copy the file several times.
  std::size_t estimate = source_.size() + 64;
  for (const Section& s : sections_) {
    if (s.header.written) estimate += 2 * (s.header.text.size() + 2);
    for (const Line& line : s.lines)
      if (line.written) estimate += 2 * (line.text.size() + 2);
  }
  out.reserve(estimate);
  // Untouched lines are copied byte for byte when the encoding stays.
  const bool raw_ok = out_enc == encoding_;
  const bool wide = out_enc == IniEncoding::Utf16Le;
  if (wide) out.insert(out.end(), {0xFF, 0xFE});
  const CodePage& cp = CodePageOf(cp_);
  bool open_line = false;  // the last line put out had no break
  auto put = [&](std::u16string_view s) -> bool {
    if (wide) {
      AppendUtf16(out, s);
      return true;
    }
    std::optional<std::string> bytes = cp.encode(s);
    if (!bytes) return false;
    out.insert(out.end(), bytes->begin(), bytes->end());
    return true;
  };
  auto emit = [&](const Line& line) -> bool {
    if (open_line && !put(u"\r\n")) return false;
    // The break put in for the line before belongs to that line.
    if (ranges && !ranges->empty()) ranges->back().second = out.size();
    if (ranges) ranges->emplace_back(out.size(), 0);
    if (!line.written && raw_ok) {
      out.insert(out.end(), source_.begin() + line.raw_begin, source_.begin() + line.raw_end);
    } else if (!put(line.text) || !put(line.eol)) {
      return false;
    }
    open_line = line.eol.empty();
    if (ranges) ranges->back().second = out.size();
    return true;
  };
  for (const Section& s : sections_) {
    if (s.has_header && !emit(s.header)) return std::nullopt;
    for (const Line& line : s.lines)
      if (!emit(line)) return std::nullopt;
  }
  return out;
}

std::vector<std::uint8_t> BaselineIniFile::SerializeTo(IniEncoding& out_enc,
                                                       LineRanges* ranges) const {
  if (encoding_ == IniEncoding::Ansi && !force_utf16_) {
    out_enc = IniEncoding::Ansi;
    if (auto bytes = SerializeAs(out_enc, ranges)) return std::move(*bytes);
    if (ranges) ranges->clear();
  }
  // UTF-8 files, new files and anything the code page cannot hold: UTF-16LE.
  out_enc = IniEncoding::Utf16Le;
  return std::move(*SerializeAs(out_enc, ranges));
}

std::vector<std::uint8_t> BaselineIniFile::Serialize() const {
  IniEncoding out_enc;
  return SerializeTo(out_enc, nullptr);
}

IniSaveResult BaselineIniFile::Save(bool flush) {
  if (!dirty_) return IniSaveResult::Ok;
  if (unreadable_) return IniSaveResult::WriteFailed;
  IniEncoding out_enc;
  LineRanges ranges;
  std::vector<std::uint8_t> bytes = SerializeTo(out_enc, &ranges);
  if (exists_ && bytes == source_) {
    dirty_ = false;
    return IniSaveResult::Ok;
  }
  IniSaveResult result = WriteFileAtomic(path_, bytes, flush);
  if (result != IniSaveResult::Ok) return result;
  // What is on disk now is the new source: every line points at its bytes
  // there, so the next batch again keeps untouched lines byte for byte.
  source_ = std::move(bytes);
  encoding_ = out_enc;
  prefix_ = out_enc == IniEncoding::Utf16Le ? 2 : 0;
  force_utf16_ = false;
  dirty_ = false;
  exists_ = true;
  std::size_t i = 0;
  Line* last = nullptr;
  auto rebase = [&](Line& line) {
    if (last && last->eol.empty()) last->eol = u"\r\n";
    line.raw_begin = ranges[i].first;
    line.raw_end = ranges[i].second;
    line.written = false;
    ++i;
    last = &line;
  };
  for (Section& s : sections_) {
    if (s.has_header) rebase(s.header);
    for (Line& line : s.lines) rebase(line);
  }
  return result;
}

bool BaselineDecodeStruct(std::u16string_view text, std::span<std::uint8_t> out) {
  // Strict where the platform is lenient: exact length, hex digits only and
  // a matching checksum, checked before a single byte of `out` changes.
  if (text.size() != 2 * (out.size() + 1)) return false;
  const auto& table = HexPairTable();
  unsigned sum = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const int v = HexPair(table, text[2 * i], text[2 * i + 1]);
    if (v < 0) return false;
    sum += static_cast<unsigned>(v);
  }
  const int check = HexPair(table, text[text.size() - 2], text[text.size() - 1]);
  if (check < 0 || static_cast<unsigned>(check) != (sum & 0xFF)) return false;
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<std::uint8_t>(HexPair(table, text[2 * i], text[2 * i + 1]));
  return true;
}

}  // namespace vantrel::bench_baseline
