#include "formats/ByteReader.h"
#include "formats/Wal.h"
#include "images/Image.h"
#include "images/LoadStop.h"

namespace quarn::images {

using formats::TByteReader;
namespace wal = formats::wal;

TDecodeResult DecodeWAL(TBytes walData, TBytes paletteData, TImage& image, std::string* reason)
{
  static const char* const ReadBeyondEnd = "Read beyond end of file";

  TByteReader wal(walData);
  const uint32_t width = wal.U32At(wal::Width);
  const uint32_t height = wal.U32At(wal::Height);
  if (wal.Failed() || !wal.Has(0, wal::HeaderSize)) throw EImageError(ReadBeyondEnd);

  // The full-size level follows the header directly; the mip offsets are not consulted.
  const uint64_t pixels = uint64_t(width) * height;
  if (!wal.Has(wal::HeaderSize, pixels)) throw EImageError(ReadBeyondEnd);
  if (pixels > MaxImagePixels || width > INT32_MAX || height > INT32_MAX)
    return Refusal(reason, "WAL image is too large");
  const TBytes indices = wal.BytesAt(wal::HeaderSize, pixels);

  TByteReader pal(paletteData);
  const TBytes palette = pal.BytesAt(0, wal::PaletteSize);
  if (pal.Failed()) throw EImageError(ReadBeyondEnd);

  TTextureImage out(pixels * 3);
  uint8_t* p = out.data();
  TStopCheck stop;
  for (const uint8_t index : indices) {
    if (stop.Stopped(1)) return Refusal(reason, StoppedReason);
    const uint8_t* entry = &palette[size_t(index) * 3];
    *p++ = entry[0];
    *p++ = entry[1];
    *p++ = entry[2];
  }

  return TakeOpaqueRGB(image, width, height, std::move(out));
}

}  // namespace quarn::images
