// PCX decoding, checked against files written by ImageMagick (`convert`) from known pictures,
// and against hand-made files for what its writer never produces.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "ImageFiles.h"
#include "images/Image.h"

namespace quarn::render {
namespace {

using namespace images;

using testing::Bytes;
namespace fs = std::filesystem;

struct TPicture {
  int Width, Height;
  Bytes Rgb;  // top row first
};

// Few colours (ImageMagick then writes palette indices) or many (three planes); a long flat
// band in every row makes runs longer than one run byte can count.
TPicture Picture(int width, int height, bool manyColours)
{
  TPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (x >= 10 && x < 140) {
        p.Rgb.insert(p.Rgb.end(), {uint8_t(30 + y * 20), 140, 200});
      } else if (manyColours) {
        p.Rgb.insert(p.Rgb.end(), {uint8_t(x * 13 + y), uint8_t(y * 29 + 7), uint8_t(x * y + 50)});
      } else {
        const int i = (x * 5 + y * 11) % 40;
        p.Rgb.insert(p.Rgb.end(),
                     {uint8_t(i * 6), uint8_t(250 - i * 3), uint8_t(40 + (i % 7) * 30)});
      }
    }
  return p;
}

Bytes ReadFile(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PcxFromImageMagick : public ::testing::Test {
protected:
  void SetUp() override
  {
    Dir = fs::temp_directory_path() /
          ("quarn_pcx_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           std::to_string(::getpid()));
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  // The picture as ImageMagick writes it in PCX, with the given -type.
  Bytes Convert(const TPicture& p, const std::string& type)
  {
    const fs::path ppm = Dir / "in.ppm", pcx = Dir / "out.pcx";
    std::string header =
        "P6\n" + std::to_string(p.Width) + " " + std::to_string(p.Height) + "\n255\n";
    Bytes file(header.begin(), header.end());
    file.insert(file.end(), p.Rgb.begin(), p.Rgb.end());
    testing::WriteFile(ppm.string(), file);
    fs::remove(pcx);
    const std::string command =
        "convert '" + ppm.string() + "' -type " + type + " '" + pcx.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadFile(pcx);
  }

  fs::path Dir;
};

TEST_F(PcxFromImageMagick, IndexedAndThreePlaneFilesDecodeToThePicture)
{
  const struct {
    int Width, Height;
    bool ManyColours;
    const char* Type;
    uint8_t Planes;
  } cases[] = {
      {1, 1, false, "Palette", 1},   {5, 3, false, "Palette", 1},  {150, 7, false, "Palette", 1},
      {1, 1, false, "TrueColor", 3}, {5, 3, true, "TrueColor", 3}, {150, 7, true, "TrueColor", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Width << " x " << c.Height << " " << c.Type);
    const TPicture picture = Picture(c.Width, c.Height, c.ManyColours);
    const Bytes pcx = Convert(picture, c.Type);
    ASSERT_GT(pcx.size(), 128u);
    ASSERT_EQ(pcx[65], c.Planes) << "ImageMagick wrote another kind of PCX";
    TImage image;
    ASSERT_EQ(DecodePCX(pcx, image), TDecodeResult::Ok);
    EXPECT_EQ(image.Width, c.Width);
    EXPECT_EQ(image.Height, c.Height);
    EXPECT_EQ(image.Layout, TPixelLayout::RGB);
    EXPECT_FALSE(image.KeepAlpha);
    EXPECT_EQ(image.Pixels, picture.Rgb);  // top row first
  }
}

// A PCX file from its parts: 8-bit, planes and bytes per line as given, the encoded lines as
// they stand, and a palette (entry i = i, 255 - i, 7) for one plane.
Bytes MakePcx(int width, int height, int planes, int bytesPerLine, const Bytes& encoded)
{
  Bytes out(128, 0);
  out[0] = 0x0A, out[1] = 5, out[2] = 1, out[3] = 8;
  out[8] = uint8_t(width - 1), out[9] = uint8_t((width - 1) >> 8);
  out[10] = uint8_t(height - 1), out[11] = uint8_t((height - 1) >> 8);
  out[65] = uint8_t(planes);
  out[66] = uint8_t(bytesPerLine), out[67] = uint8_t(bytesPerLine >> 8);
  out.insert(out.end(), encoded.begin(), encoded.end());
  if (planes == 1) {
    out.push_back(0x0C);
    for (int i = 0; i < 256; ++i) out.insert(out.end(), {uint8_t(i), uint8_t(255 - i), 7});
  }
  return out;
}

Bytes Indexed(std::initializer_list<int> indices)
{
  Bytes rgb;
  for (int i : indices) rgb.insert(rgb.end(), {uint8_t(i), uint8_t(255 - i), 7});
  return rgb;
}

TEST(DecodePCX, WhatOtherWritersDo)
{
  const struct {
    const char* Name;
    Bytes File;
    Bytes Rgb;
  } cases[] = {
      // Odd width: one padding byte ends each line and is not a pixel.
      {"padded lines", MakePcx(3, 2, 1, 4, {1, 2, 3, 99, 4, 5, 6, 99}),
       Indexed({1, 2, 3, 4, 5, 6})},
      {"run across a line end", MakePcx(2, 2, 1, 2, {1, 0xC3, 9}), Indexed({1, 9, 9, 9})},
      {"empty run, run of a run-mark value", MakePcx(2, 1, 1, 2, {0xC0, 5, 0xC1, 0xC7, 2}),
       Indexed({0xC7, 2})},
      {"three planes, padded", MakePcx(1, 2, 3, 2, {10, 0, 20, 0, 30, 0, 0xC6, 40}),
       Bytes{10, 20, 30, 40, 40, 40}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TImage image;
    ASSERT_EQ(DecodePCX(c.File, image), TDecodeResult::Ok);
    EXPECT_EQ(image.Pixels, c.Rgb);
  }
}

TEST(DecodePCX, BadFilesFailWithoutTouchingTheImage)
{
  const Bytes good = MakePcx(3, 2, 1, 4, {1, 2, 3, 0, 4, 5, 6, 0});
  auto with = [&](size_t at, uint8_t value) {
    Bytes b = good;
    b[at] = value;
    return b;
  };
  Bytes noMark = good;
  noMark[good.size() - 769] = 0;
  Bytes huge = with(8, 0xFF);  // 65535 x 65535, 4 bytes of data
  huge[9] = huge[10] = huge[11] = 0xFF;
  huge[66] = huge[67] = 0xFF;
  Bytes tall = with(10, 0xFF);  // 3 x 65536 in 8 bytes of data: not allocated
  tall[11] = 0xFF;
  const struct {
    const char* Name;
    Bytes File;
    TDecodeResult Result;
  } cases[] = {
      {"not PCX", with(0, 0x0B), TDecodeResult::Refused},
      {"not run-length", with(2, 0), TDecodeResult::Refused},
      {"4 bits", with(3, 4), TDecodeResult::Refused},
      {"4 planes", with(65, 4), TDecodeResult::Refused},
      {"x max below x min", with(4, 5), TDecodeResult::Refused},
      {"lines shorter than the width", with(66, 2), TDecodeResult::Refused},
      {"too many pixels", huge, TDecodeResult::Refused},
      {"no palette mark", noMark, TDecodeResult::PaletteShort},
      {"no palette", Bytes(good.begin(), good.end() - 769), TDecodeResult::PaletteShort},
      {"lying height", tall, TDecodeResult::DataShort},
      {"lines cut short", MakePcx(3, 2, 1, 4, {1, 2, 3, 0, 4}), TDecodeResult::DataShort},
      {"run without its value", MakePcx(3, 1, 1, 4, {1, 2, 3, 0xC1}), TDecodeResult::DataShort},
      {"planes cut short", MakePcx(2, 2, 3, 2, {0xC9, 1}), TDecodeResult::DataShort},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TImage image;
    EXPECT_EQ(DecodePCX(c.File, image), c.Result);
    EXPECT_TRUE(image.Pixels.empty());
    EXPECT_EQ(image.Width, 0);
  }
  for (size_t n = 0; n < good.size(); ++n) {
    TImage image;
    EXPECT_NE(DecodePCX(Bytes(good.begin(), good.begin() + long(n)), image), TDecodeResult::Ok)
        << n;
  }
}

}  // namespace
}  // namespace quarn::render
