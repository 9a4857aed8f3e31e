#pragma once
// A hidden SDL window with a GL context current for the life of the fixture, and helpers to
// read back what was drawn. Tests skip when no display is available.
#include <SDL.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace quarn::test {

class GlWindow : public ::testing::Test {
protected:
  GlWindow(int width = 64, int height = 64) : Width(width), Height(height) {}

  void SetUp() override
  {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no video: " << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    Window = SDL_CreateWindow("quarn-gl-test", 0, 0, Width, Height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!Window) GTEST_SKIP() << "no window: " << SDL_GetError();
    Context = SDL_GL_CreateContext(Window);
    if (!Context) GTEST_SKIP() << "no GL context: " << SDL_GetError();
    SDL_GL_MakeCurrent(Window, Context);
    glReadBuffer(GL_BACK);
    glDrawBuffer(GL_BACK);
  }

  void TearDown() override
  {
    if (Context) SDL_GL_DeleteContext(Context);
    if (Window) SDL_DestroyWindow(Window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  // RGB rows from the bottom of the window up, as glReadPixels gives them.
  std::vector<uint8_t> ReadPixels() const
  {
    std::vector<uint8_t> rgb(size_t(Width) * Height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
  }

  int Width, Height;
  SDL_Window* Window = nullptr;
  SDL_GLContext Context = nullptr;
};

}  // namespace quarn::test
