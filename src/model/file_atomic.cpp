// WriteFileAtomic: every file the program saves or copies goes through here
// so that a crash, a full disk or a read-only file never leaves a short or
// empty file behind. The bytes go to a temporary file in the same folder
// (same volume, so the rename cannot turn into a copy), are flushed to the
// disk and then renamed over the old file in one step. A stored file keeps
// the version it replaces as its last good copy: a second name for the old
// file (a hard link), made before the rename, so at every moment the file
// is there whole, in its old or its new version. The copy is renewed when
// it is older than half a minute: under Wine a link costs almost as much
// as the save itself, and applies come in bursts.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <system_error>

#include "model/ini_file.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::atomic<ReplaceFileFn> g_replace{nullptr};
std::atomic<WriteReplaceFn> g_write_replace{nullptr};
std::atomic<SaveFaultFn> g_fault{nullptr};

bool Fails(SaveStep step) {
  SaveFaultFn fault = g_fault.load();
  return fault && fault(step);
}

bool DefaultReplace(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
}

// Unique enough that two programs saving into one folder never share a
// name. Kept to an 8.3 name: Wine renames such a file over the target
// several times faster than a long one.
constexpr char kTemporaryPrefix = '~';
constexpr char kTemporaryExtension[] = ".tmp";
constexpr std::size_t kTemporaryDigits = 7;

fs::path TemporaryName(const fs::path& path) {
  static std::atomic<std::uint32_t> counter{0};
  static const std::uint32_t seed = std::random_device{}();
  std::uint32_t n = (seed ^ (counter.fetch_add(1) * 0x9E3779B9u)) & 0xFFFFFFF;
  char buf[16];
  std::snprintf(buf, sizeof buf, "~%07x.tmp", static_cast<unsigned>(n));
  return path.parent_path() / buf;
}

bool IsTemporaryName(const fs::path& name) {
  const std::string s = name.filename().string();
  const std::size_t ext = sizeof kTemporaryExtension - 1;
  if (s.size() != 1 + kTemporaryDigits + ext || s[0] != kTemporaryPrefix) return false;
  if (s.compare(1 + kTemporaryDigits, ext, kTemporaryExtension) != 0) return false;
  for (std::size_t i = 1; i <= kTemporaryDigits; ++i) {
    const char c = s[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::FILE* OpenForWrite(const fs::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

bool FlushToDisk(std::FILE* f) {
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

bool WriteAll(const fs::path& tmp, std::span<const std::uint8_t> bytes, bool flush) {
  std::FILE* f = Fails(SaveStep::Create) ? nullptr : OpenForWrite(tmp);
  if (!f) return false;
  bool ok = !Fails(SaveStep::Write) &&
            (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
  ok = std::fflush(f) == 0 && ok;
  if (ok && flush) ok = !Fails(SaveStep::Flush) && FlushToDisk(f);
  return std::fclose(f) == 0 && ok;
}

// The old file under a second name, before the new one takes its place. A
// link costs no copy; where the file system has none, a copy is made.
void KeepPrevious(const fs::path& target, const fs::path& keep) {
  std::error_code ec;
  if (Fails(SaveStep::KeepPrevious) || !fs::exists(target, ec)) return;
  fs::create_directories(keep.parent_path(), ec);
  fs::remove(keep, ec);
  fs::create_hard_link(target, keep, ec);
  if (ec) fs::copy_file(target, keep, fs::copy_options::overwrite_existing, ec);
}

// A last good copy younger than this is kept as it is (its time is that of
// the version it holds).
constexpr auto kLastGoodAge = std::chrono::seconds(30);

bool LastGoodIsRecent(const fs::path& keep) {
  std::error_code ec;
  const auto written = fs::last_write_time(keep, ec);
  return !ec && fs::file_time_type::clock::now() - written < kLastGoodAge;
}

}  // namespace

void SetReplaceFileFunction(ReplaceFileFn fn) { g_replace.store(fn); }

void SetWriteReplaceFunction(WriteReplaceFn fn) { g_write_replace.store(fn); }

void SetSaveFaultFunction(SaveFaultFn fn) { g_fault.store(fn); }

IniSaveResult WriteFileAtomic(const fs::path& path, std::span<const std::uint8_t> bytes, bool flush,
                              const fs::path& requested_keep) {
  if (path.empty() || !path.has_filename()) return IniSaveResult::WriteFailed;
  const fs::path keep_previous =
      requested_keep.empty() || LastGoodIsRecent(requested_keep) ? fs::path() : requested_keep;
  std::error_code ec;
  fs::path folder = path.parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec)) {
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return IniSaveResult::NoFolder;
  }
  // A rename would go through a read-only file on POSIX; the platform's own
  // writers refuse it, and so do we.
  fs::file_status st = fs::status(path, ec);
  if (!ec && fs::exists(st)) {
    if (fs::is_directory(st)) return IniSaveResult::WriteFailed;
    if ((st.permissions() & fs::perms::owner_write) == fs::perms::none)
      return IniSaveResult::WriteFailed;
  }
  fs::path tmp = TemporaryName(path);
  ReplaceFileFn replace = g_replace.load();
  if (WriteReplaceFn write_replace = g_write_replace.load();
      write_replace && !replace && !g_fault.load()) {
    if (!keep_previous.empty()) fs::create_directories(keep_previous.parent_path(), ec);
    if (write_replace(tmp, path, bytes, flush, keep_previous)) return IniSaveResult::Ok;
    fs::remove(tmp, ec);
    return IniSaveResult::WriteFailed;
  }
  if (!WriteAll(tmp, bytes, flush)) {
    fs::remove(tmp, ec);
    return IniSaveResult::WriteFailed;
  }
  if (!keep_previous.empty()) KeepPrevious(path, keep_previous);
  if (Fails(SaveStep::Replace) || !(replace ? replace : DefaultReplace)(tmp, path)) {
    fs::remove(tmp, ec);
    return IniSaveResult::WriteFailed;
  }
  return IniSaveResult::Ok;
}

void RemoveLeftoverTemporaries(const fs::path& folder) {
  // A save takes milliseconds: a temporary this old belongs to none.
  constexpr auto kAge = std::chrono::seconds(10);
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (!IsTemporaryName(p) || !it->is_regular_file(ec)) continue;
    const auto written = fs::last_write_time(p, ec);
    if (!ec && now - written >= kAge) fs::remove(p, ec);
  }
}

}  // namespace vantrel
