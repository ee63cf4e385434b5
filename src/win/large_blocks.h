// The cache of freed large blocks behind the program's operator new (see
// large_blocks.cpp). Nothing needs to call it; these are for tests and for
// handing the memory back when the program goes idle.
#pragma once

#include <cstddef>

namespace vantrel::win {

// Requests of at least this size are served in 64 KB size classes and their
// blocks are kept for reuse when freed.
constexpr std::size_t kLargeBlockSize = 64 * 1024;

// Bytes held in freed blocks awaiting reuse (at most 4 MB).
std::size_t CachedLargeBytes();

// Frees every cached block.
void ReleaseLargeBlocks();

}  // namespace vantrel::win
