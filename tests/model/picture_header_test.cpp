// Picture headers: every lie a skin file can tell about its size or its
// layout must be refused before a decoder or a straight read trusts it.
#include "model/picture_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <utility>
#include <vector>

namespace vantrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::initializer_list<int> v) { return Bytes(v.begin(), v.end()); }
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes Le16(int v) { return Of({v & 0xFF, v >> 8 & 0xFF}); }
Bytes Be16(int v) { return Of({v >> 8 & 0xFF, v & 0xFF}); }
Bytes With(Bytes b, std::size_t at, std::uint32_t v, int n = 4) {
  for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  return b;
}
Bytes Cut(Bytes b, std::size_t drop) {
  b.resize(b.size() - drop);
  return b;
}

// A bitmap file: headers, palette for up to 8 bits, `gap` bytes, then
// stride * |h| pixel bytes (two for run-length data).
Bytes Bmp(std::int32_t w, std::int32_t h, int bits, std::uint32_t compression = 0, int gap = 0) {
  const std::size_t offset = 54 + (bits <= 8 ? 4u << bits : 0) + gap;
  const std::size_t pixels =
      compression == 1 || compression == 2
          ? 2
          : (std::int64_t{w} * bits + 31) / 32 * 4 * std::abs(std::int64_t{h});
  Bytes b(offset + pixels, 0);
  b[0] = 'B', b[1] = 'M';
  const std::pair<std::size_t, std::uint32_t> fields[] = {
      {10, offset}, {14, 40}, {18, w}, {22, h}, {26, 1u | bits << 16}, {30, compression}};
  for (auto [at, v] : fields) b = With(b, at, v);
  return b;
}

// A GIF of a logical screen and its frames, each behind a comment; the
// first frame has a local colour table.
struct Frame {
  int left, top, w, h;
};
Bytes Gif(int w, int h, std::vector<Frame> frames, bool trailer = true) {
  Bytes b = Of({'G', 'I', 'F', '8', '9', 'a'}) + Le16(w) + Le16(h) + Of({0, 0, 0});
  for (const Frame& f : frames) {
    const bool table = &f == &frames[0];
    b = b + Of({0x21, 0xFE, 3, 'h', 'i', '!', 0, 0x2C}) + Le16(f.left) + Le16(f.top) + Le16(f.w) +
        Le16(f.h) + Of({table ? 0x80 : 0}) + Bytes(table ? 6 : 0, 0x7F) + Of({2, 2, 0x44, 1, 0});
  }
  return trailer ? b + Of({0x3B}) : b;
}

// JPEG segments, and a file of them between SOI and EOI.
Bytes Segment(int marker, const Bytes& payload) {
  return Of({0xFF, marker}) + Be16(static_cast<int>(payload.size()) + 2) + payload;
}
Bytes Sof(int marker, int w, int h) {
  return Segment(marker, Of({8}) + Be16(h) + Be16(w) + Of({1, 1, 0x11, 0}));
}
Bytes App(std::size_t n) { return Segment(0xE0, Bytes(n, 0)); }
// A scan header and entropy data with a stuffed zero and a restart marker.
Bytes Scan() {
  return Segment(0xDA, Of({1, 1, 0, 0, 63, 0})) + Of({0x12, 0xFF, 0, 0x34, 0xFF, 0xD0, 0xFF, 0xFF});
}
Bytes Jpeg(std::vector<Bytes> parts, bool end = true) {
  Bytes b = Of({0xFF, 0xD8});
  for (const Bytes& p : parts) b = b + p;
  return end ? b + Of({0xFF, 0xD9}) : b;
}

TEST(ProbePicture, Table) {
  using K = PictureKind;
  // An APP segment that holds the bytes of a frame header declaring
  // 20000 x 20000, as an embedded thumbnail would: skipped by its length.
  Bytes inner = Sof(0xC0, 20000, 20000);
  inner.resize(40, 0);
  const Bytes gif = Gif(16, 8, {{0, 0, 16, 8}, {2, 2, 4, 4}});
  const Bytes jpeg = Jpeg({App(16), Sof(0xC0, 64, 48), Scan()});
  struct Case {
    const char* what;
    Bytes file;
    K kind;
    std::int32_t w = 0, h = 0;
    std::size_t head = SIZE_MAX;  // bytes given, of the whole file
  } cases[] = {
      {"24-bit bottom-up", Bmp(13, 7, 24), K::BitmapRows, 13, 7},
      {"32-bit top-down", Bmp(9, -6, 32, 0, 4), K::BitmapRows, 9, 6},
      {"bitmap from its first bytes", Bmp(9, -6, 32, 0, 4), K::BitmapRows, 9, 6, 54},
      {"4096 wide", Bmp(4096, 1, 24), K::BitmapRows, 4096, 1},
      {"RLE8", Bmp(5, 5, 8, 1), K::BitmapLoader, 5, 5},
      {"1-bit palette", Bmp(17, 3, 1), K::BitmapLoader, 17, 3},
      {"32-bit bitfields", Bmp(3, 3, 32, 3), K::BitmapLoader, 3, 3},
      {"truncated header", Cut(Bmp(4, 4, 24), 48 + 20), K::Refused},
      {"pixels past the end", Cut(Bmp(13, 7, 24), 1), K::Refused},
      {"pixel offset past the end", With(Bmp(4, 4, 24), 10, 0x7FFFFFF0), K::Refused},
      {"pixel offset inside the headers", With(Bmp(4, 4, 24), 10, 53), K::Refused},
      {"width 4097", Bmp(4097, 1, 24), K::Refused},
      {"height -4097", Bmp(1, -4097, 24), K::Refused},
      {"width -1", With(Bmp(4, 4, 24), 18, 0xFFFFFFFF), K::Refused},
      {"height 0", With(Bmp(4, 4, 24), 22, 0), K::Refused},
      {"height INT32_MIN", With(Bmp(4, 4, 24), 22, 0x80000000), K::Refused},
      {"core header", With(Bmp(4, 4, 24), 14, 12), K::Refused},
      {"two planes", With(Bmp(4, 4, 24), 26, 2, 2), K::Refused},
      {"2 bits", With(Bmp(4, 4, 24), 28, 2, 2), K::Refused},
      {"RLE4 on 8 bits", Bmp(4, 4, 8, 2), K::Refused},
      {"embedded JPEG", Bmp(4, 4, 24, 4), K::Refused},
      {"GIF", gif, K::Gif, 16, 8},
      {"GIF head", gif, K::WholeFileNeeded, 0, 0, 20},
      {"GIF without trailer", Gif(16, 8, {{0, 0, 16, 8}}, false), K::Gif, 16, 8},
      {"GIF 20000 x 20000", Gif(20000, 20000, {{0, 0, 1, 1}}), K::Refused},
      {"GIF head declaring 20000 x 20000", Gif(20000, 20000, {{0, 0, 1, 1}}), K::Refused, 0, 0, 20},
      {"GIF frame of 20000 x 20000", Gif(16, 8, {{0, 0, 16, 8}, {0, 0, 20000, 20000}}), K::Refused},
      {"GIF frame beyond the bound", Gif(16, 8, {{4000, 0, 100, 1}}), K::Refused},
      {"GIF without frames", Gif(16, 8, {}), K::Refused},
      {"GIF cut in a frame", Cut(Gif(16, 8, {{0, 0, 16, 8}}), 3), K::Refused},
      {"JPEG", jpeg, K::Jpeg, 64, 48},
      {"JPEG head", jpeg, K::WholeFileNeeded, 0, 0, 20},
      {"JPEG progressive, cut in its scan", Jpeg({Sof(0xC2, 5, 6), Scan()}, false), K::Jpeg, 5, 6},
      {"JPEG frame after an APP segment declaring 20000 x 20000",
       Jpeg({App(3000), Sof(0xC0, 20000, 20000), Scan()}), K::Refused},
      {"JPEG thumbnail bytes inside an APP segment", Jpeg({Segment(0xE1, inner), Sof(0xC0, 8, 8)}),
       K::Jpeg, 8, 8},
      {"JPEG size from the first frame", Jpeg({Sof(0xC0, 8, 9), Scan(), Sof(0xC1, 16, 4)}), K::Jpeg,
       8, 9},
      {"JPEG second frame behind a scan", Jpeg({Sof(0xC0, 8, 8), Scan(), Sof(0xC1, 5000, 8)}),
       K::Refused},
      {"JPEG segment running past the end", Cut(Jpeg({App(100), Sof(0xC0, 8, 8)}, false), 1),
       K::Refused},
      {"JPEG length below 2", Jpeg({Of({0xFF, 0xE0, 0, 1}), Sof(0xC0, 8, 8)}), K::Refused},
      {"JPEG height 0 (set later)", Jpeg({Sof(0xC0, 8, 0)}), K::Refused},
      {"JPEG without a frame", Jpeg({App(4), Scan()}), K::Refused},
      {"JPEG junk between segments", Jpeg({Sof(0xC0, 8, 8), Of({0}), App(2)}), K::Refused},
      {"PNG", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'}, K::Refused},
      {"too few bytes to tell", gif, K::WholeFileNeeded, 0, 0, 3},
  };
  for (const Case& c : cases) {
    const std::span<const std::uint8_t> head(c.file.data(), std::min(c.head, c.file.size()));
    const PictureInfo info = ProbePicture(head, c.file.size());
    EXPECT_EQ(info.kind, c.kind) << c.what;
    EXPECT_EQ(info.width, c.w) << c.what;
    EXPECT_EQ(info.height, c.h) << c.what;
  }
}

// What a straight read into a DIB section takes; sizes no loader may see.
TEST(ProbePicture, RowsAndFileSizes) {
  using Fields = std::tuple<bool, std::uint16_t, std::uint32_t, std::uint32_t, std::uint32_t>;
  auto fields = [](const Bytes& b) {
    const PictureInfo i = ProbePicture(b, b.size());
    return Fields{i.top_down, i.bits, i.pixel_offset, i.stride, i.pixel_bytes};
  };
  EXPECT_EQ(fields(Bmp(13, 7, 24)), Fields(false, 24, 54, 40, 280));
  EXPECT_EQ(fields(Bmp(9, -6, 32, 0, 4)), Fields(true, 32, 58, 36, 216));
  const Bytes b = Bmp(4, 4, 24);
  EXPECT_EQ(ProbePicture(b, kMaxPictureFileBytes + 1).kind, PictureKind::Refused);
  EXPECT_EQ(ProbePicture(b, b.size() - 1).kind, PictureKind::Refused);  // head beyond the file
}

}  // namespace
}  // namespace vantrel
