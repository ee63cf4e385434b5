// Header checks of the three picture formats the skin loader accepts. Each
// walk reads only inside the bytes it is given and advances on every step,
// so any input ends in time linear in its size.
#include "model/picture_header.h"

#include <algorithm>
#include <cstring>

namespace vantrel {
namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

bool SideFits(std::int64_t side) { return side >= 1 && side <= kMaxPictureSide; }

bool StartsWith(Bytes head, const char* magic, std::size_t n) {
  return head.size() >= n && std::memcmp(head.data(), magic, n) == 0;
}

// Where a walk runs off the bytes it was given: a head of the file may
// hold more, the whole file is cut short.
PictureInfo Cut(bool whole) {
  PictureInfo info;
  if (!whole) info.kind = PictureKind::WholeFileNeeded;
  return info;
}

PictureInfo Sized(PictureKind kind, std::int64_t width, std::int64_t height) {
  PictureInfo info;
  if (!SideFits(width) || !SideFits(height)) return info;
  info.kind = kind;
  info.width = static_cast<std::int32_t>(width);
  info.height = static_cast<std::int32_t>(height);
  return info;
}

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

// The checks the bitmap loader has always made, plus the side bound.
PictureInfo ProbeBitmap(Bytes h, std::uint64_t file_size) {
  if (h.size() < kBitmapProbeBytes) return Cut(h.size() == file_size);
  const std::uint32_t pixels_at = Le32(&h[10]);
  const std::uint32_t info_size = Le32(&h[14]);
  const auto width = static_cast<std::int32_t>(Le32(&h[18]));
  const auto height = static_cast<std::int32_t>(Le32(&h[22]));
  const std::uint16_t planes = Le16(&h[26]);
  const std::uint16_t bits = Le16(&h[28]);
  const std::uint32_t compression = Le32(&h[30]);
  if (info_size < 40 || info_size > 124 || planes != 1) return {};
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return {};
  // Negated in 64 bits: INT32_MIN gives 2^31 rows, refused with the others.
  const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
  if (!SideFits(width) || !SideFits(rows)) return {};
  if (pixels_at < 14 + info_size || pixels_at >= file_size) return {};
  const bool run_length =
      (compression == kRle8 && bits == 8) || (compression == kRle4 && bits == 4);
  // Both sides are at most 4096 here: no product below overflows.
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  const std::uint64_t pixel_bytes = stride * static_cast<std::uint64_t>(rows);
  if (!run_length) {
    if (compression != kRgb && compression != kBitfields) return {};
    if (pixels_at + pixel_bytes > file_size) return {};
  }
  const bool straight = !run_length && compression == kRgb && (bits == 24 || bits == 32);
  PictureInfo info =
      Sized(straight ? PictureKind::BitmapRows : PictureKind::BitmapLoader, width, rows);
  info.top_down = height < 0;
  info.bits = bits;
  if (straight) {
    info.pixel_offset = pixels_at;
    info.stride = static_cast<std::uint32_t>(stride);
    info.pixel_bytes = static_cast<std::uint32_t>(pixel_bytes);
  }
  return info;
}

// Skips data sub-blocks (a length byte, that many bytes; a 0 length ends
// them). False when they run past the end.
bool SkipSubBlocks(Bytes b, std::size_t& at) {
  for (;;) {
    if (at >= b.size()) return false;
    const std::size_t n = b[at++];
    if (n == 0) return true;
    if (n > b.size() - at) return false;
    at += n;
  }
}

std::size_t ColourTableBytes(std::uint8_t packed) {
  return packed & 0x80 ? std::size_t{3} << ((packed & 7) + 1) : 0;
}

// The logical screen and every image descriptor must fit; a frame placed
// off the screen counts by its far edge, since decoders size their canvas
// to hold it. The file may end where a block would start (no trailer), not
// inside one.
PictureInfo ProbeGif(Bytes b, bool whole) {
  if (b.size() < 13) return Cut(whole);
  PictureInfo info = Sized(PictureKind::Gif, Le16(&b[6]), Le16(&b[8]));
  if (info.kind == PictureKind::Refused) return info;
  std::size_t at = 13;
  const std::size_t table = ColourTableBytes(b[10]);
  if (table > b.size() - at) return Cut(whole);
  at += table;
  bool framed = false;
  for (;;) {
    if (at == b.size()) return !whole ? Cut(whole) : framed ? info : PictureInfo{};
    const std::uint8_t block = b[at++];
    if (block == 0x3B) return framed ? info : PictureInfo{};  // trailer
    if (block == 0x21) {                                      // extension: label, sub-blocks
      if (at >= b.size()) return Cut(whole);
      ++at;
      if (!SkipSubBlocks(b, at)) return Cut(whole);
    } else if (block == 0x2C) {  // image descriptor
      if (b.size() - at < 9) return Cut(whole);
      const std::int64_t right = std::int64_t{Le16(&b[at])} + Le16(&b[at + 4]);
      const std::int64_t bottom = std::int64_t{Le16(&b[at + 2])} + Le16(&b[at + 6]);
      if (Le16(&b[at + 4]) == 0 || Le16(&b[at + 6]) == 0 || !SideFits(right) || !SideFits(bottom))
        return {};
      const std::size_t local = ColourTableBytes(b[at + 8]);
      at += 9;
      if (local >= b.size() - at) return Cut(whole);  // the table and the code size byte
      at += local + 1;
      if (!SkipSubBlocks(b, at)) return Cut(whole);
      framed = true;
    } else {
      return {};
    }
  }
}

bool IsFrameMarker(std::uint8_t m) {
  // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC).
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Past a scan's header: the entropy-coded data runs to the next marker,
// skipping stuffed zeros, restart markers and fill bytes.
std::size_t SkipEntropyData(Bytes b, std::size_t at) {
  for (;;) {
    const auto* ff = static_cast<const std::uint8_t*>(
        at < b.size() ? std::memchr(&b[at], 0xFF, b.size() - at) : nullptr);
    if (!ff) return b.size();
    at = static_cast<std::size_t>(ff - b.data());
    if (at + 1 >= b.size()) return b.size();
    const std::uint8_t next = b[at + 1];
    if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
      at += 2;
    } else if (next == 0xFF) {
      at += 1;
    } else {
      return at;
    }
  }
}

// Segments are walked by their lengths from SOI to EOI (or to the end of
// the file between segments or inside a scan's data); every frame header
// must declare a size within the bounds, and the first gives the picture's.
PictureInfo ProbeJpeg(Bytes b, bool whole) {
  PictureInfo info;
  std::size_t at = 2;
  auto ended = [&] { return whole ? info : Cut(whole); };  // info: refused without a frame
  for (;;) {
    if (at == b.size()) return ended();
    if (b[at] != 0xFF) return {};  // bytes between segments
    while (at < b.size() && b[at] == 0xFF) ++at;
    if (at == b.size()) return ended();
    const std::uint8_t marker = b[at++];
    if (marker == 0xD9) return info.kind == PictureKind::Jpeg ? info : PictureInfo{};  // EOI
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;                // no length
    if (marker == 0x00 || marker == 0xD8) return {};
    // Hierarchical files scale their frames: their sizes are not the picture's.
    if (marker == 0xDE || marker == 0xDF) return {};
    if (b.size() - at < 2) return Cut(whole);
    const std::size_t length = Be16(&b[at]);
    if (length < 2) return {};
    if (length > b.size() - at) return Cut(whole);
    if (IsFrameMarker(marker)) {
      // Precision, height, width, components; height 0 (set later by DNL)
      // leaves the size unknown.
      if (length < 8) return {};
      const PictureInfo frame = Sized(PictureKind::Jpeg, Be16(&b[at + 5]), Be16(&b[at + 3]));
      if (frame.kind == PictureKind::Refused) return {};
      if (info.kind == PictureKind::Refused) info = frame;
    }
    at += length;
    if (marker == 0xDA) at = SkipEntropyData(b, at);
  }
}

}  // namespace

PictureInfo ProbePicture(std::span<const std::uint8_t> head, std::uint64_t file_size) {
  if (file_size > kMaxPictureFileBytes || head.size() > file_size) return {};
  const bool whole = head.size() == file_size;
  if (StartsWith(head, "BM", 2)) return ProbeBitmap(head, file_size);
  if (StartsWith(head, "GIF87a", 6) || StartsWith(head, "GIF89a", 6)) return ProbeGif(head, whole);
  if (StartsWith(head, "\xFF\xD8", 2)) return ProbeJpeg(head, whole);
  // Too few bytes to tell the format.
  return head.size() < 6 ? Cut(whole) : PictureInfo{};
}

}  // namespace vantrel
