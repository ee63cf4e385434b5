// WriteFileAtomic: every file the program saves or copies goes through here
// so that a crash, a full disk or a read-only file never leaves a short or
// empty file behind. The bytes go to a temporary file in the same folder
// (same volume, so the rename cannot turn into a copy), are flushed to the
// disk and then renamed over the old file in one step.
#include <atomic>
#include <cstdio>
#include <random>
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

bool DefaultReplace(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
}

std::atomic<ReplaceFileFn> g_replace{nullptr};
std::atomic<WriteReplaceFn> g_write_replace{nullptr};

// Unique enough that two programs saving into one folder never share a
// name. Kept to an 8.3 name: Wine renames such a file over the target
// several times faster than a long one.
fs::path TemporaryName(const fs::path& path) {
  static std::atomic<std::uint32_t> counter{0};
  static const std::uint32_t seed = std::random_device{}();
  std::uint32_t n = (seed ^ (counter.fetch_add(1) * 0x9E3779B9u)) & 0xFFFFFFF;
  char buf[16];
  std::snprintf(buf, sizeof buf, "~%07x.tmp", static_cast<unsigned>(n));
  return path.parent_path() / buf;
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
  std::FILE* f = OpenForWrite(tmp);
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  if (ok && flush) ok = FlushToDisk(f);
  return std::fclose(f) == 0 && ok;
}

}  // namespace

void SetReplaceFileFunction(ReplaceFileFn fn) { g_replace.store(fn); }

void SetWriteReplaceFunction(WriteReplaceFn fn) { g_write_replace.store(fn); }

IniSaveResult WriteFileAtomic(const fs::path& path, std::span<const std::uint8_t> bytes,
                              bool flush) {
  if (path.empty() || !path.has_filename()) return IniSaveResult::WriteFailed;
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
  if (WriteReplaceFn write_replace = g_write_replace.load(); write_replace && !replace) {
    if (write_replace(tmp, path, bytes, flush)) return IniSaveResult::Ok;
    fs::remove(tmp, ec);
    return IniSaveResult::WriteFailed;
  }
  if (!WriteAll(tmp, bytes, flush) || !(replace ? replace : DefaultReplace)(tmp, path)) {
    fs::remove(tmp, ec);
    return IniSaveResult::WriteFailed;
  }
  return IniSaveResult::Ok;
}

}  // namespace vantrel
