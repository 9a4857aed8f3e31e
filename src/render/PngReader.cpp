#include <png.h>

#include <string>

#include "render/Image.h"

namespace quarn::render {

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

}  // namespace quarn::render
