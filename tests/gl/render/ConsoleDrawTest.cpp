#include <GL/gl.h>

#include <memory>

#include "GlFixture.h"
#include "render/Console.h"
#include "render/GLFont.h"

namespace quarn::render {
namespace {

using testing::CellColor;
using testing::Rgba;

class ConsoleDraw : public testing::GlTest {
protected:
  void SetUp() override
  {
    GlTest::SetUp();
    const std::string path = TempDir() + "/cells.tga";
    testing::WriteFile(path, testing::MakeCellFont());
    Font = std::make_unique<TGLFont>(path);
    Console = std::make_unique<TConsole>(Font.get());
    Console->Width = Width;
    Console->Height = Height;
  }
  void TearDown() override
  {
    Console.reset();
    Font.reset();
    GlTest::TearDown();
  }

  static Rgba Glyph(unsigned char ch)
  {
    const int g = ch - 32 + 128;
    return CellColor(g % 16, g / 16);
  }
  // The colour in the middle of character column col of text row row (clear of the
  // neighbouring rows' overlap).
  static Rgba At(int col, int row) { return Pixel(col * 14 + 8, row * 24 + 12); }

  static void ExpectAdditiveBlending()
  {
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE);
  }

  std::unique_ptr<TGLFont> Font;
  std::unique_ptr<TConsole> Console;
};

TEST_F(ConsoleDraw, PrepareSizesTheFontAndFewLinesStartAtRowZero)
{
  Console->Add("A");
  Console->Add("BC");
  Console->Prepare();
  EXPECT_EQ(Font->Width, Width);
  EXPECT_EQ(Font->Height, Height);
  Console->SetOpen(true);
  Console->Draw();
  EXPECT_EQ(At(0, 0), Glyph('A'));
  EXPECT_EQ(At(0, 1), Glyph('B'));
  EXPECT_EQ(At(1, 1), Glyph('C'));
  EXPECT_EQ(At(0, 2), Glyph('>'));
  EXPECT_FALSE(Lit(14 + 15, 2 * 24 + 12));  // no cursor in the off phase
  EXPECT_FALSE(Lit(8, 3 * 24 + 12 + 16));
  ExpectAdditiveBlending();
}

TEST_F(ConsoleDraw, CursorFollowsTheInputLineInTheOnPhase)
{
  Console->Prepare();
  Console->SetOpen(true);
  Console->KeyChar('x');
  Console->Blink();
  Console->Draw();
  EXPECT_EQ(At(0, 0), Glyph('>'));
  EXPECT_EQ(At(1, 0), Glyph('x'));
  EXPECT_EQ(At(2, 0), Glyph('_'));
}

TEST_F(ConsoleDraw, OnlyTheLastVisibleLinesAreDrawn)
{
  Console->VisibleLines = 10;
  for (char c = 'a'; c <= 'l'; ++c) Console->Add(std::string(1, c));  // 12 lines
  Console->Prepare();                                                 // 13 with ">"
  Console->SetOpen(true);
  Console->Draw();
  EXPECT_EQ(At(0, 0), Glyph('d'));
  EXPECT_EQ(At(0, 8), Glyph('l'));
  EXPECT_EQ(At(0, 9), Glyph('>'));
  EXPECT_FALSE(Lit(8, 10 * 24 + 20));
}

TEST_F(ConsoleDraw, ClosedConsoleDrawsNothingButSwitchesToAdditiveBlending)
{
  Console->Add("A");
  Console->Prepare();
  glDisable(GL_BLEND);
  Console->Draw();
  ExpectAdditiveBlending();
  EXPECT_EQ(LitSpan(12).first, -1);
  EXPECT_EQ(LitSpan(24 + 12).first, -1);
}

TEST_F(ConsoleDraw, DrawingIsAdditive)
{
  Console->Add("A");
  Console->Prepare();
  Console->SetOpen(true);
  glClearColor(0.0f, 0.0f, 10 / 255.0f, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 0);
  Console->Draw();
  // Added to the scene as the dark backdrop leaves it: 10 at 45 %.
  const Rgba a = Glyph('A'), drawn = At(0, 0);
  EXPECT_EQ((Rgba{drawn.r, drawn.g, 0, drawn.a}), (Rgba{a.r, a.g, 0, 0}));
  EXPECT_NEAR(drawn.b, a.b + 4.5, 1);
}

}  // namespace
}  // namespace quarn::render
