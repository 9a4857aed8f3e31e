#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "ImageFiles.h"
#include "images/Image.h"

namespace quarn::render {
namespace {

using namespace images;

using testing::Bytes;
using testing::Rgba;

// Pixel (x, row) of a decoded image, row 0 being the first row of Pixels (texture row t = 0).
Rgba At(const TImage& image, int x, int row)
{
  const int bpp = image.BytesPerPixel();
  const uint8_t* p = &image.Pixels[(size_t(row) * image.Width + x) * bpp];
  return Rgba{p[0], p[1], p[2], uint8_t(bpp == 4 ? p[3] : 0)};
}

Rgba Opaque(Rgba c, bool keepAlpha)
{
  if (!keepAlpha) c.a = 0;
  return c;
}

void Put32(Bytes& b, size_t at, uint32_t v)
{
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// --- TGA ---------------------------------------------------------------------------------

TEST(DecodeTGA, BothDepthsAndOriginsDecodeTopRowFirstAndSwapToRgb)
{
  for (const int bits : {24, 32}) {
    for (const int width : {1, 3, 5}) {
      for (const bool bottomUp : {true, false}) {  // descriptor bit 5 clear or set
        SCOPED_TRACE(::testing::Message() << bits << " bits, width " << width
                                          << (bottomUp ? ", bottom-up" : ", top-down"));
        const int height = 3;
        TImage image;
        ASSERT_EQ(DecodeTGA(testing::MakeTga(width, height, bits, bottomUp), image),
                  TDecodeResult::Ok);
        EXPECT_EQ(image.Width, width);
        EXPECT_EQ(image.Height, height);
        EXPECT_EQ(image.BitsPerPixel, bits);
        EXPECT_EQ(image.KeepAlpha, bits == 32);
        ASSERT_EQ(image.Pixels.size(), size_t(width * height * bits / 8));
        for (int row = 0; row < height; ++row)
          for (int x = 0; x < width; ++x)
            EXPECT_EQ(At(image, x, row), Opaque(testing::PatternPixel(x, row), bits == 32));
      }
    }
  }
}

TEST(DecodeTGA, RefusesWhatItDoesNotRead)
{
  struct Case {
    const char* Name;
    size_t At;
    uint8_t Value;
  };
  // Colour maps, run-length types, 16 bits and any origin are read (TgaDecodeTest.cpp).
  const Case cases[] = {
      {"image ID longer than the data", 0, 4},
      {"24-bit grey scale", 2, 3},
      {"colour-mapped without a map", 2, 1},
      {"zero width", 12, 0},
      {"zero height", 14, 0},
      {"8 bits", 16, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Bytes file = testing::MakeTga(2, 2, 24);
    file[c.At] = c.Value;
    if (c.At == 12 || c.At == 14) file[c.At + 1] = 0;
    TImage image;
    EXPECT_EQ(DecodeTGA(file, image), TDecodeResult::Refused);
    EXPECT_TRUE(image.Pixels.empty());
  }
}

TEST(DecodeTGA, RefusesShortFilesAtEveryLength)
{
  const Bytes file = testing::MakeTga(3, 2, 32);
  for (size_t n = 0; n < file.size(); ++n) {
    TImage image;
    EXPECT_EQ(DecodeTGA(Bytes(file.begin(), file.begin() + long(n)), image), TDecodeResult::Refused)
        << n;
  }
}

TEST(DecodeTGA, HugeSizeInHeaderIsRefusedWithoutAllocating)
{
  Bytes file = testing::MakeTga(1, 1, 32);
  file[12] = file[13] = file[14] = file[15] = 0xFF;
  TImage image;
  EXPECT_EQ(DecodeTGA(file, image), TDecodeResult::Refused);
}

// --- BMP ---------------------------------------------------------------------------------

TEST(DecodeBMP, EveryDepthWidthAndRowOrderDecodesTopRowFirst)
{
  for (const int bits : {8, 24, 32}) {
    for (const int width : {1, 2, 3, 5, 6}) {
      for (const bool topDown : {false, true}) {
        SCOPED_TRACE(::testing::Message() << bits << " bits, width " << width
                                          << (topDown ? ", top-down" : ", bottom-up"));
        const int height = 3;
        testing::BmpOptions options;
        options.Bits = bits;
        options.TopDown = topDown;
        TImage image;
        ASSERT_EQ(DecodeBMP(testing::MakeBmp(width, height, options), image), TDecodeResult::Ok);
        EXPECT_EQ(image.Width, width);
        EXPECT_EQ(image.Height, height);
        ASSERT_EQ(image.Pixels.size(), size_t(width * height * 3));
        for (int row = 0; row < height; ++row) {
          for (int x = 0; x < width; ++x) {
            const int y = row;
            Rgba expected = bits == 8 ? testing::BmpPaletteColor(testing::BmpIndex(x, y))
                                      : testing::PatternPixel(x, y);
            expected.a = 0;
            EXPECT_EQ(At(image, x, row), expected) << "x " << x << " row " << row;
          }
        }
      }
    }
  }
}

TEST(DecodeBMP, EightBitIndicesPastTheColourTableAreBlack)
{
  testing::BmpOptions options;
  options.Bits = 8;
  options.ColorsUsed = 2;  // indices 0 and 1 only
  TImage image;
  ASSERT_EQ(DecodeBMP(testing::MakeBmp(4, 1, options), image), TDecodeResult::Ok);
  EXPECT_EQ(At(image, 1, 0), (Rgba{1, 3, 254, 0}));
  EXPECT_EQ(At(image, 2, 0), (Rgba{0, 0, 0, 0}));
}

TEST(DecodeBMP, LargerInfoHeadersAndStandardBitFieldsAreRead)
{
  testing::BmpOptions options;
  options.Bits = 32;
  options.InfoSize = 108;
  options.Compression = 3;  // bit fields; masks sit inside the larger header
  Bytes file = testing::MakeBmp(3, 2, options);
  Put32(file, 14 + 40, 0x00FF0000);
  Put32(file, 14 + 44, 0x0000FF00);
  Put32(file, 14 + 48, 0x000000FF);
  TImage image;
  ASSERT_EQ(DecodeBMP(file, image), TDecodeResult::Ok);
  Rgba expected = testing::PatternPixel(2, 0);
  expected.a = 0;
  EXPECT_EQ(At(image, 2, 0), expected);

  Put32(file, 14 + 40, 0x000000FF);  // another channel order is refused
  Put32(file, 14 + 48, 0x00FF0000);
  EXPECT_EQ(DecodeBMP(file, image), TDecodeResult::Refused);
}

TEST(DecodeBMP, RefusesOtherDepthsCompressionAndSizes)
{
  struct Case {
    const char* Name;
    size_t At;
    uint32_t Value;
    int Width;  // of the bytes written (2 or 4)
  };
  const Case cases[] = {
      {"1 bit", 28, 1, 2},
      {"4 bits", 28, 4, 2},
      {"16 bits", 28, 16, 2},
      {"RLE8", 30, 1, 4},
      {"RLE4", 30, 2, 4},
      {"JPEG inside", 30, 4, 4},
      {"bit fields at 24 bits", 30, 3, 4},
      {"zero width", 18, 0, 4},
      {"negative width", 18, 0xFFFFFFFE, 4},
      {"zero height", 22, 0, 4},
      {"core header", 14, 12, 4},
      {"huge", 18, 0x7FFFFFFF, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Bytes file = testing::MakeBmp(2, 2, testing::BmpOptions{});
    for (int i = 0; i < c.Width; ++i) file[c.At + i] = uint8_t(c.Value >> (8 * i));
    TImage image;
    EXPECT_EQ(DecodeBMP(file, image), TDecodeResult::Refused);
  }
}

TEST(DecodeBMP, ShortFilesReportWhichPartIsMissing)
{
  testing::BmpOptions options;
  options.Bits = 8;
  options.ColorsUsed = 4;
  const Bytes file = testing::MakeBmp(3, 2, options);  // 54 header, 16 table, 2 x 4 data
  ASSERT_EQ(file.size(), 78u);
  for (size_t n = 0; n < file.size(); ++n) {
    TImage image;
    const TDecodeResult expected = n < 54   ? TDecodeResult::DataShort
                                   : n < 70 ? TDecodeResult::PaletteShort
                                            : TDecodeResult::DataShort;
    EXPECT_EQ(DecodeBMP(Bytes(file.begin(), file.begin() + long(n)), image), expected) << n;
    EXPECT_TRUE(image.Pixels.empty());
  }
}

TEST(DecodeBMP, ColourCountBeyondTheFileIsAShortPalette)
{
  Bytes file = testing::MakeBmp(2, 2, testing::BmpOptions{});
  Put32(file, 46, 0x40000000);
  TImage image;
  EXPECT_EQ(DecodeBMP(file, image), TDecodeResult::PaletteShort);
}

// --- WAL ---------------------------------------------------------------------------------

TEST(DecodeWAL, IndicesThroughThePaletteInFileOrder)
{
  const int width = 5, height = 3;
  TImage image;
  ASSERT_EQ(DecodeWAL(testing::MakeWal(width, height), testing::MakePalette(), image),
            TDecodeResult::Ok);
  EXPECT_EQ(image.Width, width);
  EXPECT_EQ(image.Height, height);
  EXPECT_FALSE(image.KeepAlpha);
  ASSERT_EQ(image.Pixels.size(), size_t(width * height * 3));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int i = (x + 3 * y) % 256;
      EXPECT_EQ(At(image, x, y), (Rgba{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0}));
    }
}

TEST(DecodeWAL, ShortInputRaisesReadBeyondEndOfFile)
{
  const Bytes wal = testing::MakeWal(4, 4);
  const Bytes palette = testing::MakePalette();
  Bytes huge = wal;
  Put32(huge, 32, 0xFFFFFFFF);
  Put32(huge, 36, 0xFFFFFFFF);
  const struct {
    const char* Name;
    Bytes Wal, Palette;
  } cases[] = {
      {"empty", {}, palette},
      {"header cut", Bytes(wal.begin(), wal.begin() + 99), palette},
      {"pixels cut", Bytes(wal.end() - 1 - 16, wal.end() - 1), palette},
      {"last pixel missing", Bytes(wal.begin(), wal.end() - 1), palette},
      {"huge size", huge, palette},
      {"palette cut", wal, Bytes(palette.begin(), palette.begin() + 767)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TImage image;
    try {
      DecodeWAL(c.Wal, c.Palette, image);
      ADD_FAILURE() << "no error";
    } catch (const EImageError& e) {
      EXPECT_STREQ(e.what(), "Read beyond end of file");
    }
    EXPECT_TRUE(image.Pixels.empty());
  }
}

// --- JPEG --------------------------------------------------------------------------------

TEST(DecodeJPG, FullSizeRgbWithOpaqueAlphaTopRowFirst)
{
  const int width = 16, height = 16;
  TImage image;
  ASSERT_EQ(DecodeJPG(testing::MakeJpeg(width, height), image), TDecodeResult::Ok);
  EXPECT_EQ(image.Width, width);
  EXPECT_EQ(image.Height, height);
  EXPECT_EQ(image.Layout, TPixelLayout::RGBA);
  EXPECT_FALSE(image.KeepAlpha);
  ASSERT_EQ(image.Pixels.size(), size_t(width * height * 4));
  for (size_t i = 3; i < image.Pixels.size(); i += 4) ASSERT_EQ(image.Pixels[i], 255);

  auto near = [](Rgba got, Rgba want) {
    return std::abs(got.r - want.r) < 24 && std::abs(got.g - want.g) < 24 &&
           std::abs(got.b - want.b) < 24;
  };
  // Row 0 is the image's top: red on the left, green on the right.
  EXPECT_TRUE(near(At(image, 2, 2), Rgba{255, 0, 0, 255}));
  EXPECT_TRUE(near(At(image, 13, 2), Rgba{0, 255, 0, 255}));
  EXPECT_TRUE(near(At(image, 2, 13), Rgba{0, 0, 255, 255}));
  EXPECT_TRUE(near(At(image, 13, 13), Rgba{255, 255, 255, 255}));
}

TEST(DecodeJPG, UnreadableHeaderIsRefused)
{
  const Bytes jpeg = testing::MakeJpeg(8, 8);
  const Bytes cases[] = {
      {}, {0xFF}, {0xFF, 0xD8}, testing::MakeTga(2, 2, 24), Bytes(jpeg.begin(), jpeg.begin() + 40),
  };
  for (const Bytes& data : cases) {
    TImage image;
    EXPECT_EQ(DecodeJPG(data, image), TDecodeResult::Refused) << data.size();
    EXPECT_TRUE(image.Pixels.empty());
  }
}

// Offset of the first marker `code` in a JPEG stream (markers before the scan only).
size_t JpegMarker(const Bytes& jpeg, uint8_t code)
{
  for (size_t i = 2; i + 3 < jpeg.size(); i += 2 + (size_t(jpeg[i + 2]) << 8 | jpeg[i + 3]))
    if (jpeg[i + 1] == code) return i;
  return jpeg.size();
}

TEST(DecodeJPG, DataEndingEarlyIsAnErrorNotAMadeUpImage)
{
  // Cut inside the compressed data, and a tiny stream whose header claims 8000 x 8000 pixels:
  // libjpeg would fill the missing rows with grey (hundreds of megabytes for the second).
  const Bytes whole = testing::MakeJpeg(64, 64);
  const size_t scan = JpegMarker(whole, 0xDA);
  ASSERT_LT(scan + 40, whole.size());
  Bytes huge = testing::MakeJpeg(8, 8);
  const size_t frame = JpegMarker(huge, 0xC0);
  ASSERT_LT(frame + 9, huge.size());
  for (size_t at : {frame + 5, frame + 7}) {  // height, then width, big-endian
    huge[at] = 8000 >> 8;
    huge[at + 1] = 8000 & 0xFF;
  }
  const Bytes cases[] = {Bytes(whole.begin(), whole.begin() + long(scan + 40)), huge};
  for (const Bytes& data : cases) {
    TImage image;
    try {
      DecodeJPG(data, image);
      ADD_FAILURE() << "decoded " << image.Width << " x " << image.Height;
    } catch (const EImageError& error) {
      EXPECT_THAT(error.what(), ::testing::HasSubstr("remature end of ")) << data.size();
    }
    EXPECT_TRUE(image.Pixels.empty());
  }
}

TEST(DecodeJPG, ErrorInTheImageDataIsRaisedNotFatal)
{
  // Without its quantisation tables the header still reads, but decoding cannot start.
  Bytes jpeg = testing::MakeJpeg(8, 8);
  for (size_t i = 2; i + 3 < jpeg.size();) {
    ASSERT_EQ(jpeg[i], 0xFF);
    const uint8_t marker = jpeg[i + 1];
    const size_t length = size_t(jpeg[i + 2]) << 8 | jpeg[i + 3];
    if (marker == 0xDA) break;  // start of scan
    if (marker == 0xDB)
      jpeg.erase(jpeg.begin() + long(i), jpeg.begin() + long(i + 2 + length));
    else
      i += 2 + length;
  }
  TImage image;
  EXPECT_THROW(DecodeJPG(jpeg, image), EImageError);
  EXPECT_TRUE(image.Pixels.empty());
}

}  // namespace
}  // namespace quarn::render
