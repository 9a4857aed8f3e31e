// Any bytes as a WAL file (with a whole palette), and as a palette file (for a small valid
// WAL): a result or the file error, never a read outside the data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/Image.h"

namespace {

using namespace quarn::render;

void Decode(TBytes wal, TBytes palette)
{
  TImage image;
  try {
    if (DecodeWAL(wal, palette, image) == TDecodeResult::Ok &&
        image.Pixels.size() != size_t(image.Width) * size_t(image.Height) * 3)
      __builtin_trap();
  } catch (const EImageError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const std::vector<uint8_t> palette(768, 0x5A);
  static const std::vector<uint8_t> smallWal = [] {
    std::vector<uint8_t> wal(100 + 4, 0);
    wal[32] = 2;  // 2 x 2
    wal[36] = 2;
    wal[100] = 255;
    return wal;
  }();
  Decode(TBytes(data, size), palette);
  Decode(smallWal, TBytes(data, size));
  return 0;
}
