#include <algorithm>

#include "formats/ByteReader.h"
#include "formats/Bmp.h"
#include "images/Image.h"
#include "images/LoadStop.h"

namespace quarn::images {

using formats::TByteReader;
namespace bmp = formats::bmp;

namespace {

struct TBmpInfo {
  int64_t Width = 0;
  int64_t Height = 0;  // absolute value
  bool TopDown = false;
  uint32_t Bits = 0;
  uint64_t ColorOffset = 0;  // start of the colour table
  uint64_t Colors = 0;       // entries in the colour table
  uint64_t Stride = 0;       // bytes per stored row, padded to 4
};

// Only the standard channel order is taken for 32-bit files with bit-field masks.
bool StandardMasks(TByteReader& in, uint64_t info)
{
  return in.U32At(info + bmp::Masks) == 0x00FF0000 &&
         in.U32At(info + bmp::Masks + 4) == 0x0000FF00 &&
         in.U32At(info + bmp::Masks + 8) == 0x000000FF;
}

TDecodeResult ReadInfo(TByteReader& in, TBmpInfo& bmpInfo, std::string* reason)
{
  constexpr uint64_t info = bmp::FileHeaderSize;
  const uint32_t infoSize = in.U32At(info + bmp::InfoSize);
  const int32_t width = in.I32At(info + bmp::Width);
  const int32_t height = in.I32At(info + bmp::Height);
  const uint16_t bits = in.U16At(info + bmp::BitCount);
  const uint32_t compression = in.U32At(info + bmp::Compression);
  const uint32_t colorsUsed = in.U32At(info + bmp::ColorsUsed);
  if (in.Failed() || !in.Has(info, bmp::InfoHeaderSize))
    return Refusal(reason, "BMP header is cut short", TDecodeResult::DataShort);
  if (infoSize < bmp::InfoHeaderSize)
    return Refusal(reason, "unsupported BMP header size " + std::to_string(infoSize));

  if (bits != 8 && bits != 24 && bits != 32)
    return Refusal(reason, "unsupported BMP depth of " + std::to_string(bits) + " bits");
  const bool bitFields = compression == bmp::BI_BITFIELDS && bits == 32;
  if (compression != bmp::BI_RGB && !bitFields)
    return Refusal(reason, "unsupported BMP compression " + std::to_string(compression));
  if (bitFields && !StandardMasks(in, info)) return Refusal(reason, "unsupported BMP colour masks");
  if (width <= 0 || height == 0 || height == INT32_MIN)
    return Refusal(reason, "BMP image size " + std::to_string(width) + "x" +
                               std::to_string(height) + " is not valid");

  bmpInfo.Width = width;
  bmpInfo.Height = height < 0 ? -int64_t(height) : height;
  bmpInfo.TopDown = height < 0;
  bmpInfo.Bits = bits;
  if (uint64_t(bmpInfo.Width) * uint64_t(bmpInfo.Height) > MaxImagePixels)
    return Refusal(reason, "BMP image is too large");
  bmpInfo.Stride = (uint64_t(bmpInfo.Width) * bits + 31) / 32 * 4;

  // Version 3 headers with bit fields are followed by the three masks.
  const uint64_t masksAfter = bitFields && infoSize == bmp::InfoHeaderSize ? 12 : 0;
  bmpInfo.ColorOffset = info + infoSize + masksAfter;
  bmpInfo.Colors = colorsUsed != 0 ? colorsUsed : (bits == 8 ? 256 : 0);
  return TDecodeResult::Ok;
}

}  // namespace

TDecodeResult DecodeBMP(TBytes data, TImage& image, std::string* reason)
{
  TByteReader in(data);
  TBmpInfo info;
  if (const TDecodeResult r = ReadInfo(in, info, reason); r != TDecodeResult::Ok) return r;

  const TBytes colors = in.BytesAt(info.ColorOffset, info.Colors * bmp::ColorEntrySize);
  if (in.Failed())
    return Refusal(reason, "BMP colour table is cut short", TDecodeResult::PaletteShort);

  // The pixel rows start at the file header's data offset when it points past the colour
  // table; writers that leave it 0 put the rows right after the table.
  const uint64_t tableEnd = info.ColorOffset + colors.size();
  const uint32_t dataOffset = in.U32At(bmp::DataOffset);
  const uint64_t rowsAt = dataOffset >= tableEnd ? dataOffset : tableEnd;
  const TBytes rows = in.BytesAt(rowsAt, info.Stride * uint64_t(info.Height));
  if (in.Failed()) return Refusal(reason, "BMP pixel data is cut short", TDecodeResult::DataShort);

  const size_t width = static_cast<size_t>(info.Width);
  const size_t height = static_cast<size_t>(info.Height);
  TTextureImage out(width * height * 3);
  TStopCheck stop;
  for (size_t y = 0; y < height; ++y) {
    if (stop.Stopped(width)) return Refusal(reason, StoppedReason);
    // Image rows go top row first, as top-down files (negative height) store them.
    const size_t fileRow = info.TopDown ? y : height - 1 - y;
    const uint8_t* src = rows.data() + fileRow * info.Stride;
    uint8_t* dst = out.data() + y * width * 3;
    for (size_t x = 0; x < width; ++x, dst += 3) {
      const uint8_t* bgr = nullptr;
      if (info.Bits == 8) {
        static constexpr uint8_t Black[3] = {0, 0, 0};
        const size_t index = src[x];
        bgr = index < info.Colors ? &colors[index * bmp::ColorEntrySize] : Black;
      } else {
        bgr = src + x * (info.Bits / 8);
      }
      dst[0] = bgr[2];
      dst[1] = bgr[1];
      dst[2] = bgr[0];
    }
  }

  return TakeOpaqueRGB(image, width, height, std::move(out));
}

}  // namespace quarn::images
