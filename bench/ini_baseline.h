// The INI layer as it was before the line index (one decoded record per
// line, lookups by walking the section), kept inside the benchmark only so
// that ini_bench can time and weigh both in one run. Not linked into the
// program; same interface as vantrel::IniFile.
#pragma once

#include "model/ini_file.h"

namespace vantrel::bench_baseline {

class BaselineIniFile {
 public:
  BaselineIniFile() = default;
  explicit BaselineIniFile(std::filesystem::path path, const CodePage* cp = nullptr);

  // Reads and parses the file. False when it cannot be read; the document
  // is then empty. Save then creates the file when it was missing, and
  // refuses to replace one that is there but could not be read (held by
  // another program, refused, larger than kMaxBaselineIniFileBytes): what it holds
  // would be lost.
  bool Load();
  // Parses bytes as if they were the file's content (tests, fuzzing).
  void LoadBytes(std::span<const std::uint8_t> bytes);
  bool loaded_from_file() const { return exists_; }

  // GetPrivateProfileStringW: trimmed lookup, first match, quote stripping,
  // result cut to buffer_chars - 1 characters (buffer_chars 0 gives "").
  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view default_value,
                            std::size_t buffer_chars = 4096) const;
  // The value when the key exists with '=' (quotes stripped), else nullopt.
  std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;
  // GetPrivateProfileIntW: 30-character fetch, sign, lower-case base
  // prefixes, wrap-around modulo 2^32.
  std::int32_t ReadInt(std::u16string_view section, std::u16string_view key,
                       std::int32_t default_value) const;
  // Struct form, strict: exact length 2*(n+1), hex digits only, checksum.
  // On failure `out` is left untouched.
  bool ReadStruct(std::u16string_view section, std::u16string_view key,
                  std::span<std::uint8_t> out) const;

  // WritePrivateProfileStringW on the in-memory document.
  void WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  void WriteInt(std::u16string_view section, std::u16string_view key, std::int32_t value);
  void WriteStruct(std::u16string_view section, std::u16string_view key,
                   std::span<const std::uint8_t> bytes);
  void DeleteKey(std::u16string_view section, std::u16string_view key);
  void DeleteSection(std::u16string_view section);
  // Removes every line (the next Save writes an empty document plus what
  // was written after the call).
  void Clear();

  // The whole file as it would be saved.
  std::vector<std::uint8_t> Serialize() const;
  // Atomic replace: temporary file in the same folder, flushed, renamed
  // over the old one; missing folders are created. Writes nothing when the
  // document did not change since Load. `flush` false skips the fsync
  // (benchmarks).
  IniSaveResult Save(bool flush = true);

  bool dirty() const { return dirty_; }
  IniEncoding encoding() const { return encoding_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  // Splits source_ into sections and lines.
  void Parse();
  // The document keeps every line as it was read, so what a write does not
  // change is saved byte for byte.
  struct Line {
    std::u16string text;                     // the line as decoded, without its break
    std::u16string eol;                      // CRLF, LF or CR; empty on a last line without one
    std::size_t raw_begin = 0, raw_end = 0;  // its bytes in source_, break included
    bool written = false;                    // changed or new: saved from `text`, not from source_
    bool blank = false;                      // nothing but white space: kept, never matched
    bool has_eq = false;
    std::size_t name_pos = 0, name_len = 0, value_pos = 0, value_len = 0;
    std::u16string_view name() const { return {text.data() + name_pos, name_len}; }
    std::u16string_view value() const { return {text.data() + value_pos, value_len}; }
  };
  struct Section {
    bool has_header = false;  // false only for the lines before the first header
    Line header;              // name_pos/name_len: the section name
    std::vector<Line> lines;
  };

  // Finds name and value in line.text; true when the line is a header.
  static bool Classify(Line& line);
  // Writes a value already cut to its first line and trimmed in front.
  void WriteEntry(std::u16string_view section, std::u16string_view key,
                  std::u16string_view stored_value);
  // Puts the line `key=value` built by a writer (key as stored) in place of
  // the key's line, or adds it; nothing changes when the value is the same.
  void StoreEntry(std::u16string_view section, std::u16string_view stored_key, Line&& line);
  const Section* FindSection(std::u16string_view trimmed_name) const;
  Section* FindSection(std::u16string_view trimmed_name);
  Section& SectionForWrite(std::u16string_view name);
  // Stores the line in the code page when it can, else switches the file to UTF-16.
  void NoteWritten(const Line& line);
  using LineRanges = std::vector<std::pair<std::size_t, std::size_t>>;
  // The bytes to save in `out` (nullopt when the code page cannot hold a
  // line); `ranges` receives each line's bytes, in document order.
  std::optional<std::vector<std::uint8_t>> SerializeAs(IniEncoding out, LineRanges* ranges) const;
  std::vector<std::uint8_t> SerializeTo(IniEncoding& out, LineRanges* ranges) const;

  std::filesystem::path path_;
  const CodePage* cp_ = nullptr;
  IniEncoding encoding_ = IniEncoding::Utf16Le;
  bool exists_ = false;
  bool unreadable_ = false;  // Load found the file but could not read it
  bool dirty_ = false;
  bool force_utf16_ = false;
  std::size_t prefix_ = 0;            // byte-order mark length in source_
  std::vector<std::uint8_t> source_;  // the bytes loaded (or last saved)
  std::vector<Section> sections_;     // [0] is the area before the first header
};

}  // namespace vantrel::bench_baseline
