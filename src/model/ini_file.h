// The INI layer: reads files exactly as the platform's private-profile
// functions read them and writes files those functions read back the same.
// One parse per file, a batch of writes, one atomic save. Portable C++:
// the system code page comes in as a pair of conversion functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
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
  // (benchmarks). With `keep_previous`, the version replaced stays there
  // (the last good copy of a stored file).
  IniSaveResult Save(bool flush = true, const std::filesystem::path& keep_previous = {});

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
