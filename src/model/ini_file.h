// The INI layer: reads files exactly as the platform's private-profile
// functions read them and writes files those functions read back the same.
// One parse per file, a batch of writes, one atomic save. Portable C++:
// the system code page comes in as a pair of conversion functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vantrel {

// The system ("ANSI") code page as two conversions. `encode` returns nullopt
// when a character cannot be represented, so the caller can switch the file
// to UTF-16 instead of storing '?'.
struct CodePage {
  std::function<std::u16string(std::string_view)> decode;
  std::function<std::optional<std::string>(std::u16string_view)> encode;
};

// Windows-1252, the default off Windows (and what Wine reports here).
const CodePage& Windows1252CodePage();
// The code page used by IniFile objects built without one. The Windows build
// installs a CP_ACP converter at start-up.
const CodePage& SystemCodePage();
void SetSystemCodePage(const CodePage* cp);  // nullptr restores Windows-1252

enum class IniEncoding { Ansi, Utf16Le, Utf8 };

enum class IniSaveResult {
  Ok,          // written (or nothing to write)
  NoFolder,    // a folder on the way could not be created
  WriteFailed  // temporary file could not be written or renamed (read-only...)
};

// Parts of IniFile's document, out here only so that the helpers in
// ini_file.cpp can name them.
namespace ini_detail {
// The text of a line (or a part of one) as code units: raw bytes of a
// code-page line with no byte over 0x7F (one unit each), raw UTF-16LE
// bytes, or decoded text.
struct Units {
  const std::uint8_t* bytes = nullptr;
  const char16_t* text = nullptr;
  std::uint32_t size = 0;
  std::uint8_t width = 0;  // 1 or 2 for bytes; 0 for text
};
// What a line holds, in units from its start.
struct Shape {
  enum Kind : std::uint8_t { Blank, Header, Entry } kind = Blank;
  bool has_eq = false;
  std::uint32_t name_pos = 0, name_len = 0;  // header: the section name
  std::uint32_t value_pos = 0, value_len = 0;
};
}  // namespace ini_detail

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::filesystem::path path, const CodePage* cp = nullptr);

  // Reads and parses the file. False when it cannot be read; the document
  // is then empty. Save then creates the file when it was missing, and
  // refuses to replace one that is there but could not be read (held by
  // another program, refused, larger than kMaxIniFileBytes): what it holds
  // would be lost.
  bool Load();
  // Parses bytes as if they were the file's content (tests, fuzzing); more
  // than kMaxIniFileBytes are refused as Load refuses such a file.
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
  // (benchmarks). With `keep_previous`, the version replaced stays there
  // (the last good copy of a stored file).
  IniSaveResult Save(bool flush = true, const std::filesystem::path& keep_previous = {});

  bool dirty() const { return dirty_; }
  IniEncoding encoding() const { return encoding_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  // The document is the loaded bytes plus what writes did to them: a line
  // nobody wrote is never copied or decoded, only found again by its offset
  // in source_ (32 bits: a loaded file is at most kMaxIniFileBytes); only a
  // written line keeps its text. What is kept per line is bounded by a few
  // bytes per byte of file, whatever its shape: blank lines cost nothing, a
  // line of source_ little more than its slot in the key index.
  //
  // Sections are numbered: 0 is the area above the first header, 1..H the
  // headers of source_ in order (headers_), H+1.. sections we added.
  static constexpr std::uint32_t kNoRef = 0xFFFFFFFF;
  static constexpr std::uint32_t kWrittenRef = 0x80000000;  // written_[ref - kWrittenRef]
  static constexpr std::uint32_t kLongLine = 128;  // bytes of text; longer lines keep their shape

  using Units = ini_detail::Units;
  using Shape = ini_detail::Shape;
  // A line of source_ read for use; `own` holds its text when it had to be
  // decoded (units then point into it, so a LineText stays where it is).
  struct LineText {
    std::uint32_t begin = 0, text_end = 0, end = 0;  // text, then its break, in source_
    Shape shape;
    Units units;
    std::u16string own;
  };
  // A line longer than kLongLine bytes: its shape is kept, so finding it
  // again needs no scan of it. `decoded`: a code-page line with bytes over
  // 0x7F, decoded again when it is read (keeping its text would double it).
  struct LongLine {
    std::uint32_t begin, text_end, end;
    Shape shape;
    bool decoded;
  };
  // A line a write made (a new key, or a changed one in place of a line of
  // source_): saved from its text in normal form, with CRLF.
  struct Written {
    std::u16string text;
    Shape shape;
    std::uint32_t section = 0;
    std::uint32_t replaces = kNoRef;  // the line of source_ it stands for
    // A new key: it goes before the line of source_ that starts here (after
    // the section's last line that was not blank when it was written).
    std::uint32_t anchor = 0;
    bool deleted = false;
  };
  // What writes and deletes did to a section. `added`: its new keys that
  // are still there, in file order.
  struct SectionEdits {
    bool deleted = false;  // for section 0: its lines of source_ dropped
    std::vector<std::uint32_t> added;
    std::uint32_t last_line_end = kNoRef;  // of its last line of source_ that is not blank
  };
  struct NewSection {
    std::u16string header;  // "[name]"
    Shape shape;
    SectionEdits edits;
  };
  // Open addressing over 32-bit references (a line of source_, a written
  // line with kWrittenRef set, or a section number). Each slot has a tag
  // byte: 0 empty, 1 removed, else 8 bits of the hash, so a probe rarely
  // reads the text of a line that is not the one looked for.
  struct RefTable {
    std::vector<std::uint8_t> tags;
    std::vector<std::uint32_t> refs;
    std::uint32_t live = 0, removed = 0;
  };
  // A key found: its slot in keys_, its reference and its text.
  struct Entry {
    std::uint32_t slot = 0, ref = 0;
    LineText line;  // for a written line only shape and units are set
  };

  // How much a parse keeps, at most: it sizes every table once.
  struct Sizes {
    std::size_t headers = 0, entries = 0, long_lines = 0;
  };
  void Parse();  // detects the encoding
  // `known`: the sizes, when the caller has them; else a first pass counts.
  void ParseAs(IniEncoding encoding, std::size_t prefix, const Sizes* known = nullptr);
  void Reset();  // drops every line, index and edit
  std::uint32_t Unit() const { return encoding_ == IniEncoding::Utf16Le ? 2 : 1; }
  std::uint32_t HeaderCount() const { return static_cast<std::uint32_t>(headers_.size()); }
  bool HighBytes(std::uint32_t begin, std::uint32_t end) const;
  std::u16string Decode(std::uint32_t begin, std::uint32_t end) const;
  std::uint32_t BreakEnd(std::uint32_t text_end) const;  // where the line after it starts
  void ScanLine(std::uint32_t begin, std::uint32_t text_end, LineText& out) const;
  const LongLine* FindLong(std::uint32_t begin) const;
  void ReadLine(std::uint32_t begin, LineText& out) const;
  std::uint32_t LineEnd(std::uint32_t begin) const;
  std::uint32_t SectionAt(std::uint32_t offset) const;
  std::uint32_t SectionBegin(std::uint32_t s) const;  // its header, in source_
  std::uint32_t BodyBegin(std::uint32_t s) const;     // the line after its header
  std::uint32_t SectionEnd(std::uint32_t s) const;
  const SectionEdits* EditsOf(std::uint32_t s) const;
  SectionEdits& EditsFor(std::uint32_t s);
  bool SectionLive(std::uint32_t s) const;
  bool RawLinesKept(std::uint32_t s) const;  // its lines of source_ are in the document
  bool SectionHasLines(std::uint32_t s) const;
  bool SameSectionName(std::uint32_t s, std::u16string_view name) const;
  std::u16string SectionName(std::uint32_t s) const;
  std::uint64_t SectionHash(std::uint32_t s) const;
  std::uint64_t KeyHash(std::uint32_t ref) const;
  // Whether `ref` is the entry `key` of section s; `line` receives its text.
  bool KeyIs(std::uint32_t ref, std::uint32_t s, std::u16string_view key, LineText& line) const;
  std::uint32_t FindSection(std::u16string_view trimmed_name) const;  // kNoRef: none
  bool FindEntry(std::uint32_t s, std::u16string_view trimmed_key, Entry& out) const;
  // Indexes the entry `ref` of section s unless one of its name is indexed.
  void IndexLine(std::uint32_t s, std::uint32_t ref, const Units& units, const Shape& shape);
  // Makes s the first section of its name and indexes its entries.
  void IndexSection(std::uint32_t s);
  void UnindexSection(std::uint32_t s);
  std::uint32_t SectionForWrite(std::u16string_view name);
  std::uint32_t LastLineEnd(std::uint32_t s, SectionEdits& edits) const;
  std::uint32_t AddWritten(std::u16string&& text, const Shape& shape, std::uint32_t s,
                           std::uint32_t replaces);
  // Writes a value already cut to its first line and trimmed in front.
  void WriteEntry(std::u16string_view section, std::u16string_view key,
                  std::u16string_view stored_value);
  // Puts the line `key=value` built by a writer (key as stored) in place of
  // the key's line, or adds it; nothing changes when the value is the same.
  void StoreEntry(std::u16string_view section, std::u16string_view stored_key,
                  std::u16string&& text);
  // Stores the line in the code page when it can, else switches the file to UTF-16.
  void NoteWritten(std::u16string_view text);
  // The bytes to save in `out`, or nullopt when the code page cannot hold a line.
  std::optional<std::vector<std::uint8_t>> SerializeAs(IniEncoding out) const;
  std::vector<std::uint8_t> SerializeTo(IniEncoding& out) const;
  class Writer;  // puts the document out in one encoding

  std::filesystem::path path_;
  const CodePage* cp_ = nullptr;
  IniEncoding encoding_ = IniEncoding::Utf16Le;
  bool exists_ = false;
  bool unreadable_ = false;  // Load found the file but could not read it
  bool dirty_ = false;
  bool force_utf16_ = false;
  std::vector<std::uint8_t> source_;  // the bytes loaded (or last saved)
  std::uint32_t text_begin_ = 0;      // after the byte-order mark
  std::uint32_t text_end_ = 0;  // the document's text of source_ ends here (Clear: text_begin_)
  std::vector<std::uint32_t> headers_;
  std::vector<LongLine> long_lines_;  // by offset
  std::size_t entry_lines_ = 0;       // every entry the document holds, hidden ones too
  std::vector<Written> written_;
  std::map<std::uint32_t, std::uint32_t>
      line_edits_;  // line of source_ -> written, or kNoRef: deleted
  std::unordered_map<std::uint32_t, SectionEdits> section_edits_;  // sections 0..H touched
  std::vector<NewSection> new_sections_;
  RefTable sections_;  // the first live section of each name (section 0 is not in it)
  RefTable keys_;      // (section, name) -> its first entry, in every reachable section
};

// Atomically replaces `path` with `bytes` (temporary file + rename), creating
// missing folders. The one helper for every file the program saves or copies.
// With `keep_previous` (a path in an existing or creatable folder), the
// file replaced is kept there, replacing the copy kept before; failing to
// keep it does not fail the save.
IniSaveResult WriteFileAtomic(const std::filesystem::path& path,
                              std::span<const std::uint8_t> bytes, bool flush = true,
                              const std::filesystem::path& keep_previous = {});

// The steps of a save, so tests can make any one of them fail.
enum class SaveStep { Create, Write, Flush, KeepPrevious, Replace };
// True: `step` fails. nullptr (the default) fails nothing.
using SaveFaultFn = bool (*)(SaveStep step);
void SetSaveFaultFunction(SaveFaultFn fn);

// Removes the temporary files a save that was killed left in `folder` (our
// own names only, and only those older than a few seconds: another copy of
// the program may be saving right now).
void RemoveLeftoverTemporaries(const std::filesystem::path& folder);

// Moves the flushed temporary file over the target, replacing it; true on
// success. The default is std::filesystem::rename: it replaces an existing
// file on POSIX and, in the mingw-w64 libstdc++ we build with, on Windows
// as well (MoveFileExW with MOVEFILE_REPLACE_EXISTING; the ini_diff Wine
// test checks it). Tests swap in a failing one.
using ReplaceFileFn = bool (*)(const std::filesystem::path& from, const std::filesystem::path& to);
void SetReplaceFileFunction(ReplaceFileFn fn);  // nullptr restores the default

// The platform's whole step instead: write `bytes` to the new file
// `temporary` (beside `target`), flush it when asked and move it over
// `target`, keeping the old `target` as `keep_previous` when that is not
// empty; true on success, and on failure no temporary file is left and
// `target` is as it was. The Windows build installs one that renames
// through the open handle, which spares Wine a second open of the file
// (about 40 % of a save). A replace or fault function set here takes
// precedence.
using WriteReplaceFn = bool (*)(const std::filesystem::path& temporary,
                                const std::filesystem::path& target,
                                std::span<const std::uint8_t> bytes, bool flush,
                                const std::filesystem::path& keep_previous);
void SetWriteReplaceFunction(WriteReplaceFn fn);  // nullptr restores the default

// The largest file Load reads: the program's own files are well under a
// megabyte, and a larger one would only size a huge allocation.
inline constexpr std::uintmax_t kMaxIniFileBytes = std::uintmax_t{64} << 20;

// Reads the whole of `path` into `out` (empty on entry); false when the
// file cannot be opened or read, or is larger than kMaxIniFileBytes. The default goes through
// std::ifstream; the Windows build installs one made of the platform's own file calls, which Wine
// runs about a tenth faster per file than the C runtime's.
using ReadFileFn = bool (*)(const std::filesystem::path& path, std::vector<std::uint8_t>& out);
void SetReadFileFunction(ReadFileFn fn);  // nullptr restores the default

// Struct helpers shared with tests: encode n bytes as 2*(n+1) upper-case hex
// digits; decode strictly.
std::u16string EncodeStructValue(std::span<const std::uint8_t> bytes);
bool DecodeStructValue(std::u16string_view text, std::span<std::uint8_t> out);

}  // namespace vantrel
