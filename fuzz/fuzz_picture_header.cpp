// Skin pictures are files anyone can swap: any bytes must be probed without
// reading past them, a straight read must lie inside the file, every size
// must be within the bounds, and the file's first bytes must tell as much
// as the whole file or ask for it.
#include <algorithm>
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
  Check(info.kind != PictureKind::WholeFileNeeded);
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

  // Any head either settles it as the whole file does, or asks for the
  // whole file; the first 54 bytes settle a bitmap.
  const std::size_t cut = size ? data[0] % (size + 1) : 0;
  for (std::size_t head : {cut, std::min(size, kBitmapProbeBytes)}) {
    const PictureInfo from_head = ProbePicture(file.first(head), size);
    if (from_head.kind == PictureKind::WholeFileNeeded) {
      Check(head < size && from_head.width == 0 && from_head.height == 0);
      Check(head < kBitmapProbeBytes || size < 2 || data[0] != 'B' || data[1] != 'M');
    } else {
      Check(Same(from_head, info));
    }
  }
  return 0;
}
