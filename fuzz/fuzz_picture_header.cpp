// Skin pictures are files anyone can swap: any bytes must be probed without
// reading past them, a straight read must lie inside the file, every size
// must be within the bounds, and a bitmap's first bytes must tell as much
// as the whole file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "model/picture_header.h"

using namespace vantrel;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool Same(const PictureInfo& a, const PictureInfo& b) {
  return a.kind == b.kind && a.width == b.width && a.height == b.height &&
         a.top_down == b.top_down && a.bits == b.bits && a.pixel_offset == b.pixel_offset &&
         a.stride == b.stride && a.pixel_bytes == b.pixel_bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const PictureInfo info = ProbePicture(file, size);
  if (info.kind == PictureKind::Refused) {
    Check(info.width == 0 && info.height == 0);
  } else {
    Check(info.width >= 1 && info.width <= kMaxPictureSide);
    Check(info.height >= 1 && info.height <= kMaxPictureSide);
  }
  if (info.kind == PictureKind::BitmapRows) {
    Check(info.bits == 24 || info.bits == 32);
    Check(info.stride % 4 == 0 && info.stride >= std::uint64_t{info.bits} / 8 * info.width);
    Check(info.pixel_bytes == std::uint64_t{info.stride} * info.height);
    Check(std::uint64_t{info.pixel_offset} + info.pixel_bytes <= size);
    Check(info.pixel_offset >= kBitmapProbeBytes);
  }

  // A bitmap is told from its first bytes; a GIF or JPEG needs the whole
  // file unless its walk ends inside them.
  const std::size_t head = size < kBitmapProbeBytes ? size : kBitmapProbeBytes;
  const PictureInfo from_head = ProbePicture(file.first(head), size);
  const bool bitmap = size >= 2 && data[0] == 'B' && data[1] == 'M';
  if (bitmap || from_head.kind != PictureKind::Refused) Check(Same(from_head, info));
  return 0;
}
