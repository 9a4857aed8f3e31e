#include <GL/gl.h>

#include <array>
#include <cmath>
#include <map>

#include "support/GlWindow.h"
#include "Reference.h"
#include "bots/MD2.h"
#include "bots/MD2Writer.h"
#include "render/Camera.h"
#include "render/Texture.h"
#include "../../unit/bots/TestModels.h"

namespace quarn::bots {
namespace {

// A square of side 2 facing +z, centred at (x, y, 0) in frame 0 and at (-x, -y, 0) in frame 1.
TMD2Content Square(float x, float y)
{
  TMD2Content c;
  c.TexCoords = {{0, 0}, {256, 0}, {256, 256}, {0, 256}};
  c.Triangles = {{{0, 1, 2}, {0, 1, 2}}, {{0, 2, 3}, {0, 2, 3}}};
  for (float sign : {1.0f, -1.0f}) {
    const float cx = sign * x, cy = sign * y;
    c.Frames.push_back(
        QuantizeFrame({render::Vector(cx - 1, cy - 1, 0), render::Vector(cx + 1, cy - 1, 0),
                       render::Vector(cx + 1, cy + 1, 0), render::Vector(cx - 1, cy + 1, 0)},
                      "f"));
  }
  return c;
}

class ModelDraw : public quarn::test::GlWindow {
protected:
  ModelDraw() : GlWindow(96, 96) {}

  void SetUp() override
  {
    GlWindow::SetUp();
    if (IsSkipped()) return;
    Camera.ViewVolume.ViewportWidth = Width;
    Camera.ViewVolume.ViewportHeight = Height;
    Camera.Eye = render::Vector(0, 0, 30);
    Camera.Center = render::Vector(0, 0, 0);
    ASSERT_TRUE(Model.LoadFromFile(Dir.Write("square.md2", WriteMD2(Square(4, 2)))))
        << MD2LastError();
    Model.CurrentFrame = 0;
  }

  // Centre of the lit pixels, window coordinates (y up), after drawing the model alone in white.
  std::array<double, 2> DrawAndFindCentre()
  {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    Camera.Apply();
    Model.Draw();
    glFinish();
    const std::vector<uint8_t> rgb = ReadPixels();
    double sx = 0, sy = 0, n = 0;
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x)
        if (rgb[(size_t(y) * Width + x) * 3] > 128) sx += x + 0.5, sy += y + 0.5, ++n;
    Lit = n;
    return {n ? sx / n : -1, n ? sy / n : -1};
  }

  std::array<double, 2> Expected(double x, double y, double z,
                                 const quarn::test::TMatrix& model = quarn::test::Identity()) const
  {
    const double eye[3] = {0, 0, 30}, center[3] = {0, 0, 0}, up[3] = {0, 1, 0};
    const quarn::test::TMatrix view =
        quarn::test::Multiply(quarn::test::Multiply(quarn::test::LookAt(eye, center, up),
                                                    quarn::test::Rotation(Camera.Turn, 0, 0, 1)),
                              model);
    const double p[3] = {x, y, z};
    return quarn::test::Project(quarn::test::Perspective(30, 1, 1, 100), view, p, Width, Height);
  }

  void ExpectAt(const std::array<double, 2>& actual, const std::array<double, 2>& expected)
  {
    EXPECT_NEAR(actual[0], expected[0], 0.6);
    EXPECT_NEAR(actual[1], expected[1], 0.6);
  }

  test::TTempDir Dir;
  render::TTargetCamera Camera;
  TMD2 Model;
  double Lit = 0;
};

TEST_F(ModelDraw, KeyframeLandsWhereTheCameraProjectsIt)
{
  ExpectAt(DrawAndFindCentre(), Expected(4, 2, 0));
  EXPECT_GT(Lit, 20);
  Model.CurrentFrame = 1;
  ExpectAt(DrawAndFindCentre(), Expected(-4, -2, 0));
}

TEST_F(ModelDraw, FractionHalfLandsHalfwayBetweenTheKeyframes)
{
  Model.PreviousFrame = 0;
  Model.CurrentFrame = 1;
  Model.Fraction = 0.5f;
  ExpectAt(DrawAndFindCentre(), Expected(0, 0, 0));
  Model.Fraction = 0.25f;
  ExpectAt(DrawAndFindCentre(), Expected(2, 1, 0));
}

TEST_F(ModelDraw, TurnActsFirstAndScaleAppliesToThePositionToo)
{
  Camera.Turn = 90;
  ExpectAt(DrawAndFindCentre(), Expected(4, 2, 0));
  Camera.Turn = 0;
  Model.Scale = render::Vector(0.5f, 0.5f, 0.5f);
  Model.Position = render::Vector(4, 0, 0);
  Model.Rotation = render::Vector(0, 0, 90);
  const quarn::test::TMatrix transform = quarn::test::Multiply(
      quarn::test::Multiply(quarn::test::Scaling(0.5, 0.5, 0.5), quarn::test::Translation(4, 0, 0)),
      quarn::test::Rotation(90, 0, 0, 1));
  ExpectAt(DrawAndFindCentre(), Expected(4, 2, 0, transform));
}

TEST_F(ModelDraw, FramesPastTheEndDrawTheLastFrame)
{
  Model.SetAnimation(15);  // 191..198, the file has 2 frames
  ExpectAt(DrawAndFindCentre(), Expected(-4, -2, 0));
}

TEST_F(ModelDraw, DrawingLeavesBlendingOffAndTheMatrixAsItWas)
{
  glEnable(GL_BLEND);
  DrawAndFindCentre();
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  float before[16], after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  Model.Draw();
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]);
}

TEST_F(ModelDraw, WithoutASkinTheModelIsOneFlatGreyWhateverTextureIsBound)
{
  // Texturing on and a black-and-white checker bound by someone else, as the console's font
  // would be: none of it may show on a model without a skin.
  const uint8_t checker[] = {0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0};
  GLuint other = 0;
  glGenTextures(1, &other);
  glBindTexture(GL_TEXTURE_2D, other);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, checker);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Camera.Apply();
  for (const bool failedSkin : {false, true}) {
    if (failedSkin) {
      EXPECT_FALSE(Model.LoadSkin(Dir.Write("bad.tga", std::vector<uint8_t>(10, 0x78))));
    }
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 0, 0);
    glBindTexture(GL_TEXTURE_2D, other);
    Model.Draw();
    glFinish();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 0.0f);

    const std::vector<uint8_t> rgb = ReadPixels();
    std::map<std::array<uint8_t, 3>, int> shades;
    for (size_t i = 0; i < rgb.size(); i += 3)
      if (!(rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 255))
        ++shades[{rgb[i], rgb[i + 1], rgb[i + 2]}];
    ASSERT_EQ(shades.size(), 1u) << "failed skin: " << failedSkin;
    const auto& [shade, count] = *shades.begin();
    EXPECT_GT(count, 20);
    EXPECT_EQ(shade[0], shade[1]);
    EXPECT_EQ(shade[1], shade[2]);
    EXPECT_GT(shade[0], 64);
    EXPECT_LT(shade[0], 224);
  }
  glDeleteTextures(1, &other);
}

TEST_F(ModelDraw, ModelThatIsNotLoadedDrawsNothing)
{
  TMD2 empty;
  glClear(GL_COLOR_BUFFER_BIT);
  Camera.Apply();
  empty.BindTexture();
  empty.Draw();
  const std::vector<uint8_t> rgb = ReadPixels();
  for (uint8_t v : rgb) ASSERT_EQ(v, 0);
}

}  // namespace
}  // namespace quarn::bots

namespace quarn::bots {
namespace {

class ModelSkin : public quarn::test::GlWindow {};

TEST_F(ModelSkin, SecondSkinReplacesTextureZeroAndAFailedOneLeavesAnEmptyTexture)
{
  const std::string dir = QUARN_ROBOT_DIR "/";
  TMD2 model;
  model.BindTexture();  // no skin: nothing happens
  ASSERT_TRUE(model.LoadSkin(dir + "robot.tga"));
  const render::TTexture* first = model.GetTexture(0);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first->GetID(), 0u);
  EXPECT_EQ(first->Width, 512);
  ASSERT_TRUE(model.LoadSkin(dir + "robot.bmp"));
  EXPECT_EQ(model.GetTexture(0)->Width, 512);
  EXPECT_EQ(model.GetTexture(1), nullptr);
  model.BindTexture();
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(GLuint(bound), model.GetTexture(0)->GetID());
  ASSERT_TRUE(model.LoadSkin(dir + "robot.wal"));
  EXPECT_FALSE(model.LoadSkin(dir + "missing.tga"));
  ASSERT_NE(model.GetTexture(0), nullptr);
  EXPECT_EQ(model.GetTexture(0)->GetID(), 0u);
}

}  // namespace
}  // namespace quarn::bots
