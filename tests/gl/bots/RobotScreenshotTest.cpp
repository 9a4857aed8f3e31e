// Draws the generated demo robot the way the main window does and saves pictures of it:
// /tmp/quarn_robot.png (standing, with its gun) and /tmp/quarn_robot_sheet.png (one frame,
// two thirds in, of every built-in animation, in table order, six to a row).
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/GlWindow.h"
#include "bots/MD2.h"
#include "render/Camera.h"
#include "render/Texture.h"

namespace quarn::bots {
namespace {

const std::string RobotDir = QUARN_ROBOT_DIR "/";

class RobotScreenshot : public quarn::test::GlWindow {
protected:
  RobotScreenshot() : GlWindow(640, 480) {}

  void SetUp() override
  {
    GlWindow::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(Body.LoadFromFile(RobotDir + "robot.md2")) << MD2LastError();
    ASSERT_TRUE(Weapon.LoadFromFile(RobotDir + "weapon.md2")) << MD2LastError();
    ASSERT_TRUE(Body.LoadSkin(RobotDir + "robot.tga"));
    ASSERT_TRUE(Weapon.LoadSkin(RobotDir + "weapon.jpg"));
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3f(1, 1, 1);
    Camera.ViewVolume.ViewportWidth = Width;
    Camera.ViewVolume.ViewportHeight = Height;
    Camera.ViewVolume.FarPlane = 1000;
    Camera.Eye = render::Vector(-200, 100, 0);
    Camera.Center = render::Vector(0, 30, 0);
    Camera.Rotation = render::Vector(-90, 23, 0);
  }

  void DrawBot(int32_t frame)
  {
    for (TMD2* model : {&Body, &Weapon}) {
      model->CurrentFrame = frame;
      model->PreviousFrame = -1;
      model->BindTexture();
      model->Draw();
      model->AfterDraw();
    }
  }

  // Saves the back buffer as a PNG (through a PPM and ImageMagick); false if that failed.
  bool Save(const std::string& png) const
  {
    const std::vector<uint8_t> rgb = ReadPixels();
    const std::string ppm = png + ".ppm";
    FILE* f = std::fopen(ppm.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", Width, Height);
    for (int y = Height - 1; y >= 0; --y)
      std::fwrite(&rgb[size_t(y) * Width * 3], 1, size_t(Width) * 3, f);
    std::fclose(f);
    const int status =
        std::system(("convert '" + ppm + "' '" + png + "' && rm -f '" + ppm + "'").c_str());
    return status == 0;
  }

  render::TTargetCamera Camera;
  TMD2 Body, Weapon;
};

TEST_F(RobotScreenshot, StandingRobotFillsThePictureWithItsSkin)
{
  glClearColor(0.12f, 0.13f, 0.16f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Camera.Turn = -30;
  Camera.Apply();
  DrawBot(0);
  glFinish();
  const std::vector<uint8_t> rgb = ReadPixels();
  int robot = 0, orange = 0, top = Height, bottom = -1;
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      const uint8_t* p = &rgb[(size_t(y) * Width + x) * 3];
      if (p[0] == 31 && p[1] == 33 && p[2] == 41) continue;  // the clear colour
      ++robot;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      if (p[0] > 150 && p[1] > 60 && p[1] < 140 && p[2] < 60) ++orange;
    }
  EXPECT_GT(robot, Width * Height / 50);
  EXPECT_LT(robot, Width * Height / 2);
  EXPECT_GT(orange, 100);  // shoulder pads, chest frame: the skin is on
  EXPECT_GT(top, 0);       // the whole robot is in view
  EXPECT_LT(bottom, Height - 1);
  EXPECT_TRUE(Save("/tmp/quarn_robot.png"));
}

// A bigger picture for the sheet of all animations.
class RobotSheet : public RobotScreenshot {
protected:
  RobotSheet() { Width = 1020, Height = 720; }
};

TEST_F(RobotSheet, OneFrameOfEveryAnimation)
{
  glClearColor(0.12f, 0.13f, 0.16f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  constexpr int Columns = 6, Rows = 3;
  for (int n = 0; n < Columns * Rows; ++n) {
    const TAnimationRange range = AnimationTable[size_t(n)];
    Camera.ViewVolume.ViewportX = (n % Columns) * Width / Columns;
    Camera.ViewVolume.ViewportY = (Rows - 1 - n / Columns) * Height / Rows;
    Camera.ViewVolume.ViewportWidth = Width / Columns;
    Camera.ViewVolume.ViewportHeight = Height / Rows;
    Camera.Turn = -30;
    Camera.Apply();
    DrawBot(range.Start + (range.End - range.Start) * 2 / 3);
  }
  glFinish();
  EXPECT_TRUE(Save("/tmp/quarn_robot_sheet.png"));
}

}  // namespace
}  // namespace quarn::bots
