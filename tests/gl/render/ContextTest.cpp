#include <gtest/gtest.h>

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>

#include "platform/HiddenGLWindow.h"
#include "render/OpenGL.h"

using namespace quarn::render;

namespace {

// A hidden 640x480 window with the program's pixel format and its TOpenGL context.
class ContextTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    std::string reason;
    ASSERT_TRUE(window.Create(640, 480, ProgramPixelFormat(), reason, false)) << reason;
    gl = std::make_unique<TOpenGL>(window.Handle());
    gl->CreateContext();
    ASSERT_TRUE(gl->HasContext()) << SDL_GetError();
  }
  void TearDown() override
  {
    gl.reset();
    window.Release();
  }

  quarn::platform::THiddenGLWindow window;
  std::unique_ptr<TOpenGL> gl;
};

TEST_F(ContextTest, ContextIsCurrentWithTheRequestedBuffers)
{
  EXPECT_EQ(SDL_GL_GetCurrentContext(), SDL_GL_GetCurrentContext());
  EXPECT_NE(SDL_GL_GetCurrentContext(), nullptr);
  GLint depth = 0, stencil = 0, red = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  glGetIntegerv(GL_STENCIL_BITS, &stencil);
  glGetIntegerv(GL_RED_BITS, &red);
  EXPECT_GE(depth, DepthBits);
  EXPECT_GE(stencil, StencilBits);
  EXPECT_GE(red, 5);
  EXPECT_FALSE(GetRendererString().empty());
}

TEST_F(ContextTest, BeginFrameClearsToBlackWithDepthOne)
{
  glClearColor(1, 1, 1, 1);  // the frame must not depend on a clear colour set elsewhere...
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 0);  // ...but the program never sets one: black is the default
  gl->BeginFrame();
  std::array<unsigned char, 4> pixel{9, 9, 9, 9};
  glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
  EXPECT_EQ(pixel[0], 0);
  EXPECT_EQ(pixel[1], 0);
  EXPECT_EQ(pixel[2], 0);
  float depth = 0;
  glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_FLOAT_EQ(depth, 1.0f);
}

TEST_F(ContextTest, ViewVolumeLoadsPerspectiveAndViewport)
{
  TViewVolume volume;
  volume.ViewportWidth = 640;
  volume.ViewportHeight = 480;
  volume.NearPlane = 1.0;
  volume.FarPlane = 1000.0;
  volume.Apply();

  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_PROJECTION);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);

  // The perspective matrix computed independently: f = cot(fov / 2).
  double m[16];
  glGetDoublev(GL_PROJECTION_MATRIX, m);
  const double f = 1.0 / std::tan(30.0 / 2 * M_PI / 180.0);
  const double aspect = static_cast<double>(640.0f / 480.0f);
  EXPECT_NEAR(m[0], f / aspect, 1e-5);
  EXPECT_NEAR(m[5], f, 1e-5);
  EXPECT_NEAR(m[10], (1000.0 + 1.0) / (1.0 - 1000.0), 1e-5);
  EXPECT_NEAR(m[11], -1.0, 1e-9);
  EXPECT_NEAR(m[14], 2 * 1000.0 * 1.0 / (1.0 - 1000.0), 1e-5);
  EXPECT_NEAR(m[15], 0.0, 1e-9);
}

TEST_F(ContextTest, ReleasingTwiceReleasesOnce)
{
  gl->ReleaseContext();
  EXPECT_FALSE(gl->HasContext());
  gl->ReleaseContext();  // and the destructor a third time
  EXPECT_FALSE(gl->HasContext());
}

}  // namespace
