// TGA decoding of every kind, checked against files written by ImageMagick (`convert`) from
// known pictures, and against hand-made files for what its writer never produces.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "ImageFiles.h"
#include "images/Image.h"

namespace quarn::render {
namespace {

using namespace images;

using testing::Bytes;
namespace fs = std::filesystem;

// Few colours, so ImageMagick can write a palette; a flat band longer than one packet; grey
// pictures keep their values through -type Grayscale.
Bytes Picture(int width, int height, bool grey)
{
  Bytes rgb;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int i = (x >= 10 && x < 150) ? 3 : (x * 5 + y * 11) % 40;
      if (grey)
        rgb.insert(rgb.end(), 3, uint8_t(20 + i * 5));
      else
        rgb.insert(rgb.end(), {uint8_t(i * 6), uint8_t(250 - i * 3), uint8_t(40 + (i % 7) * 30)});
    }
  return rgb;
}

class TgaFromImageMagick : public ::testing::Test {
protected:
  void SetUp() override
  {
    Dir = fs::temp_directory_path() / ("quarn_tga_" + std::to_string(::getpid()));
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  Bytes Convert(int width, int height, const Bytes& rgb, const std::string& options,
                const std::string& ext)
  {
    const fs::path ppm = Dir / "in.ppm", out = Dir / ("out." + ext);
    const std::string header =
        "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes file(header.begin(), header.end());
    file.insert(file.end(), rgb.begin(), rgb.end());
    testing::WriteFile(ppm.string(), file);
    fs::remove(out);
    const std::string command =
        "convert '" + ppm.string() + "' " + options + " '" + out.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(out, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path Dir;
};

TEST_F(TgaFromImageMagick, EveryKindDecodesToThePicture)
{
  // ImageMagick writes rows in the order it holds them whatever origin it declares, so only
  // its top-left files are right; bottom-left files are hand-made below.
  const struct {
    const char* Options;
    bool Grey;
    uint8_t Type;  // as ImageMagick writes it
  } kinds[] = {
      {"", false, 2},
      {"-compress RLE", false, 10},
      {"-type Palette", false, 1},
      {"-type Palette -compress RLE", false, 9},
      {"-type Grayscale", true, 3},
      {"-type Grayscale -compress RLE", true, 11},
  };
  for (const auto& k : kinds)
    for (const auto& [width, height] : {std::pair{1, 1}, {5, 3}, {300, 4}}) {
      SCOPED_TRACE(::testing::Message() << "'" << k.Options << "' " << width << " x " << height);
      const Bytes rgb = Picture(width, height, k.Grey);
      const Bytes tga =
          Convert(width, height, rgb, std::string("-orient TopLeft ") + k.Options, "tga");
      ASSERT_GT(tga.size(), 18u);
      ASSERT_EQ(tga[2], k.Type) << "ImageMagick wrote another kind of TGA";
      ASSERT_EQ(tga[17] & 0x30, 0x20);
      TImage image;
      std::string reason;
      ASSERT_EQ(DecodeTGA(tga, image, &reason), TDecodeResult::Ok) << reason;
      EXPECT_EQ(image.Width, width);
      EXPECT_EQ(image.Height, height);
      EXPECT_EQ(image.Layout, TPixelLayout::RGB);
      EXPECT_EQ(image.Pixels, rgb);  // top row first
    }
}

// A TGA from its parts: header fields, then image ID, colour map and pixels as given.
struct TTgaParts {
  uint8_t Type = 2, Bits = 24, Descriptor = 0x20;  // top row first
  uint16_t Width = 2, Height = 1;
  Bytes Id = {};
  uint16_t MapFirst = 0, MapLength = 0;
  uint8_t MapBits = 0;
  Bytes Map = {};  // present when MapBits is set
  Bytes Pixels = {};
};

Bytes MakeTga(const TTgaParts& p)
{
  Bytes out = {uint8_t(p.Id.size()),
               uint8_t(p.MapBits ? 1 : 0),
               p.Type,
               uint8_t(p.MapFirst),
               uint8_t(p.MapFirst >> 8),
               uint8_t(p.MapLength),
               uint8_t(p.MapLength >> 8),
               p.MapBits,
               0,
               0,
               0,
               0,
               uint8_t(p.Width),
               uint8_t(p.Width >> 8),
               uint8_t(p.Height),
               uint8_t(p.Height >> 8),
               p.Bits,
               p.Descriptor};
  for (const Bytes* b : {&p.Id, &p.Map, &p.Pixels}) out.insert(out.end(), b->begin(), b->end());
  return out;
}

TEST(DecodeTGA, WhatOtherWritersDo)
{
  // 5-5-5 values: 0xFC00 red with the attribute bit, 0x03E0 green without.
  const struct {
    const char* Name;
    TTgaParts Parts;
    TPixelLayout Layout;
    Bytes Pixels;
  } cases[] = {
      {"16 bits, no alpha bits",
       {.Bits = 16, .Pixels = {0x00, 0xFC, 0xE0, 0x03}},
       TPixelLayout::RGB,
       {255, 0, 0, 0, 255, 0}},
      {"16 bits, the attribute bit is alpha",
       {.Bits = 16, .Descriptor = 0x21, .Pixels = {0x00, 0xFC, 0xE0, 0x03}},
       TPixelLayout::RGBA,
       {255, 0, 0, 255, 0, 255, 0, 0}},
      {"15 bits ignore the attribute bit",
       {.Bits = 15, .Descriptor = 0x21, .Pixels = {0x00, 0xFC, 0x10, 0x42}},
       TPixelLayout::RGB,
       {255, 0, 0, 132, 132, 132}},
      {"image ID skipped, unused colour map skipped",
       {.Id = {'h', 'i'},
        .MapLength = 1,
        .MapBits = 24,
        .Map = {9, 9, 9},
        .Pixels = {1, 2, 3, 4, 5, 6}},
       TPixelLayout::RGB,
       {3, 2, 1, 6, 5, 4}},
      {"24-bit map from entry 2",
       {.Type = 1,
        .Bits = 8,
        .MapFirst = 2,
        .MapLength = 2,
        .MapBits = 24,
        .Map = {1, 2, 3, 4, 5, 6},
        .Pixels = {3, 2}},
       TPixelLayout::RGB,
       {6, 5, 4, 3, 2, 1}},
      {"32-bit map keeps alpha",
       {.Type = 1, .Bits = 8, .MapLength = 1, .MapBits = 32, .Map = {1, 2, 3, 4}, .Pixels = {0, 0}},
       TPixelLayout::RGBA,
       {3, 2, 1, 4, 3, 2, 1, 4}},
      {"16-bit map with alpha, 16-bit indices",
       {.Type = 1,
        .Bits = 16,
        .Descriptor = 0x21,
        .MapLength = 2,
        .MapBits = 16,
        .Map = {0x00, 0xFC, 0xE0, 0x03},
        .Pixels = {1, 0, 0, 0}},
       TPixelLayout::RGBA,
       {0, 255, 0, 0, 255, 0, 0, 255}},
      {"15-bit map",
       {.Type = 1, .Bits = 8, .MapLength = 1, .MapBits = 15, .Map = {0x1F, 0x00}, .Pixels = {0, 0}},
       TPixelLayout::RGB,
       {0, 0, 255, 0, 0, 255}},
      {"grey and alpha",
       {.Type = 3, .Bits = 16, .Pixels = {7, 8, 9, 10}},
       TPixelLayout::RGBA,
       {7, 7, 7, 8, 9, 9, 9, 10}},
      {"run across a row end, bottom row first",
       {.Type = 10, .Descriptor = 0, .Height = 2, .Pixels = {0x00, 1, 2, 3, 0x82, 4, 5, 6}},
       TPixelLayout::RGB,
       {6, 5, 4, 6, 5, 4, 3, 2, 1, 6, 5, 4}},
      {"raw and run packets of indices",
       {.Type = 9,
        .Bits = 8,
        .Width = 4,
        .MapLength = 2,
        .MapBits = 24,
        .Map = {1, 2, 3, 4, 5, 6},
        .Pixels = {0x01, 0, 1, 0x81, 1}},
       TPixelLayout::RGB,
       {3, 2, 1, 6, 5, 4, 6, 5, 4, 6, 5, 4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TImage image;
    std::string reason;
    ASSERT_EQ(DecodeTGA(MakeTga(c.Parts), image, &reason), TDecodeResult::Ok) << reason;
    EXPECT_EQ(image.Layout, c.Layout);
    EXPECT_EQ(image.KeepAlpha, c.Layout == TPixelLayout::RGBA);
    EXPECT_EQ(image.Pixels, c.Pixels);
  }
}

TEST(DecodeTGA, BadFilesSayWhyAndLeaveTheImageAlone)
{
  const TTgaParts mapped{.Type = 1,
                         .Bits = 8,
                         .MapFirst = 1,
                         .MapLength = 2,
                         .MapBits = 24,
                         .Map = {1, 2, 3, 4, 5, 6},
                         .Pixels = {1, 2}};
  const TTgaParts runs{.Type = 10, .Width = 3, .Height = 2, .Pixels = {0x85, 1, 2, 3}};
  auto with = [](TTgaParts p, auto change) {
    change(p);
    return MakeTga(p);
  };
  Bytes huge = MakeTga({});
  huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;
  const struct {
    const char* Name;
    Bytes File;
    const char* Reason;
  } cases[] = {
      {"header cut short", Bytes(17, 0), "TGA header is cut short"},
      {"type 4", with(TTgaParts{}, [](auto& p) { p.Type = 4; }), "unsupported TGA type 4"},
      {"no image data", with(TTgaParts{}, [](auto& p) { p.Type = 0; }), "unsupported TGA type 0"},
      {"colour map type 2",
       [] {
         Bytes b = MakeTga({.Pixels = Bytes(6)});
         b[1] = 2;
         return b;
       }(),
       "unsupported TGA colour map type 2"},
      {"right to left", with(TTgaParts{.Pixels = Bytes(6)}, [](auto& p) { p.Descriptor = 0x10; }),
       "TGA rows stored right to left"},
      {"zero width", with(TTgaParts{}, [](auto& p) { p.Width = 0; }), "TGA image has no pixels"},
      {"too many pixels", huge, "TGA image is too large"},
      {"8-bit true colour", with(TTgaParts{.Pixels = Bytes(6)}, [](auto& p) { p.Bits = 8; }),
       "unsupported 8-bit TGA type 2"},
      {"24-bit grey", with(TTgaParts{.Pixels = Bytes(6)}, [](auto& p) { p.Type = 3; }),
       "unsupported 24-bit TGA type 3"},
      {"24-bit indices", with(mapped, [](auto& p) { p.Bits = 24; }),
       "unsupported 24-bit TGA type 1"},
      {"indices without a map",
       with(mapped,
            [](auto& p) {
              p.MapBits = 0;
              p.Map = {};
            }),
       "TGA colour-mapped image without a colour map"},
      {"8-bit map entries", with(mapped, [](auto& p) { p.MapBits = 8; }),
       "unsupported TGA colour map entry size 8"},
      {"map cut short",
       with(mapped,
            [](auto& p) {
              p.Map.pop_back();
              p.Pixels = {};
            }),
       "TGA colour map is cut short"},
      {"index below the map",
       with(mapped,
            [](auto& p) {
              p.Pixels = {1, 0};
            }),
       "TGA palette index 0 is outside the colour map"},
      {"index beyond the map",
       with(mapped,
            [](auto& p) {
              p.Pixels = {3, 1};
            }),
       "TGA palette index 3 is outside the colour map"},
      {"run of an index beyond the map",
       with(mapped,
            [](auto& p) {
              p.Type = 9;
              p.Pixels = {0x81, 200};
            }),
       "TGA palette index 200 is outside the colour map"},
      {"pixels cut short", MakeTga({.Pixels = Bytes(5)}), "TGA pixel data is cut short"},
      {"run crossing the image end", with(runs, [](auto& p) { p.Pixels[0] = 0x86; }),
       "TGA run crosses the image end"},
      {"packets end early", with(runs, [](auto& p) { p.Pixels[0] = 0x84; }),
       "TGA pixel data is cut short"},
      {"lying height", with(runs, [](auto& p) { p.Height = 60000; }),
       "TGA pixel data is cut short"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TImage image;
    std::string reason;
    EXPECT_EQ(DecodeTGA(c.File, image, &reason), TDecodeResult::Refused);
    EXPECT_EQ(reason, c.Reason);
    EXPECT_TRUE(image.Pixels.empty());
    EXPECT_EQ(image.Width, 0);
  }
  const Bytes good = MakeTga(runs);
  ASSERT_EQ(good.size(), 22u);
  for (size_t n = 0; n < good.size(); ++n) {
    TImage image;
    EXPECT_EQ(DecodeTGA(Bytes(good.begin(), good.begin() + long(n)), image), TDecodeResult::Refused)
        << n;
  }
}

}  // namespace
}  // namespace quarn::render
