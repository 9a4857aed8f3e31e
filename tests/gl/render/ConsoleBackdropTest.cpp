// The console over a lit scene: the dark backdrop, the cursor under the caret and the red
// cursor of a full line.
#include <GL/gl.h>

#include <memory>

#include "GlFixture.h"
#include "render/Console.h"
#include "render/GLFont.h"

namespace quarn::render {
namespace {

using testing::Rgba;

class ConsoleOverScene : public testing::GlTest {
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
    Console->VisibleLines = 10;
    Console->Prepare();
    Console->SetOpen(true);
  }
  void TearDown() override
  {
    Console.reset();
    Font.reset();
    GlTest::TearDown();
  }
  static void GreyScene()
  {
    glClearColor(0.5f, 0.5f, 0.5f, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
  }
  static Rgba Glyph(unsigned char ch)
  {
    const int g = ch - 32 + 128;
    return testing::CellColor(g % 16, g / 16);
  }
  // The middle of character column col of the first row.
  static Rgba At(int col) { return Pixel(col * 14 + 8, 12); }

  std::unique_ptr<TGLFont> Font;
  std::unique_ptr<TConsole> Console;
};

TEST_F(ConsoleOverScene, ABackdropDarkensTheSceneBehindTheLinesOnly)
{
  GreyScene();
  Console->Draw();
  const Rgba behind = Pixel(600, 12), below = Pixel(600, 100);
  EXPECT_LT(behind.r, 80) << "behind the lines";
  EXPECT_GT(behind.r, 20) << "translucent";
  EXPECT_EQ(below.r, 128) << "below the last line";
  EXPECT_EQ(behind.a, 0) << "the frame's alpha is left alone";
}

TEST_F(ConsoleOverScene, TheCursorSitsUnderTheCaretAndTurnsRedOnAFullLine)
{
  Console->KeyChar('a');
  Console->KeyChar('b');
  Console->EditKey(TConsoleKey::Left);
  Console->Blink();         // on
  glEnable(GL_DEPTH_TEST);  // as in the program's frames
  Console->Draw();
  glDisable(GL_DEPTH_TEST);
  EXPECT_EQ(At(1), Glyph('a'));
  EXPECT_NE(At(2), Glyph('b')) << "the cursor is drawn on b's cell";
  EXPECT_FALSE(Lit(3 * 14 + 10, 12)) << "and not after the line";

  for (int i = 0; i < 40; ++i) Console->KeyChar('w');
  ASSERT_TRUE(Console->InputFull());
  Console->EditKey(TConsoleKey::End);
  glClear(GL_COLOR_BUFFER_BIT);
  Console->Draw();
  const Rgba white = Glyph('_'), cursor = At(39);
  EXPECT_NEAR(cursor.r, white.r, 2);
  EXPECT_LT(cursor.g, white.g / 3) << "red cursor after a full line";
}

}  // namespace
}  // namespace quarn::render
