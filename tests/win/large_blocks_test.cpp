// The cache of freed large blocks behind operator new: reuse by size class,
// its bound, and requests it cannot meet.
#include "win/large_blocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

using vantrel::win::CachedLargeBytes;
using vantrel::win::kLargeBlockSize;
using vantrel::win::ReleaseLargeBlocks;

TEST(LargeBlocks, FreedBlockServesTheNextRequestOfItsClass) {
  ReleaseLargeBlocks();
  void* a = ::operator new(300 * 1024);
  ::operator delete(a);
  EXPECT_EQ(CachedLargeBytes(), 320u * 1024);  // five 64 KB granules
  // Any size of the same class gets the block back; another class does not.
  void* b = ::operator new(260 * 1024);
  EXPECT_EQ(b, a);
  EXPECT_EQ(CachedLargeBytes(), 0u);
  void* c = ::operator new(500 * 1024);
  EXPECT_NE(c, a);
  ::operator delete(b);
  ::operator delete(c);
  ReleaseLargeBlocks();
  EXPECT_EQ(CachedLargeBytes(), 0u);
}

TEST(LargeBlocks, SmallBlocksAreNeverKept) {
  ReleaseLargeBlocks();
  auto small = std::make_unique<char[]>(kLargeBlockSize - 1);
  small.reset();
  EXPECT_EQ(CachedLargeBytes(), 0u);
}

TEST(LargeBlocks, TheCacheStaysBounded) {
  ReleaseLargeBlocks();
  std::vector<void*> blocks;
  for (int i = 0; i < 40; ++i) blocks.push_back(::operator new(1024 * 1024));
  for (void* p : blocks) ::operator delete(p);
  EXPECT_LE(CachedLargeBytes(), 4u * 1024 * 1024);
  ReleaseLargeBlocks();
}

TEST(LargeBlocks, ContentsSurviveGrowthThroughTheClasses) {
  // A string growing past several size classes moves its text each time.
  std::u16string s;
  for (int i = 0; i < 200000; ++i) s.push_back(static_cast<char16_t>(u'A' + i % 26));
  for (int i = 0; i < 200000; i += 9973) ASSERT_EQ(s[i], static_cast<char16_t>(u'A' + i % 26));
  std::vector<std::uint8_t> v(s.size() * 2);
  v.assign(v.size(), 0x5A);
  v.resize(v.size() * 3, 0xA5);
  EXPECT_EQ(v.front(), 0x5A);
  EXPECT_EQ(v.back(), 0xA5);
}

TEST(LargeBlocks, ImpossibleRequestsThrowAndNothrowGivesNull) {
  // Rounding a huge request up to its class must not wrap around to a
  // small block.
  volatile std::size_t huge = static_cast<std::size_t>(-1) - 100;
  volatile std::size_t too_big = std::size_t{1} << 60;
  EXPECT_THROW(static_cast<void>(::operator new(huge)), std::bad_alloc);
  EXPECT_EQ(::operator new(huge, std::nothrow), nullptr);
  EXPECT_THROW(static_cast<void>(::operator new(too_big)), std::bad_alloc);
}

}  // namespace
