#include <algorithm>

#include "formats/ByteReader.h"
#include "formats/Tga.h"
#include "render/Image.h"

namespace quarn::render {

using formats::TByteReader;
namespace tga = formats::tga;

TDecodeResult DecodeTGA(TBytes data, TImage& image)
{
  TByteReader in(data);
  const TBytes start = in.BytesAt(0, sizeof tga::RequiredStart);
  if (start.empty() || !std::equal(start.begin(), start.end(), std::begin(tga::RequiredStart)))
    return TDecodeResult::Refused;

  const uint16_t width = in.U16At(tga::Width);
  const uint16_t height = in.U16At(tga::Height);
  const uint8_t bits = in.U8At(tga::Bits);
  const uint8_t descriptor = in.U8At(tga::Descriptor);
  if (in.Failed() || width == 0 || height == 0) return TDecodeResult::Refused;
  if (bits != 24 && bits != 32) return TDecodeResult::Refused;

  const uint64_t pixels = uint64_t(width) * height;
  const uint64_t bytesPerPixel = bits / 8;
  if (pixels > MaxImagePixels) return TDecodeResult::Refused;
  const TBytes source = in.BytesAt(tga::HeaderSize, pixels * bytesPerPixel);
  if (in.Failed()) return TDecodeResult::Refused;

  // File order B, G, R(, A) becomes R, G, B(, A); the image's top row comes first.
  const size_t rowBytes = size_t(width) * bytesPerPixel;
  const bool topFirst = (descriptor & tga::TopRowFirst) != 0;
  TTextureImage out(source.size());
  for (size_t row = 0; row < height; ++row) {
    const size_t fileRow = topFirst ? row : height - 1 - row;
    std::copy_n(source.begin() + fileRow * rowBytes, rowBytes, out.begin() + row * rowBytes);
  }
  for (size_t i = 0; i + 2 < out.size(); i += bytesPerPixel) std::swap(out[i], out[i + 2]);

  image.Width = width;
  image.Height = height;
  image.BitsPerPixel = bits;
  image.Layout = bits == 32 ? TPixelLayout::RGBA : TPixelLayout::RGB;
  image.KeepAlpha = bits == 32;
  image.Pixels = std::move(out);
  return TDecodeResult::Ok;
}

}  // namespace quarn::render
