// Saving a file under Wine and Windows: the atomic save's last step done
// through one handle (write, flush, rename over the target, close).
//
//   SetWriteReplaceFunction(&win::WriteAndReplace);  // once, at start-up
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace vantrel::win {

// Creates `temporary` (it must not exist), writes `bytes`, flushes when
// asked and renames it over `target` through the open handle. When the
// system refuses the rename by handle, the closed file is moved over the
// target by name instead. False, with `temporary` gone, on any failure.
bool WriteAndReplace(const std::filesystem::path& temporary, const std::filesystem::path& target,
                     std::span<const std::uint8_t> bytes, bool flush);

}  // namespace vantrel::win
