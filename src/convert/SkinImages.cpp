#include "convert/SkinImages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "images/ImageFile.h"
#include "images/PngWriter.h"
#include "model/Skins.h"

namespace quarn::convert {

std::vector<std::string> FindSkins(const std::string& modelPath,
                                   const std::vector<std::string>& recordedNames)
{
  std::vector<std::string> found;
  auto offer = [&found](const std::string& path) {
    if (!path.empty() && std::find(found.begin(), found.end(), path) == found.end())
      found.push_back(path);
  };
  size_t looked = 0;
  for (const std::string& name : recordedNames) {
    if (name.empty()) continue;
    if (++looked > model::MaxSkinNames) break;
    offer(model::FindSkin(modelPath, {name}).Found);
  }
  if (found.empty()) offer(model::FindSkin(modelPath, recordedNames).Found);
  return found;
}

bool SkinAsPng(const std::string& fileName, std::vector<uint8_t>& png, std::string& reason)
{
  const images::TImageFormat* format = images::FindImageFormat(fileName);
  if (!format) {
    reason = "no reader for \"" + images::ExtractFileExt(fileName) + "\" images";
    return false;
  }
  images::TImage image;
  std::string why;
  try {
    if (images::ReadImageFile(fileName, *format, image, why) != images::TDecodeResult::Ok) {
      reason = why.empty() ? std::strerror(ENOENT) : why;
      return false;
    }
  } catch (const images::EImageError& error) {
    reason = error.what();
    return false;
  }
  return ImageAsPng(image, png, reason);
}

bool ImageAsPng(const images::TImage& image, std::vector<uint8_t>& png, std::string& reason)
{
  // The PNG writer takes rows from the bottom up; decoded images come top row first.
  images::TFramePixels pixels;
  pixels.Width = image.Width;
  pixels.Height = image.Height;
  pixels.Alpha = image.Layout == images::TPixelLayout::RGBA && image.KeepAlpha;
  const size_t from = size_t(image.BytesPerPixel()), to = pixels.PixelBytes();
  const size_t width = size_t(image.Width), height = size_t(image.Height);
  pixels.Rgb.resize(width * height * to);
  for (size_t row = 0; row < height; ++row) {
    const uint8_t* in = &image.Pixels[row * width * from];
    uint8_t* out = &pixels.Rgb[(height - 1 - row) * width * to];
    for (size_t x = 0; x < width; ++x) std::memcpy(out + x * to, in + x * from, to);
  }
  return images::EncodePNG(pixels, png, reason);
}

}  // namespace quarn::convert
