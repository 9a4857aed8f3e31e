#include <GL/gl.h>

#include <memory>
#include <stdexcept>

#include "GlFixture.h"
#include "images/Image.h"
#include "render/GLFont.h"

namespace quarn::render {
namespace {

using namespace images;

using testing::CellColor;
using testing::Rgba;

class GLFontTest : public testing::GlTest {
protected:
  void SetUp() override
  {
    GlTest::SetUp();
    const std::string path = TempDir() + "/cells.tga";
    testing::WriteFile(path, testing::MakeCellFont());
    Font = std::make_unique<TGLFont>(path);
    Font->Width = Width;
    Font->Height = Height;
  }
  void TearDown() override
  {
    Font.reset();
    GlTest::TearDown();
  }

  // The glyph drawn for character ch of a set: its cell's colour.
  static Rgba Glyph(unsigned char ch, int set)
  {
    const int g = ch - 32 + 128 * set;
    return CellColor(g % 16, g / 16);
  }

  std::unique_ptr<TGLFont> Font;
};

TEST_F(GLFontTest, CellThirtySeventeenStartsAtPixel480_408AndIs16By32)
{
  Font->Print(30, 17, "A", 1);
  EXPECT_TRUE(Lit(480, 408));
  EXPECT_FALSE(Lit(479, 408));
  EXPECT_FALSE(Lit(480, 407));
  EXPECT_TRUE(Lit(495, 439));
  EXPECT_FALSE(Lit(496, 439));
  EXPECT_FALSE(Lit(495, 440));
  EXPECT_EQ(Pixel(488, 424), Glyph('A', 1));
}

TEST_F(GLFontTest, StringOfNCharactersSpans14TimesNMinusOnePlus16)
{
  for (const int n : {1, 2, 7, 20}) {
    glClear(GL_COLOR_BUFFER_BIT);
    Font->Print(1, 2, std::string(size_t(n), 'x'), 1);
    const auto [first, last] = LitSpan(2 * 24 + 16);
    EXPECT_EQ(first, 16) << n;
    EXPECT_EQ(last - first + 1, 14 * (n - 1) + 16) << n;
  }
}

TEST_F(GLFontTest, GlyphSetsChooseTheImageHalf)
{
  Font->Print(0, 0, " ", 1);  // glyph 128: the top-left cell of the lower half
  EXPECT_EQ(Pixel(8, 16), CellColor(0, 8));
  Font->Print(0, 2, " ", 0);  // glyph 0: the top-left cell of the image
  EXPECT_EQ(Pixel(8, 48 + 16), CellColor(0, 0));
  Font->Print(0, 4, "~", 7);  // any set above 1 counts as 1
  EXPECT_EQ(Pixel(8, 96 + 16), Glyph('~', 1));
  Font->Print(0, 6, "Hi", 1);
  EXPECT_EQ(Pixel(8, 144 + 16), Glyph('H', 1));
  EXPECT_EQ(Pixel(14 + 9, 144 + 16), Glyph('i', 1));
}

TEST_F(GLFontTest, BytesWithoutAGlyphDrawNothingAndDoNotAdvance)
{
  Font->Print(0, 0, "\x01Z", 0);  // below 32 in set 0
  EXPECT_EQ(Pixel(8, 16), Glyph('Z', 0));
  Font->Print(0, 3, "\xA0Z", 1);  // 160 and above in set 1
  EXPECT_EQ(Pixel(8, 72 + 16), Glyph('Z', 1));
  EXPECT_FALSE(Lit(14 + 15, 72 + 16));
}

TEST_F(GLFontTest, PrintLeavesItsStateAndAWhiteColour)
{
  glEnable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  Font->Width = 320;
  Font->Height = 240;
  Font->Print(2, 1, "", 1);  // draws nothing, still sets everything up
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 240);
  GLfloat color[4];
  glGetFloatv(GL_CURRENT_COLOR, color);
  for (const GLfloat c : color) EXPECT_FLOAT_EQ(c, 1.0f);
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  EXPECT_FLOAT_EQ(float(projection[0]), 2.0f / 320);
  EXPECT_FLOAT_EQ(float(projection[5]), -2.0f / 240);
  GLdouble modelview[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  EXPECT_DOUBLE_EQ(modelview[12], 32);  // translated to the cell, then scaled 1 x 2
  EXPECT_DOUBLE_EQ(modelview[13], 24);
  EXPECT_DOUBLE_EQ(modelview[5], 2);
  GLint listBase = 0;
  glGetIntegerv(GL_LIST_BASE, &listBase);
  EXPECT_EQ(GLuint(listBase), Font->Base() + 128 - 32);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));  // blending and depth test are the caller's
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  glDisable(GL_DEPTH_TEST);
}

TEST_F(GLFontTest, MissingOrBrokenImageRaisesCouldNotLoadFontTexture)
{
  const std::string broken = TempDir() + "/broken.tga";
  testing::WriteFile(broken, testing::Bytes(40, 0));
  for (const std::string& path : {TempDir() + "/none.tga", broken}) {
    try {
      TGLFont font(path);
      ADD_FAILURE() << path;
    } catch (const std::exception& e) {
      EXPECT_STREQ(e.what(), "Could not load font texture");
    }
  }
}

// The generated font image: the TGA header the reader takes, empty space and control cells,
// ink only in the lower 12 rows of a cell (the part of a text row no other row overlaps), and
// text that reads on screen.
TEST_F(GLFontTest, GeneratedFontImage)
{
  testing::Bytes file;
  ASSERT_TRUE(ReadWholeFile(QUARN_FONT_FILE, file));
  TImage image;
  ASSERT_EQ(DecodeTGA(file, image), TDecodeResult::Ok);
  ASSERT_EQ(image.Width, 256);
  ASSERT_EQ(image.Height, 256);
  ASSERT_EQ(image.BitsPerPixel, 32);
  auto alpha = [&](int x, int yFromTop) {
    return image.Pixels[(size_t(yFromTop) * 256 + x) * 4 + 3];
  };
  auto ink = [&](int glyph, int rowFrom, int rowTo) {
    int total = 0;
    for (int y = rowFrom; y <= rowTo; ++y)
      for (int x = 0; x < 16; ++x) total += alpha(glyph % 16 * 16 + x, glyph / 16 * 16 + y);
    return total;
  };
  for (const int set : {0, 1}) {
    EXPECT_EQ(ink(128 * set + 0, 0, 15), 0);  // space
    for (const char ch : std::string("AZaz09@#")) EXPECT_GT(ink(128 * set + ch - 32, 4, 15), 0);
    for (int g = 128 * set; g < 128 * set + 128; ++g) {
      EXPECT_EQ(ink(g, 0, 3), 0) << g;
      if (g % 128 + 32 >= 127) {
        EXPECT_EQ(ink(g, 0, 15), 0) << g;
      }
    }
  }

  TGLFont font(QUARN_FONT_FILE);
  font.Width = Width;
  font.Height = Height;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  font.Print(30, 17, "FPS:0", 1);
  const auto [first, last] = LitSpan(408 + 16);
  EXPECT_GE(first, 480);
  EXPECT_LE(last, 480 + 14 * 4 + 15);
  EXPECT_GT(last - first, 40);
}

}  // namespace
}  // namespace quarn::render
