// The program's operator new and delete: a small cache of freed large
// blocks in front of the C runtime's heap.
//
// Wine's heap hands every block above about 128 KB straight to the virtual
// memory manager and back again on free, so each such allocation pays for
// mapping and faulting in fresh pages: a 430 KB file image costs about a
// hundred times its copy. The program allocates the same few large buffers
// over and over (file images, profile values, their encoded forms), so a
// freed large block is kept and handed out again to the next request of its
// size class. Small blocks go to the heap untouched.
//
// Every executable that links the Win32 base gets this operator new: the
// linker takes it from this library before the C++ runtime's.
#include "win/large_blocks.h"

#include <malloc.h>
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace vantrel::win {
namespace {

constexpr std::size_t kGranule = 64 * 1024;
constexpr int kSlots = 12;
constexpr std::size_t kCacheLimit = 4 * 1024 * 1024;

struct BlockCache {
  SRWLOCK lock;
  void* block[kSlots];
  std::size_t size[kSlots];
  std::size_t total;
};
constinit BlockCache g_cache{SRWLOCK_INIT, {}, {}, 0};

std::size_t SizeClass(std::size_t n) {
  if (n > static_cast<std::size_t>(-1) - kGranule) return 0;  // cannot be met
  return (n + kGranule - 1) / kGranule * kGranule;
}

void* TakeCached(std::size_t rounded) {
  void* found = nullptr;
  AcquireSRWLockExclusive(&g_cache.lock);
  for (int i = 0; i < kSlots; ++i) {
    if (g_cache.block[i] && g_cache.size[i] == rounded) {
      found = g_cache.block[i];
      g_cache.block[i] = nullptr;
      g_cache.total -= rounded;
      break;
    }
  }
  ReleaseSRWLockExclusive(&g_cache.lock);
  return found;
}

// True when the cache took the block.
bool KeepCached(void* p, std::size_t size) {
  bool kept = false;
  AcquireSRWLockExclusive(&g_cache.lock);
  if (g_cache.total + size <= kCacheLimit) {
    for (int i = 0; i < kSlots; ++i) {
      if (!g_cache.block[i]) {
        g_cache.block[i] = p;
        g_cache.size[i] = size;
        g_cache.total += size;
        kept = true;
        break;
      }
    }
  }
  ReleaseSRWLockExclusive(&g_cache.lock);
  return kept;
}

void* Allocate(std::size_t n) {
  if (n == 0) n = 1;
  std::size_t want = n;
  if (n >= kLargeBlockSize) {
    want = SizeClass(n);
    if (want == 0) return nullptr;
    if (void* p = TakeCached(want)) return p;
  }
  return std::malloc(want);
}

}  // namespace

std::size_t CachedLargeBytes() {
  AcquireSRWLockExclusive(&g_cache.lock);
  std::size_t total = g_cache.total;
  ReleaseSRWLockExclusive(&g_cache.lock);
  return total;
}

void ReleaseLargeBlocks() {
  AcquireSRWLockExclusive(&g_cache.lock);
  for (int i = 0; i < kSlots; ++i) {
    std::free(g_cache.block[i]);
    g_cache.block[i] = nullptr;
  }
  g_cache.total = 0;
  ReleaseSRWLockExclusive(&g_cache.lock);
}

}  // namespace vantrel::win

void* operator new(std::size_t n) {
  for (;;) {
    if (void* p = vantrel::win::Allocate(n)) return p;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

void* operator new[](std::size_t n) { return operator new(n); }

void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return operator new(n);
  } catch (...) {
    return nullptr;
  }
}

void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  return operator new(n, std::nothrow);
}

void operator delete(void* p) noexcept {
  if (!p) return;
  // Large blocks were allocated at their size class, so their heap size is
  // the class and a block handed out again fits any request of it.
  const std::size_t size = _msize(p);
  if (size >= vantrel::win::kLargeBlockSize && size % vantrel::win::kGranule == 0 &&
      vantrel::win::KeepCached(p, size))
    return;
  std::free(p);
}

void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { operator delete(p); }
