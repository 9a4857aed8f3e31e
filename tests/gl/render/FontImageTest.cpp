// The generated font image: the console's blinking cursor '_' must show as a solid bar.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int Size = 256, Cell = 16, Header = 18;

TEST(FontImage, TheCursorGlyphIsASolidBarAboveTheCellsLastRow)
{
  std::ifstream in(QUARN_FONT_FILE, std::ios::binary);
  const std::vector<unsigned char> tga{std::istreambuf_iterator<char>(in), {}};
  ASSERT_EQ(tga.size(), size_t(Header + Size * Size * 4));
  for (int set = 0; set < 2; ++set) {
    const int glyph = set * 128 + ('_' - 32);
    const int cellX = glyph % 16 * Cell, cellY = glyph / 16 * Cell;
    auto alpha = [&](int x, int y) {  // y from the image's top; the file holds the bottom row first
      return tga[size_t(Header + ((Size - 1 - (cellY + y)) * Size + cellX + x) * 4 + 3)];
    };
    int solidRows = 0;
    for (int y = 0; y < Cell; ++y) {
      int full = 0;
      for (int x = 0; x < Cell; ++x) full += alpha(x, y) == 255;
      solidRows += full >= 6;
    }
    EXPECT_GE(solidRows, 2) << "glyph set " << set;
    for (int x = 0; x < Cell; ++x) EXPECT_EQ(alpha(x, Cell - 1), 0) << "glyph set " << set;
  }
}

}  // namespace
