#include "GlFixture.h"

#include <filesystem>

namespace quarn::render::testing {

SDL_Window* GlTest::Window = nullptr;
SDL_GLContext GlTest::Context = nullptr;

void GlTest::SetUpTestSuite()
{
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  Window = SDL_CreateWindow("render gl test", 0, 0, Width, Height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  ASSERT_NE(Window, nullptr) << SDL_GetError();
  Context = SDL_GL_CreateContext(Window);
  ASSERT_NE(Context, nullptr) << SDL_GetError();
}

void GlTest::TearDownTestSuite()
{
  if (Context) SDL_GL_DeleteContext(Context);
  if (Window) SDL_DestroyWindow(Window);
  Context = nullptr;
  Window = nullptr;
  SDL_Quit();
}

void GlTest::SetUp()
{
  ASSERT_NE(Context, nullptr);
  SDL_GL_MakeCurrent(Window, Context);
  // The program's fixed state for text: textures on, no depth test, no blending.
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  Dir = (std::filesystem::temp_directory_path() /
         (std::string("quarn_gl_") + info->test_suite_name() + "_" + info->name()))
            .string();
  std::filesystem::create_directories(Dir);
}

void GlTest::TearDown()
{
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  std::filesystem::remove_all(Dir);
}

Rgba GlTest::Pixel(int x, int y)
{
  uint8_t p[4] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, Height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return Rgba{p[0], p[1], p[2], 0};
}

bool GlTest::Lit(int x, int y)
{
  const Rgba p = Pixel(x, y);
  return p.r || p.g || p.b;
}

std::pair<int, int> GlTest::LitSpan(int y)
{
  uint8_t row[Width * 4];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, Height - 1 - y, Width, 1, GL_RGBA, GL_UNSIGNED_BYTE, row);
  int first = -1, last = -1;
  for (int x = 0; x < Width; ++x) {
    if (row[x * 4] || row[x * 4 + 1] || row[x * 4 + 2]) {
      if (first < 0) first = x;
      last = x;
    }
  }
  return {first, last};
}

Rgba CellColor(int col, int row)
{
  return Rgba{uint8_t(8 + col * 15), uint8_t(8 + row * 15), 200, 0};
}

Bytes MakeCellFont()
{
  constexpr int Size = 256;
  Bytes out(18 + Size * Size * 4);
  out[2] = 2;
  out[12] = 0;
  out[13] = 1;
  out[14] = 0;
  out[15] = 1;
  out[16] = 32;
  out[17] = 8;
  size_t at = 18;
  for (int y = Size - 1; y >= 0; --y)  // bottom-up file: grid row 0 is stored last
    for (int x = 0; x < Size; ++x) {
      const Rgba c = CellColor(x / 16, y / 16);
      out[at++] = c.b;
      out[at++] = c.g;
      out[at++] = c.r;
      out[at++] = 255;
    }
  return out;
}

}  // namespace quarn::render::testing
