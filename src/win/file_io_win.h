// Reading and saving files under Wine and Windows with the platform's own
// calls: a whole file read through one handle, and the atomic save's last
// step done through one handle (write, flush, rename over the target, close).
//
//   win::UsePlatformFileIo();  // once, at start-up, before any file is read
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace vantrel::win {

// Has the INI layer read and save every file through the two calls below.
void UsePlatformFileIo();

// Reads the whole file into `out` (empty on entry); false when it cannot be
// opened or read. Others may read, write or replace the file meanwhile; a
// file that shrinks while it is read gives what was there.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out);

// Creates `temporary` (it must not exist), writes `bytes`, flushes when
// asked and renames it over `target` through the open handle. When the
// system refuses the rename by handle, the closed file is moved over the
// target by name instead. With `keep_previous`, the old target gets that
// second name first (a hard link: no copy, and the target is never
// missing). False, with `temporary` gone, on any failure.
bool WriteAndReplace(const std::filesystem::path& temporary, const std::filesystem::path& target,
                     std::span<const std::uint8_t> bytes, bool flush,
                     const std::filesystem::path& keep_previous);

}  // namespace vantrel::win
