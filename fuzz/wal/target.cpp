// Any bytes as a WAL file (with a whole palette), and as a palette file (for a small valid
// WAL): a result or the file error, never a read outside the data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/ByteWriter.h"
#include "formats/Wal.h"
#include "images/Image.h"

namespace {

using namespace quarn::images;

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
    std::vector<uint8_t> wal;
    quarn::formats::TByteWriter w(wal);
    w.U32At(quarn::formats::wal::Width, 2);  // 2 x 2
    w.U32At(quarn::formats::wal::Height, 2);
    w.PadTo(quarn::formats::wal::HeaderSize);
    w.U8(255);
    w.Zeros(3);
    return wal;
  }();
  Decode(TBytes(data, size), palette);
  Decode(smallWal, TBytes(data, size));
  return 0;
}
