#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "sprites/GifEncoder.h"
#include "sprites/SpriteSheet.h"

namespace quarn::sprites {
namespace {

// A w x h RGBA frame, rows bottom up, one colour with the given pixel at (x, y from the top)
// set to `marked`.
std::shared_ptr<images::TFramePixels> Frame(int w, int h, uint32_t colour, int x = -1, int y = -1,
                                            uint32_t marked = 0)
{
  auto frame = std::make_shared<images::TFramePixels>();
  frame->Width = w;
  frame->Height = h;
  frame->Alpha = true;
  frame->Rgb.resize(size_t(w) * h * 4);
  for (int row = 0; row < h; ++row)
    for (int column = 0; column < w; ++column) {
      const uint32_t value = (column == x && h - 1 - row == y) ? marked : colour;
      uint8_t* p = &frame->Rgb[(size_t(row) * w + column) * 4];
      p[0] = uint8_t(value >> 24), p[1] = uint8_t(value >> 16), p[2] = uint8_t(value >> 8),
      p[3] = uint8_t(value);
    }
  return frame;
}

uint32_t PixelFromTop(const images::TFramePixels& image, int x, int y)
{
  const uint8_t* p = &image.Rgb[(size_t(image.Height - 1 - y) * image.Width + x) * 4];
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

TEST(SpriteSheet, DirectionsAreRowsFromTheTopFramesAreColumns)
{
  TAnimationFrames frames;
  frames.Name = "run";
  frames.Directions = 2;
  frames.Count = 3;
  frames.Width = 4;
  frames.Height = 2;
  for (int i = 0; i < 6; ++i)
    frames.Frames.push_back(Frame(4, 2, 0x01010100u * uint32_t(i) | 0xff));
  // Direction 1, frame 2: its top-left pixel marked.
  frames.Frames[5] = Frame(4, 2, 0x050505ffu, 0, 0, 0xff0000ffu);
  const images::TFramePixels sheet = BuildSheet(frames);
  ASSERT_EQ(sheet.Width, 12);
  ASSERT_EQ(sheet.Height, 4);
  EXPECT_EQ(PixelFromTop(sheet, 8, 2), 0xff0000ffu);
  EXPECT_EQ(PixelFromTop(sheet, 9, 2), 0x050505ffu);
  EXPECT_EQ(PixelFromTop(sheet, 4, 0), 0x010101ffu);  // direction 0, frame 1
  EXPECT_EQ(PixelFromTop(sheet, 0, 3), 0x030303ffu);  // direction 1, frame 0, bottom row
}

int ReadFromString(GifFileType* file, GifByteType* data, int size)
{
  auto* source = static_cast<std::pair<const std::string*, size_t>*>(file->UserData);
  const size_t left = source->first->size() - source->second;
  const size_t count = std::min(left, size_t(size));
  std::memcpy(data, source->first->data() + source->second, count);
  source->second += count;
  return int(count);
}

TEST(GifEncoder, FramesLoopWithTheirDelayAndTransparency)
{
  auto clear = Frame(3, 2, 0x00000000u, 2, 0, 0xff0000ffu);  // transparent, a red top-right
  auto blue = Frame(3, 2, 0x0000ffffu);
  std::string gif, reason;
  ASSERT_TRUE(EncodeGIF({clear.get(), blue.get(), clear.get()}, {7, 7, 7}, true, gif, reason))
      << reason;

  std::pair<const std::string*, size_t> source{&gif, 0};
  int error = 0;
  GifFileType* file = DGifOpen(&source, ReadFromString, &error);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(DGifSlurp(file), GIF_OK);
  ASSERT_EQ(file->ImageCount, 3);
  EXPECT_EQ(file->SWidth, 3);
  EXPECT_EQ(file->SHeight, 2);
  bool loops = false;
  for (int i = 0; i < file->ExtensionBlockCount; ++i)
    loops = loops || (file->ExtensionBlocks[i].Function == APPLICATION_EXT_FUNC_CODE &&
                      std::memcmp(file->ExtensionBlocks[i].Bytes, "NETSCAPE2.0", 11) == 0);
  for (int i = 0; i < file->SavedImages[0].ExtensionBlockCount; ++i)
    loops =
        loops || (file->SavedImages[0].ExtensionBlocks[i].Function == APPLICATION_EXT_FUNC_CODE);
  EXPECT_TRUE(loops);
  GraphicsControlBlock control;
  ASSERT_EQ(DGifSavedExtensionToGCB(file, 1, &control), GIF_OK);
  EXPECT_EQ(control.DelayTime, 7);
  EXPECT_EQ(control.TransparentColor, GifTransparentIndex);
  const GifByteType* first = file->SavedImages[0].RasterBits;
  EXPECT_EQ(first[0], GifTransparentIndex);
  const GifColorType red = file->SColorMap->Colors[first[2]];  // top row, right
  EXPECT_EQ(red.Red, 255);
  EXPECT_EQ(red.Green, 0);
  EXPECT_EQ(red.Blue, 0);
  const GifColorType blueColour = file->SColorMap->Colors[file->SavedImages[1].RasterBits[4]];
  EXPECT_EQ(blueColour.Blue, 255);
  EXPECT_EQ(blueColour.Red, 0);
  DGifCloseFile(file, &error);

  EXPECT_FALSE(EncodeGIF({clear.get(), Frame(2, 2, 0).get()}, {7, 7}, true, gif, reason));
  EXPECT_EQ(reason, "the frames differ in size");
}

}  // namespace
}  // namespace quarn::sprites
