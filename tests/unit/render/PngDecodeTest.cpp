// PNG decoding, checked against files written by ImageMagick (`convert`) from known pictures
// in every colour type, depth and interlacing, and against damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>
#include <zlib.h>

#include "ImageFiles.h"
#include "images/Image.h"

namespace quarn::render {
namespace {

using namespace images;

using testing::Bytes;
namespace fs = std::filesystem;

// RGBA, top row first: few colours (a palette can hold them); grey pictures have r = g = b;
// alpha (when asked) is 0 or 255 (binary, as a palette's transparent entries carry it) or
// also 128 (ImageMagick then writes an alpha channel).
enum TAlpha { Opaque, Binary, Partial };
Bytes Picture(int width, int height, bool grey, TAlpha alpha)
{
  Bytes rgba;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int i = (x * 5 + y * 11) % 40;
      if (grey)
        rgba.insert(rgba.end(), 3, uint8_t(20 + i * 5));
      else
        rgba.insert(rgba.end(), {uint8_t(i * 6), uint8_t(250 - i * 3), uint8_t(40 + (i % 7) * 30)});
      const int a = (x + y) % 3;
      rgba.push_back(alpha == Opaque || a == 2 ? 255 : a == 0 ? 0 : alpha == Partial ? 128 : 255);
    }
  return rgba;
}

// What a pixel shows: the colour of a fully transparent one does not matter (writers change it).
Bytes Shown(Bytes rgba)
{
  for (size_t i = 0; i < rgba.size(); i += 4)
    if (rgba[i + 3] == 0) rgba[i] = rgba[i + 1] = rgba[i + 2] = 0;
  return rgba;
}

Bytes WithoutAlpha(const Bytes& rgba)
{
  Bytes rgb;
  for (size_t i = 0; i < rgba.size(); i += 4)
    rgb.insert(rgb.end(), rgba.begin() + long(i), rgba.begin() + long(i) + 3);
  return rgb;
}

class PngFromImageMagick : public ::testing::Test {
protected:
  void SetUp() override
  {
    Dir = fs::temp_directory_path() / ("quarn_png_" + std::to_string(::getpid()));
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  Bytes Convert(int width, int height, const Bytes& rgba, const std::string& options,
                const std::string& out)
  {
    const fs::path raw = Dir / "in.rgba", png = Dir / "out.png";
    testing::WriteFile(raw.string(), rgba);
    fs::remove(png);
    const std::string command = "convert -size " + std::to_string(width) + "x" +
                                std::to_string(height) + " -depth 8 'rgba:" + raw.string() + "' " +
                                options + " '" + out + ":" + png.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(png, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path Dir;
};

TEST_F(PngFromImageMagick, EveryColourTypeAndDepthDecodesToThePicture)
{
  const struct {
    const char* Options;
    const char* Out;
    bool Grey;
    TAlpha Alpha;
    uint8_t Depth, ColourType, Interlace;  // as written in the file's header
  } kinds[] = {
      {"-alpha off", "PNG8", false, Opaque, 8, 3, 0},
      {"", "PNG8", false, Binary, 8, 3, 0},  // transparent palette entries
      {"-alpha off -type Grayscale", "PNG", true, Opaque, 8, 0, 0},
      {"-type GrayscaleAlpha", "PNG", true, Partial, 8, 4, 0},
      {"-alpha off -type Grayscale -define png:bit-depth=16 -define png:color-type=0", "PNG", true,
       Opaque, 16, 0, 0},
      {"-alpha off", "PNG24", false, Opaque, 8, 2, 0},
      {"", "PNG32", false, Partial, 8, 6, 0},
      {"-alpha off", "PNG48", false, Opaque, 16, 2, 0},
      {"", "PNG64", false, Partial, 16, 6, 0},
      {"-alpha off -interlace PNG", "PNG24", false, Opaque, 8, 2, 1},
      {"-interlace PNG", "PNG32", false, Partial, 8, 6, 1},
  };
  for (const auto& k : kinds)
    for (const auto& [width, height] : {std::pair{2, 1}, {13, 9}}) {
      SCOPED_TRACE(::testing::Message()
                   << k.Out << " '" << k.Options << "' " << width << " x " << height);
      const Bytes rgba = Picture(width, height, k.Grey, k.Alpha);
      const Bytes png = Convert(width, height, rgba, k.Options, k.Out);
      ASSERT_GT(png.size(), 33u);
      ASSERT_EQ(png[24], k.Depth) << "ImageMagick wrote another kind of PNG";
      ASSERT_EQ(png[25], k.ColourType) << "ImageMagick wrote another kind of PNG";
      ASSERT_EQ(png[28], k.Interlace);
      TImage image;
      std::string reason;
      ASSERT_EQ(DecodePNG(png, image, &reason), TDecodeResult::Ok) << reason;
      EXPECT_EQ(image.Width, width);
      EXPECT_EQ(image.Height, height);
      EXPECT_EQ(image.Layout, k.Alpha != Opaque ? TPixelLayout::RGBA : TPixelLayout::RGB);
      EXPECT_EQ(image.KeepAlpha, k.Alpha != Opaque);
      if (k.Alpha != Opaque)
        EXPECT_EQ(Shown(image.Pixels), Shown(rgba));  // top row first
      else
        EXPECT_EQ(image.Pixels, WithoutAlpha(rgba));
    }
}

uint32_t Crc(const uint8_t* p, size_t n)
{
  uint32_t c = 0xFFFFFFFF;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

TEST_F(PngFromImageMagick, DamagedFilesAreRefusedWithAReason)
{
  const Bytes good = Convert(13, 9, Picture(13, 9, false, Opaque), "-alpha off", "PNG24");
  ASSERT_GT(good.size(), 60u);
  auto refused = [](const Bytes& file) {
    TImage image;
    std::string reason;
    EXPECT_EQ(DecodePNG(file, image, &reason), TDecodeResult::Refused);
    EXPECT_TRUE(image.Pixels.empty());
    EXPECT_EQ(image.Width, 0);
    return reason;
  };
  EXPECT_EQ(refused(Bytes(good.begin(), good.begin() + 7)), "not a PNG file");
  Bytes notPng = good;
  notPng[1] = 'Q';
  EXPECT_EQ(refused(notPng), "not a PNG file");

  // 60000 x 60000 in a header with a correct checksum: refused before anything is allocated.
  Bytes huge = good;
  for (size_t at : {16u, 20u})
    huge[at] = 0, huge[at + 1] = 0, huge[at + 2] = 0xEA, huge[at + 3] = 0x60;
  const uint32_t crc = Crc(&huge[12], 17);
  for (int i = 0; i < 4; ++i) huge[29 + i] = uint8_t(crc >> (24 - 8 * i));
  EXPECT_EQ(refused(huge), "PNG image is too large");

  Bytes badCrc = good;
  badCrc[30] ^= 0xFF;
  EXPECT_EQ(refused(badCrc).rfind("PNG: ", 0), 0u);
  // Cut anywhere before the end of the image data, the pixels are not all there.
  size_t dataEnd = 8;
  for (size_t at = 8; at + 8 <= good.size();) {
    const size_t length = size_t(good[at]) << 24 | size_t(good[at + 1]) << 16 |
                          size_t(good[at + 2]) << 8 | good[at + 3];
    at += 12 + length;
    if (std::string(good.begin() + long(at - length - 8), good.begin() + long(at - length - 4)) ==
        "IDAT")
      dataEnd = at;
  }
  ASSERT_GT(dataEnd, 60u);
  for (size_t n = 8; n < dataEnd; n += 3) {
    SCOPED_TRACE(n);
    EXPECT_EQ(refused(Bytes(good.begin(), good.begin() + long(n))).rfind("PNG: ", 0), 0u);
  }
}

void PutChunk(Bytes& png, const char* type, const Bytes& data)
{
  for (int i = 0; i < 4; ++i) png.push_back(uint8_t(data.size() >> (24 - 8 * i)));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  const uint32_t crc = Crc(&png[start], png.size() - start);
  for (int i = 0; i < 4; ++i) png.push_back(uint8_t(crc >> (24 - 8 * i)));
}

// A PNG of one flat grey (colour type 0) or RGBA (6) colour; its compressed rows cut to `keep`
// bytes and split into IDAT chunks of at most `chunk` bytes.
Bytes FlatPng(uint32_t width, uint32_t height, uint8_t colourType, size_t keep, size_t chunk)
{
  // Only as many rows as give `keep` compressed bytes are made (no stream packs 2048:1).
  const size_t rowBytes = 1 + size_t(width) * (colourType == 6 ? 4 : 1);
  const Bytes rows(std::min(rowBytes * height, keep < SIZE_MAX / 2048 ? keep * 2048 : SIZE_MAX), 0);
  uLongf packedSize = compressBound(uLong(rows.size()));
  Bytes packed(packedSize);
  EXPECT_EQ(compress2(packed.data(), &packedSize, rows.data(), uLong(rows.size()), 9), Z_OK);
  packed.resize(std::min<size_t>(packedSize, keep));

  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  for (const uint32_t v : {width, height})
    for (int i = 0; i < 4; ++i) header.push_back(uint8_t(v >> (24 - 8 * i)));
  header.insert(header.end(), {8, colourType, 0, 0, 0});
  PutChunk(png, "IHDR", header);
  for (size_t at = 0; at < packed.size(); at += chunk)
    PutChunk(png, "IDAT",
             Bytes(packed.begin() + long(at),
                   packed.begin() + long(std::min(at + chunk, packed.size()))));
  PutChunk(png, "IEND", {});
  return png;
}

TEST(DecodePNG, ImageDataMustBeThereBeforeTheImageIsAllocated)
{
  constexpr size_t All = SIZE_MAX;
  const struct {
    const char* Title;
    Bytes File;
    bool Decodes;
  } cases[] = {
      {"8192 x 8192 RGBA header with 12 bytes of data", FlatPng(8192, 8192, 6, 12, All), false},
      {"a tenth of a flat picture's data", FlatPng(2048, 2048, 0, 400, All), false},
      {"a flat picture compressed as far as deflate goes", FlatPng(2048, 2048, 0, All, All), true},
      {"the same in many small chunks", FlatPng(2048, 2048, 0, All, 97), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Title);
    TImage image;
    std::string reason;
    const TDecodeResult result = DecodePNG(c.File, image, &reason);
    if (c.Decodes) {
      EXPECT_EQ(result, TDecodeResult::Ok) << reason;
      EXPECT_EQ(image.Pixels.size(), size_t(2048) * 2048 * 3);
    } else {
      EXPECT_EQ(result, TDecodeResult::Refused);
      EXPECT_EQ(reason, "PNG image data is cut short");
      EXPECT_TRUE(image.Pixels.empty());
    }
  }
}

}  // namespace
}  // namespace quarn::render
