#include <gtest/gtest.h>

#include <array>

#include "sprites/PixelFilters.h"

namespace quarn::sprites {
namespace {

using TRgba = std::array<uint8_t, 4>;

// A w x h RGBA frame of `pixels` given from the top row down (the frame keeps rows bottom up).
images::TFramePixels Frame(int32_t w, int32_t h, const std::vector<TRgba>& pixels)
{
  images::TFramePixels frame;
  frame.Width = w, frame.Height = h, frame.Alpha = true;
  for (int32_t row = h - 1; row >= 0; --row)
    for (int32_t x = 0; x < w; ++x) {
      const TRgba& p = pixels[size_t(row * w + x)];
      frame.Rgb.insert(frame.Rgb.end(), p.begin(), p.end());
    }
  return frame;
}

TRgba At(const images::TFramePixels& frame, int32_t x, int32_t yFromTop)
{
  const uint8_t* p = &frame.Rgb[(size_t(frame.Height - 1 - yFromTop) * frame.Width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

constexpr TRgba Clear{0, 0, 0, 0}, Skin{200, 40, 20, 255}, White{255, 255, 255, 0};

struct TDownCase {
  const char* Name;
  int32_t Factor, Width, Height;
  std::vector<TRgba> Pixels;    // top row first
  std::vector<TRgba> Expected;  // top row first
};

TEST(PixelFilters, DownFilterWeightsColourByAlpha)
{
  const TDownCase cases[] = {
      {"a half-covered block keeps the model's colour at half alpha",
       2,
       2,
       2,
       {Skin, Clear, Clear, Skin},
       {{200, 40, 20, 128}}},
      {"a transparent block is clear whatever its colour",
       2,
       2,
       2,
       {White, White, White, White},
       {Clear}},
      {"an opaque block is the plain average",
       2,
       2,
       2,
       {{10, 20, 30, 255}, {30, 40, 50, 255}, {50, 60, 70, 255}, {70, 80, 91, 255}},
       {{40, 50, 60, 255}}},
      {"partial alphas weight the colour",
       2,
       2,
       2,
       {{100, 0, 0, 255}, {200, 0, 0, 85}, Clear, White},
       {{125, 0, 0, 85}}},
      {"blocks side by side stay apart; a remainder is left out",
       2,
       5,
       2,
       {Skin, Skin, Clear, Clear, Skin, Skin, Skin, Clear, Clear, Skin},
       {Skin, Clear}},
      {"blocks one above the other stay apart",
       2,
       2,
       4,
       {Skin, Skin, Skin, Skin, Clear, Clear, Clear, Clear},
       {Skin, Clear}},
      {"one sample in sixteen",
       4,
       4,
       4,
       {White,
        White,
        White,
        White,
        White,
        {255, 255, 255, 255},
        White,
        White,
        White,
        White,
        White,
        White,
        White,
        White,
        White,
        White},
       {{255, 255, 255, 16}}},
      {"factor 1 leaves the frame as it is", 1, 2, 1, {White, Skin}, {White, Skin}},
  };
  for (const TDownCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const images::TFramePixels small = DownFilter(Frame(c.Width, c.Height, c.Pixels), c.Factor);
    const int32_t width = c.Width / c.Factor;
    ASSERT_EQ(small.Width, width);
    ASSERT_EQ(small.Height, c.Height / c.Factor);
    for (size_t i = 0; i < c.Expected.size(); ++i)
      EXPECT_EQ(At(small, int32_t(i) % width, int32_t(i) / width), c.Expected[i]) << i;
  }
}

TEST(PixelFilters, OutlineFillsADiscOutsideTheAlpha)
{
  constexpr int32_t Size = 13, Centre = 6, Width = 3;
  constexpr uint8_t Green[3] = {0, 255, 0};
  std::vector<TRgba> pixels(Size * Size, {9, 9, 9, 0});
  pixels[Centre * Size + Centre] = Skin;
  pixels[Centre * Size + Centre + 1] = {255, 0, 0, 128};  // half over the outline
  pixels[0] = Skin;  // at a corner: the outline is cut off by the frame's edge
  images::TFramePixels frame = Frame(Size, Size, pixels);
  DrawOutline(frame, Width, Green);
  for (int32_t y = 0; y < Size; ++y)
    for (int32_t x = 0; x < Size; ++x) {
      SCOPED_TRACE(testing::Message() << "(" << x << ", " << y << ")");
      const auto near = [&](int32_t cx, int32_t cy) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= Width * Width;
      };
      const TRgba p = At(frame, x, y);
      if ((x == Centre && y == Centre) || (x == 0 && y == 0))
        EXPECT_EQ(p, Skin);
      else if (x == Centre + 1 && y == Centre)
        EXPECT_EQ(p, (TRgba{128, 127, 0, 255}));
      else if (near(Centre, Centre) || near(0, 0))
        EXPECT_EQ(p, (TRgba{0, 255, 0, 255}));
      else if (near(Centre + 1, Centre))  // the largest alpha within reach is the half one
        EXPECT_EQ(p, (TRgba{0, 255, 0, 128}));
      else
        EXPECT_EQ(p[3], 0);
    }
}

}  // namespace
}  // namespace quarn::sprites
