// How the viewed model is drawn: each style command changes the picture, and switching it off
// again gives back the demo's picture byte for byte.
#include <GL/gl.h>

#include "ViewerFixture.h"
#include "platform/Paths.h"

namespace {

class DrawStyleTest : public ViewerTest {
protected:
  // The scene alone (no console, no overlays), read back before any swap.
  std::vector<uint8_t> Picture()
  {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    form->Bots().MouseLook();
    form->Bots().AdvanceAndDrawBot();
    glFinish();
    std::vector<uint8_t> pixels(size_t(640) * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  static size_t Differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
  {
    size_t count = 0;
    for (size_t i = 0; i < a.size(); i += 3)
      count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return count;
  }
};

TEST_F(DrawStyleTest, EachStyleChangesThePictureAndSwitchedOffGivesTheSamePictureBack)
{
  model = quarn::platform::ExeDir() + "bots/robot/robot.md2";
  View();
  Frames(2, 10);  // framed
  Run("Pause; Step(5)");
  const std::vector<uint8_t> plain = Picture();
  ASSERT_GT(Differing(plain, std::vector<uint8_t>(plain.size(), 0)), 5000u) << "no robot drawn";

  struct TStyle {
    const char* On;
    const char* Off;
    size_t MinChanged;  // pixels the style must change at least
  };
  constexpr TStyle Styles[] = {
      {"Smooth(true)", "Smooth(false)", 5000},
      {"Wireframe(true)", "Wireframe(false)", 2000},
      {"Filter('nearest')", "Filter('linear')", 200},
      {"FieldOfView(45)", "FieldOfView(30)", 5000},
  };
  for (const TStyle& style : Styles) {
    Run(style.On);
    const std::vector<uint8_t> on = Picture();
    EXPECT_GE(Differing(plain, on), style.MinChanged) << style.On;
    Run(style.Off);
    EXPECT_EQ(Differing(plain, Picture()), 0u) << style.Off;
  }
}

TEST_F(DrawStyleTest, BackgroundAndBadValuesOfTheStyleCommands)
{
  View();
  EXPECT_THAT(Run("Background(0, 0, 64)"), ::testing::IsEmpty());
  Frames(1, 10);
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[2], 64 / 255.0f);
  struct TBad {
    const char* Line;
    const char* Said;
  };
  constexpr TBad Bad[] = {
      {"Background(0, 300, 0)",
       "Background: 300 is not a colour level 0-255; the background stays"},
      {"Filter('blur')", "Filter: 'blur' is neither 'nearest' nor 'linear'"},
      {"FieldOfView(200)", "FieldOfView 200 is not between 10 and 120 degrees; it stays 30"},
      {"Speed(0)", "Speed 0 is not between 0.1 and 10; it stays 1"},
      {"Speed(0 / 0)", "Speed NAN is not between 0.1 and 10; it stays 1"},
      {"FieldOfView(-1 / 0)", "FieldOfView -INF is not between 10 and 120 degrees; it stays 30"},
  };
  for (const TBad& bad : Bad) EXPECT_EQ(Said(bad.Line), bad.Said);
  EXPECT_FLOAT_EQ(form->Bots().Style().Background[2], 64 / 255.0f);
  EXPECT_FALSE(form->Bots().Style().NearestFilter);
}

}  // namespace
