#include <png.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "formats/Png.h"
#include "images/Image.h"

namespace quarn::images {

namespace {

TDecodeResult Refuse(std::string* reason, const std::string& text)
{
  if (reason) *reason = text;
  return TDecodeResult::Refused;
}

// libpng's simplified reader reports errors by its return value, so no error jumps across
// our frames; png_image_free releases what it holds on every path.
class TPngImage {
public:
  TPngImage()
  {
    FImage.version = PNG_IMAGE_VERSION;
    FImage.opaque = nullptr;
  }
  ~TPngImage() { png_image_free(&FImage); }
  TPngImage(const TPngImage&) = delete;
  TPngImage& operator=(const TPngImage&) = delete;

  png_image& operator*() { return FImage; }
  std::string Message() const { return std::string("PNG: ") + FImage.message; }

private:
  png_image FImage{};
};

uint32_t U32BigAt(TBytes data, size_t at)
{
  return uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 |
         uint32_t(data[at + 3]);
}

// Whether the file holds enough compressed image data for the image its header declares:
// at the deflate format's best ratio, the IDAT bytes present must unpack to at least the
// image's bits. Checked before the decoded image is allocated, since libpng allocates nothing
// for data that is missing but the caller must size the whole image first.
bool ImageDataIsThere(TBytes data)
{
  namespace png = formats::png;
  uint64_t width = 0, height = 0, bitsPerPixel = 0, compressed = 0;
  size_t at = png::SignatureSize;
  while (data.size() - at >= png::ChunkHeaderSize) {
    const uint32_t length = U32BigAt(data, at);
    const uint32_t type = U32BigAt(data, at + 4);
    const size_t start = at + png::ChunkHeaderSize;
    if (length > png::MaxChunkLength) break;
    const size_t present = std::min<size_t>(length, data.size() - start);
    if (type == 0x49484452 && present >= png::IhdrSize) {  // IHDR
      width = U32BigAt(data, start + png::IhdrWidth);
      height = U32BigAt(data, start + png::IhdrHeight);
      const uint8_t colourType = data[start + png::IhdrColourType];
      const uint8_t samples = colourType < std::size(png::SamplesPerPixel)
                                  ? png::SamplesPerPixel[colourType]
                                  : uint8_t(0);
      bitsPerPixel = uint64_t(samples) * data[start + png::IhdrBitDepth];
    } else if (type == 0x49444154) {  // IDAT
      compressed += present;
    } else if (type == 0x49454E44) {  // IEND
      break;
    }
    if (present < length || data.size() - start - present < png::ChunkCrcSize) break;
    at = start + present + png::ChunkCrcSize;
  }
  // Image sizes are capped at MaxImagePixels before this is used: no overflow.
  const uint64_t imageBytes = width * height * bitsPerPixel / 8;
  return (compressed + 1) * png::MaxDeflateRatio >= imageBytes;
}

}  // namespace

TDecodeResult DecodePNG(TBytes data, TImage& image, std::string* reason)
{
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0)
    return Refuse(reason, "not a PNG file");
  TPngImage png;
  if (!png_image_begin_read_from_memory(&*png, data.data(), data.size()))
    return Refuse(reason, png.Message());
  const uint64_t pixels = uint64_t((*png).width) * (*png).height;
  if (pixels == 0 || pixels > MaxImagePixels) return Refuse(reason, "PNG image is too large");
  if (!ImageDataIsThere(data)) return Refuse(reason, "PNG image data is cut short");

  // Palette, grey and 16-bit files all come out as 8-bit RGB or RGBA; a 16-bit file without
  // gamma information is reduced by scaling, not as linear light.
  const bool alpha = ((*png).format & PNG_FORMAT_FLAG_ALPHA) != 0;
  (*png).format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  (*png).flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
  TTextureImage out(PNG_IMAGE_SIZE(*png));
  // A positive row stride stores the file's first (top) row first.
  if (!png_image_finish_read(&*png, nullptr, out.data(), 0, nullptr))
    return Refuse(reason, png.Message());

  image.Width = static_cast<int32_t>((*png).width);
  image.Height = static_cast<int32_t>((*png).height);
  image.BitsPerPixel = 0;
  image.Layout = alpha ? TPixelLayout::RGBA : TPixelLayout::RGB;
  image.KeepAlpha = alpha;
  image.Pixels = std::move(out);
  return TDecodeResult::Ok;
}

}  // namespace quarn::images
