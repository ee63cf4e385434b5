// Picture headers: every lie a skin file can tell about its size or its
// layout must be refused before a decoder or a straight read trusts it.
#include "model/picture_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vantrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Le(Bytes& b, std::size_t at, std::uint32_t v, int n = 4) {
  for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Append(Bytes& b, std::initializer_list<int> v) { b.insert(b.end(), v.begin(), v.end()); }
void AppendBe16(Bytes& b, int v) { Append(b, {v >> 8 & 0xFF, v & 0xFF}); }
void AppendLe16(Bytes& b, int v) { Append(b, {v & 0xFF, v >> 8 & 0xFF}); }

// A bitmap file: headers, palette for up to 8 bits, `gap` bytes, then
// stride * |h| pixel bytes (two for run-length data).
Bytes Bmp(std::int32_t w, std::int32_t h, int bits, std::uint32_t compression = 0, int gap = 0) {
  const std::size_t palette = bits <= 8 ? 4u << bits : 0;
  const std::size_t offset = 54 + palette + gap;
  const std::int64_t rows = h < 0 ? -std::int64_t{h} : h;
  const std::size_t pixels =
      compression == 1 || compression == 2 ? 2 : (std::int64_t{w} * bits + 31) / 32 * 4 * rows;
  Bytes b(offset + pixels, 0);
  b[0] = 'B', b[1] = 'M';
  Le(b, 2, static_cast<std::uint32_t>(b.size()));
  Le(b, 10, static_cast<std::uint32_t>(offset));
  Le(b, 14, 40);
  Le(b, 18, static_cast<std::uint32_t>(w));
  Le(b, 22, static_cast<std::uint32_t>(h));
  Le(b, 26, 1, 2);
  Le(b, 28, static_cast<std::uint32_t>(bits), 2);
  Le(b, 30, compression);
  return b;
}
Bytes With(Bytes b, std::size_t at, std::uint32_t v, int n = 4) {
  Le(b, at, v, n);
  return b;
}
Bytes Cut(Bytes b, std::size_t drop) {
  b.resize(b.size() - drop);
  return b;
}

struct Frame {
  int left, top, w, h;
};
// A GIF of one logical screen and its frames (no colour tables but one
// local one on the first frame, a comment extension between frames).
Bytes Gif(int w, int h, std::vector<Frame> frames, bool trailer = true) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  AppendLe16(b, w);
  AppendLe16(b, h);
  Append(b, {0, 0, 0});
  for (std::size_t i = 0; i < frames.size(); ++i) {
    Append(b, {0x21, 0xFE, 3, 'h', 'i', '!', 0});
    b.push_back(0x2C);
    for (int v : {frames[i].left, frames[i].top, frames[i].w, frames[i].h}) AppendLe16(b, v);
    b.push_back(i == 0 ? 0x80 : 0);
    if (i == 0) b.insert(b.end(), 6, 0x7F);
    Append(b, {2, 2, 0x44, 0x01, 0});
  }
  if (trailer) b.push_back(0x3B);
  return b;
}

// JPEG markers and segments, written in order.
Bytes Segment(int marker, Bytes payload) {
  Bytes b = {0xFF, static_cast<std::uint8_t>(marker)};
  AppendBe16(b, static_cast<int>(payload.size()) + 2);
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}
Bytes Sof(int marker, int w, int h) {
  Bytes p = {8};
  AppendBe16(p, h);
  AppendBe16(p, w);
  Append(p, {1, 1, 0x11, 0});
  return Segment(marker, p);
}
Bytes App(std::size_t n, std::uint8_t fill = 0) { return Segment(0xE0, Bytes(n, fill)); }
// A scan header and entropy data with a stuffed zero and a restart marker.
Bytes Scan() {
  Bytes b = Segment(0xDA, {1, 1, 0, 0, 63, 0});
  Append(b, {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, 0xFF, 0xFF});
  return b;
}
Bytes Jpeg(std::vector<Bytes> parts, bool end = true) {
  Bytes b = {0xFF, 0xD8};
  for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
  if (end) Append(b, {0xFF, 0xD9});
  return b;
}

TEST(ProbePicture, Table) {
  using K = PictureKind;
  // An APP segment that holds the bytes of a frame header declaring
  // 20000 x 20000, as an embedded thumbnail would: skipped by its length.
  Bytes inner = Sof(0xC0, 20000, 20000);
  inner.resize(40, 0);
  const Bytes jpeg_ok = Jpeg({App(16), Sof(0xC0, 64, 48), Scan()});
  struct Case {
    const char* what;
    Bytes file;
    K kind;
    std::int32_t w = 0, h = 0;
  } cases[] = {
      {"24-bit bottom-up", Bmp(13, 7, 24), K::BitmapRows, 13, 7},
      {"32-bit top-down", Bmp(9, -6, 32, 0, 4), K::BitmapRows, 9, 6},
      {"4096 wide", Bmp(4096, 1, 24), K::BitmapRows, 4096, 1},
      {"RLE8", Bmp(5, 5, 8, 1), K::BitmapLoader, 5, 5},
      {"1-bit palette", Bmp(17, 3, 1), K::BitmapLoader, 17, 3},
      {"16-bit", Bmp(3, 3, 16), K::BitmapLoader, 3, 3},
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
      {"GIF", Gif(16, 8, {{0, 0, 16, 8}, {2, 2, 4, 4}}), K::Gif, 16, 8},
      {"GIF without trailer", Gif(16, 8, {{0, 0, 16, 8}}, false), K::Gif, 16, 8},
      {"GIF 20000 x 20000", Gif(20000, 20000, {{0, 0, 1, 1}}), K::Refused},
      {"GIF frame of 20000 x 20000", Gif(16, 8, {{0, 0, 16, 8}, {0, 0, 20000, 20000}}), K::Refused},
      {"GIF frame beyond the bound", Gif(16, 8, {{4000, 0, 100, 1}}), K::Refused},
      {"GIF without frames", Gif(16, 8, {}), K::Refused},
      {"GIF cut in a frame", Cut(Gif(16, 8, {{0, 0, 16, 8}}), 3), K::Refused},
      {"JPEG", jpeg_ok, K::Jpeg, 64, 48},
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
      {"JPEG length below 2", Jpeg({{0xFF, 0xE0, 0, 1}, Sof(0xC0, 8, 8)}), K::Refused},
      {"JPEG height 0 (set later)", Jpeg({Sof(0xC0, 8, 0)}), K::Refused},
      {"JPEG without a frame", Jpeg({App(4), Scan()}), K::Refused},
      {"JPEG junk between segments", Jpeg({Sof(0xC0, 8, 8), {0x00}, App(2)}), K::Refused},
      {"PNG", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'}, K::Refused},
      {"empty", {}, K::Refused},
  };
  for (const Case& c : cases) {
    const PictureInfo info = ProbePicture(c.file, c.file.size());
    EXPECT_EQ(info.kind, c.kind) << c.what;
    EXPECT_EQ(info.width, c.w) << c.what;
    EXPECT_EQ(info.height, c.h) << c.what;
  }
}

// The fields a straight read into a DIB section takes, and the same answer
// from the bitmap's first bytes alone.
TEST(ProbePicture, RowsFromTheHeadAlone) {
  const Bytes bottom_up = Bmp(13, 7, 24), top_down = Bmp(9, -6, 32, 0, 4);
  struct Case {
    const Bytes& file;
    bool top_down;
    std::uint16_t bits;
    std::uint32_t offset, stride, bytes;
  } cases[] = {{bottom_up, false, 24, 54, 40, 280}, {top_down, true, 32, 58, 36, 216}};
  for (const Case& c : cases) {
    for (std::size_t head : {c.file.size(), kBitmapProbeBytes}) {
      const PictureInfo info = ProbePicture({c.file.data(), head}, c.file.size());
      EXPECT_EQ(info.kind, PictureKind::BitmapRows);
      EXPECT_EQ(info.top_down, c.top_down);
      EXPECT_EQ(info.bits, c.bits);
      EXPECT_EQ(info.pixel_offset, c.offset);
      EXPECT_EQ(info.stride, c.stride);
      EXPECT_EQ(info.pixel_bytes, c.bytes);
    }
  }
  // A GIF or JPEG head asks for the whole file, unless it already lies.
  const Bytes gif = Gif(16, 8, {{0, 0, 16, 8}}), jpeg = Jpeg({App(30), Sof(0xC0, 8, 8)});
  const Bytes huge = Gif(20000, 8, {{0, 0, 1, 1}});
  for (const Bytes* file : {&gif, &jpeg, &bottom_up}) {
    EXPECT_EQ(ProbePicture({file->data(), 4}, file->size()).kind, PictureKind::WholeFileNeeded);
  }
  for (const Bytes* file : {&gif, &jpeg}) {
    EXPECT_EQ(ProbePicture({file->data(), 20}, file->size()).kind, PictureKind::WholeFileNeeded);
  }
  EXPECT_EQ(ProbePicture({huge.data(), 20}, huge.size()).kind, PictureKind::Refused);
  EXPECT_EQ(ProbePicture(bottom_up, kMaxPictureFileBytes + 1).kind, PictureKind::Refused);
  EXPECT_EQ(ProbePicture(bottom_up, bottom_up.size() - 1).kind, PictureKind::Refused);
}

}  // namespace
}  // namespace vantrel
