// The console and the overlays drawn through TGLFont and TConsole against the same text drawn
// glyph by glyph through the font's display lists (one glCallLists per string, as the lists
// were first meant to be used) over the console's whole backdrop: both pictures must be
// byte-identical, in every blending and depth state the main window's frame draws text in.
// Over a frame cleared to black the console is told only where the frame drew (the demo
// robot's area and the FPS row), as the main window tells it, and draws its backdrop only there.
#include <GL/gl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "GlFixture.h"
#include "bots/MD2.h"
#include "render/Camera.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "render/Texture.h"

namespace quarn::render {
namespace {

constexpr int GlyphsPerSet = 128;
constexpr int FirstCharacter = 32;

// Text through the display lists: the reference picture.
void ListPrint(TGLFont& font, int32_t col, int32_t row, const char* text, uint32_t glyphSet)
{
  if (glyphSet > 1) glyphSet = 1;
  glViewport(0, 0, font.Width, font.Height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, font.Width, font.Height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBindTexture(GL_TEXTURE_2D, font.TextureName());
  glColor4b(127, 127, 127, 127);
  glTranslated(double(col) * 16, double(row) * 24, 0);
  glListBase(font.Base() + glyphSet * GlyphsPerSet - FirstCharacter);
  glScalef(1, 2, 1);
  glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
  glColor4b(127, 127, 127, 127);
}

void ListDrawConsole(TGLFont& font, const TConsole& console)
{
  EnableBlending();
  const auto& lines = console.Lines();
  const size_t visible = size_t(console.VisibleLines);
  const size_t first = lines.size() > visible ? lines.size() - visible : 0;
  console.DrawBackdrop(int32_t(lines.size() - first));  // the console's own panel, then text
  for (size_t i = first; i < lines.size(); ++i) {
    std::string text = lines[i];
    if (i + 1 == lines.size() && console.CursorOn()) text += "_";
    ListPrint(font, 0, int32_t(i - first), text.c_str(), 1);
  }
}

// How the frame leaves the state the first overlay is drawn in.
enum class TBefore { Robot, FirstFrame, LaterFrame, NoDepthTest, DemoRobot };

struct TFrameCase {
  const char* Name;
  TBefore Before;
  bool BlackClear = false;  // else a dark blue the backdrop changes everywhere
  float CameraDistance = 200;
};

// A stand-in for the robot: smooth-shaded triangles, blending off, whose depth crosses the
// text's (0.5) so that part of the text lies behind them and part in front.
void DrawModel()
{
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBegin(GL_TRIANGLES);
  glColor3f(0.8f, 0.2f, 0.1f);
  glVertex3f(-0.9f, 0.95f, -0.6f);
  glColor3f(0.1f, 0.7f, 0.3f);
  glVertex3f(0.3f, 0.9f, 0.8f);
  glColor3f(0.2f, 0.3f, 0.9f);
  glVertex3f(-0.4f, -0.9f, 0.1f);
  glColor3f(0.6f, 0.6f, 0.1f);
  glVertex3f(0.2f, -0.3f, 0.5f);
  glColor3f(0.9f, 0.9f, 0.9f);
  glVertex3f(0.95f, -0.95f, -0.5f);
  glColor3f(0.3f, 0.1f, 0.6f);
  glVertex3f(0.7f, -0.2f, 0.2f);
  glEnd();
  glEnable(GL_TEXTURE_2D);
  glColor4b(127, 127, 127, 127);
}

// Everything a user sees in the console: start-up text, every printable character, bytes
// without a glyph, tabs, a wrapped error and a partly typed line with the cursor.
void FillConsole(TConsole& console)
{
  console.VisibleLines = 10;
  console.Add("Welcome to Quarn, an animated 3D demo.");
  console.Add("LoadBot('bots/robot/robot.bot')");
  std::string printable;
  for (int c = 32; c < 127; ++c) printable += char(c);
  console.Add(printable.substr(0, 39));
  console.Add(printable.substr(39, 39));
  console.Add(printable.substr(78) + "\t\x01\x1f\x7f\x80\x9f\xa0\xff|end");
  console.AddWrapped(
      "Syntax error: Unknown identifier 'Fooo' at line 1, position 12; expected \"end\" or ';'");
  console.Add("__||__WW@@MMmm##");
  console.Prepare();
  for (const char c : std::string("Wait(1.5); Say(\"Hi\")")) console.KeyChar(c);
  console.SetOpen(true);
  console.Blink();
}

class TextPicture : public testing::GlTest, public ::testing::WithParamInterface<TFrameCase> {
protected:
  void SetUp() override
  {
    GlTest::SetUp();
    Font = std::make_unique<TGLFont>(QUARN_FONT_FILE);
    Console = std::make_unique<TConsole>(Font.get());
    Console->Width = Width;
    Console->Height = Height;
    FillConsole(*Console);
  }
  void TearDown() override
  {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    Console.reset();
    Font.reset();
    GlTest::TearDown();
  }

  // One frame: clear, the model, the FPS overlay, the console, the frame-number overlay.
  // The demo robot and its weapon through the main window's camera; the area they may cover.
  TScreenArea DrawDemoRobot()
  {
    bots::TMD2 body, weapon;
    const std::string robot = QUARN_BIN_DIR "/bots/robot/";
    EXPECT_TRUE(body.LoadFromFile(robot + "robot.md2") &&
                weapon.LoadFromFile(robot + "weapon.md2"));
    EXPECT_TRUE(body.LoadSkin(robot + "robot.tga") && weapon.LoadSkin(robot + "weapon.jpg"));
    TTargetCamera camera;
    camera.ViewVolume.ViewportWidth = Width;
    camera.ViewVolume.ViewportHeight = Height;
    camera.ViewVolume.NearPlane = 1;
    camera.ViewVolume.FarPlane = 1000;
    camera.LookAtFirst = true;
    camera.Eye = Vector(-GetParam().CameraDistance, GetParam().CameraDistance / 2, 0);
    camera.Center = Vector(0, 30, 0);
    camera.Rotation = Vector(-90, 23, 0);
    camera.Apply();
    TScreenArea drawn;
    for (bots::TMD2* model : {&body, &weapon}) {
      model->Active = true;
      model->SetAnimation(1);
      model->Update(100);
      model->Update(200);
      model->BindTexture();
      model->Draw();
      drawn = drawn.United(model->DrawnArea());
    }
    EnableBlending();
    return drawn;
  }

  std::vector<uint8_t> Frame(bool throughLists)
  {
    if (GetParam().BlackClear)
      glClearColor(0, 0, 0, 0);
    else
      glClearColor(0.05f, 0.1f, 0.15f, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    glEnable(GL_DEPTH_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    TScreenArea drawn;  // where the frame drew before the console, as the window tells it
    switch (GetParam().Before) {
      case TBefore::DemoRobot: drawn = DrawDemoRobot(); break;
      case TBefore::Robot: DrawModel(); break;
      case TBefore::FirstFrame:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
      case TBefore::LaterFrame: EnableBlending(); break;
      case TBefore::NoDepthTest:
        DrawModel();
        glDisable(GL_DEPTH_TEST);
        EnableBlending();
        break;
    }
    if (throughLists) {
      ListPrint(*Font, 30, 17, "FPS:987", 1);
      ListDrawConsole(*Font, *Console);
      ListPrint(*Font, 0, 17, "Frame:123", 1);
    } else {
      Font->Print(30, 17, "FPS:987", 1);
      Console->SceneArea =
          GetParam().BlackClear ? drawn.United(Font->RowArea(17)) : TScreenArea::Everything();
      Console->Draw();
      Font->Print(0, 17, "Frame:123", 1);
    }
    std::vector<uint8_t> pixels(size_t(Width) * Height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  std::unique_ptr<TGLFont> Font;
  std::unique_ptr<TConsole> Console;
};

TEST_P(TextPicture, IsByteIdenticalToTheGlyphListPicture)
{
  const std::vector<uint8_t> reference = Frame(true);
  const std::vector<uint8_t> drawn = Frame(false);
  ASSERT_EQ(drawn.size(), reference.size());
  size_t differing = 0, first = 0;
  for (size_t i = 0; i < drawn.size(); ++i)
    if (drawn[i] != reference[i] && differing++ == 0) first = i;
  EXPECT_EQ(differing, 0u) << "first at x " << first / 4 % Width << ", y from the top "
                           << Height - 1 - int(first / 4 / Width);
  // The text is there: many pixels differ from an empty frame's.
  size_t lit = 0;
  for (size_t i = 0; i < drawn.size(); i += 4) lit += drawn[i] > 200 && drawn[i + 1] > 200;
  EXPECT_GT(lit, 2000u);
}

INSTANTIATE_TEST_SUITE_P(Frames, TextPicture,
                         ::testing::Values(TFrameCase{"robot", TBefore::Robot},
                                           TFrameCase{"first_frame", TBefore::FirstFrame},
                                           TFrameCase{"later_frame", TBefore::LaterFrame},
                                           TFrameCase{"no_depth_test", TBefore::NoDepthTest},
                                           TFrameCase{"over_black", TBefore::FirstFrame, true},
                                           TFrameCase{"demo_robot", TBefore::DemoRobot, true},
                                           TFrameCase{"demo_robot_near", TBefore::DemoRobot, true,
                                                      60}),
                         [](const ::testing::TestParamInfo<TFrameCase>& frame) {
                           return std::string(frame.param.Name);
                         });

}  // namespace
}  // namespace quarn::render

namespace quarn::render {
namespace {

class TextState : public testing::GlTest {};

// Print leaves the state the glyph lists leave: the pen after the drawn glyphs (bytes without a
// glyph do not move it, a NUL ends the text), the list base of the set, a white colour.
TEST_F(TextState, PrintLeavesTheStateOfTheGlyphLists)
{
  TGLFont font(QUARN_FONT_FILE);
  font.Width = Width;
  font.Height = Height;
  struct TCase {
    int32_t Col, Row;
    const char* Text;
    uint32_t Set;
  };
  for (const TCase& c : {TCase{0, 0, "", 1}, TCase{3, 2, "Hello", 1}, TCase{1, 5, "a\x01\xa0z", 1},
                         TCase{2, 1, "\x01\x1f Z", 0}, TCase{-2, 30, "x\0yz", 4}}) {
    GLdouble expected[16], actual[16];
    GLint expectedBase = 0, actualBase = 0;
    ListPrint(font, c.Col, c.Row, c.Text, c.Set);
    glGetDoublev(GL_MODELVIEW_MATRIX, expected);
    glGetIntegerv(GL_LIST_BASE, &expectedBase);
    glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
    font.Print(c.Col, c.Row, c.Text, c.Set);
    glGetDoublev(GL_MODELVIEW_MATRIX, actual);
    glGetIntegerv(GL_LIST_BASE, &actualBase);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(float(actual[i]), float(expected[i])) << c.Text;
    EXPECT_EQ(actualBase, expectedBase) << c.Text;
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    for (const GLfloat v : color) EXPECT_FLOAT_EQ(v, 1.0f);
  }
}

}  // namespace
}  // namespace quarn::render
