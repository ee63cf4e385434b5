// What a skin picture file is and how big, read from its bytes before any
// decoder sees them: bitmap headers that lie, and GIF or JPEG files that
// declare sizes nobody can allocate, are refused here. The skin loader
// (src/skin/skin_image.cpp) asks with the file's first bytes, for a GIF or
// JPEG file again with the whole file, and loads by kind.
//
//   PictureInfo info = ProbePicture(first_54_bytes, file_size);
//   if (info.kind == PictureKind::WholeFileNeeded) info = ProbePicture(whole_file, file_size);
//   switch (info.kind) {
//     case PictureKind::BitmapRows:   read info.pixel_bytes at info.pixel_offset into a
//                                     DIB section of info.width x info.height, info.bits
//     case PictureKind::BitmapLoader: the platform's bitmap loader
//     case PictureKind::Gif, Jpeg:    the platform's picture loader
//     default:                        nothing is loaded
//   }
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vantrel {

// Skin pictures are whole-window pictures of a few hundred kilobytes.
inline constexpr std::uint64_t kMaxPictureFileBytes = 64ull << 20;
// Each side of a picture or of any frame it declares, in pixels.
inline constexpr std::int32_t kMaxPictureSide = 4096;
// A bitmap file's kind is known from its first bytes (file header and the
// info header's first 40 bytes); GIF and JPEG files need the whole file, since
// a later frame or marker may declare another size.
inline constexpr std::size_t kBitmapProbeBytes = 54;

enum class PictureKind {
  Refused,          // not BMP, GIF or JPEG; lying or truncated headers; too big
  WholeFileNeeded,  // the head tells nothing wrong but does not settle it: ask again
  BitmapRows,       // plain 24- or 32-bit rows, read straight into a DIB section
  BitmapLoader,     // a bitmap file for the platform's loader (RLE, palette, bitfields, 16 bits)
  Gif,              // for the platform's picture loader
  Jpeg,             // for the platform's picture loader
};

struct PictureInfo {
  PictureKind kind = PictureKind::Refused;
  // 1..kMaxPictureSide for the four picture kinds, else 0.
  std::int32_t width = 0;
  std::int32_t height = 0;  // rows
  // Bitmap files only.
  bool top_down = false;   // the file's first row is the picture's top
  std::uint16_t bits = 0;  // per pixel
  // BitmapRows only: the rows lie at [pixel_offset, pixel_offset + pixel_bytes)
  // of the file, each `stride` bytes (a multiple of 4).
  std::uint32_t pixel_offset = 0;
  std::uint32_t stride = 0;
  std::uint32_t pixel_bytes = 0;
};

// `head` is the start of the file, `file_size` the size of the whole file.
// kBitmapProbeBytes settle a bitmap file; a GIF or JPEG file whose walk
// runs past `head` gives WholeFileNeeded.
PictureInfo ProbePicture(std::span<const std::uint8_t> head, std::uint64_t file_size);

}  // namespace vantrel
