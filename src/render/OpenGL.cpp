#include "render/OpenGL.h"

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cctype>

// Floating-point environment: on x86-64 the SSE unit does all float and double arithmetic,
// and its default control state already masks every floating-point exception and rounds to
// nearest, which is what the program relies on (infinities and NaNs instead of traps). The
// x87 precision bits have no effect on SSE code, so nothing is set at start-up. Conversions
// that must round to nearest with ties to even use std::nearbyint/std::lrint (the default
// rounding mode) rather than a cast, which truncates.

namespace quarn::render {

void SetupPixelFormat()
{
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, DoubleBuffered ? 1 : 0);
  // ColorBits 16 as 5/5/5: the smallest RGB the visual must have.
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, DepthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, StencilBits);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

void TViewVolume::Apply() const
{
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // The aspect ratio passes through single precision, as the view volume has always done.
  const float aspect = static_cast<float>(static_cast<double>(ViewportWidth) / ViewportHeight);
  gluPerspective(FieldOfView, static_cast<double>(aspect), NearPlane, FarPlane);
  glViewport(ViewportX, ViewportY, ViewportWidth, ViewportHeight);
}

TOpenGL::TOpenGL(SDL_Window* form) : Form(form) {}

TOpenGL::~TOpenGL() { ReleaseContext(); }

void TOpenGL::SetFullScreen(bool value)
{
  FullScreen = value;
  if (value) {
    SetDisplayMode(Form, Width, Height, ColorBits);
    SDL_RaiseWindow(Form);
  } else {
    SetDisplayMode(Form, 0, 0, 0);
    SDL_SetWindowBordered(Form, SDL_TRUE);
  }
}

void TOpenGL::CreateContext()
{
  RC = SDL_GL_CreateContext(Form);
  MakeCurrent();
}

void TOpenGL::MakeCurrent()
{
  if (Form && RC) SDL_GL_MakeCurrent(Form, RC);
}

void TOpenGL::BeginFrame() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void TOpenGL::EndFrame() { SDL_GL_SwapWindow(Form); }

void TOpenGL::ReleaseContext()
{
  if (FullScreen) SetDisplayMode(Form, 0, 0, 0);
  if (RC) {
    SDL_GL_MakeCurrent(Form, nullptr);
    SDL_GL_DeleteContext(RC);
    RC = nullptr;
  }
}

bool SetDisplayMode(SDL_Window* window, int width, int height, int bits)
{
  if (!window) return false;
  if (width == 0 && height == 0 && bits == 0) {
    SDL_SetWindowFullscreen(window, 0);
    return true;
  }
  auto enter = [window](const SDL_DisplayMode& mode) {
    return SDL_SetWindowDisplayMode(window, &mode) == 0 &&
           SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
  };

  // 1. A mode offered exactly as asked.
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  const int count = SDL_GetNumDisplayModes(display);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(display, i, &mode) == 0 && mode.w == width && mode.h == height &&
        static_cast<int>(SDL_BITSPERPIXEL(mode.format)) == bits && enter(mode))
      return true;
  }
  // 2. Fallbacks in order: size and depth as near as offered, depth alone, size alone.
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(display, &desktop) == 0) {
    SDL_DisplayMode wanted = desktop, closest;
    wanted.w = width;
    wanted.h = height;
    if (SDL_GetClosestDisplayMode(display, &wanted, &closest) && enter(closest)) return true;
    if (static_cast<int>(SDL_BITSPERPIXEL(desktop.format)) == bits && enter(desktop)) return true;
    wanted.format = 0;
    if (SDL_GetClosestDisplayMode(display, &wanted, &closest) && enter(closest)) return true;
  }
  // 3. Nothing worked: back to the desktop mode.
  SDL_SetWindowFullscreen(window, 0);
  return false;
}

namespace {

std::string GLString(GLenum name)
{
  const auto* text = reinterpret_cast<const char*>(glGetString(name));
  return text ? std::string(text) : std::string();
}

}  // namespace

std::string GetRendererString() { return GLString(GL_RENDERER); }
std::string GetExtensionsString() { return GLString(GL_EXTENSIONS); }

std::string GetExtension(const std::string& s, int n)
{
  // Positions are 1-based; a space bumps the item count, and the item boundaries are the
  // positions just after the spaces that make the count reach n and n + 1.
  int count = 1, start = 0, end = 0;
  const int length = static_cast<int>(s.size());
  for (int i = 1; i <= length; ++i) {
    if (s[static_cast<size_t>(i - 1)] == ' ') ++count;
    if (count == n) start = i + 1;
    if (count == n + 1) end = i + 1;
  }
  // The length is taken before a start below 1 is moved to 1, as a substring call does.
  int size = end - start;
  if (start < 1) start = 1;
  if (size <= 0 || start > length) return std::string();
  size = std::min(size, length - start + 1);
  return s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(size));
}

int GetExtensionCount(const std::string& s)
{
  auto blank = [](const std::string& item) {
    return std::all_of(item.begin(), item.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
  };
  int i = 0;
  for (;;) {
    const std::string item = GetExtension(s, i);
    if (item.empty() || blank(item)) return i;
    ++i;
  }
}

std::string GetExtension(int n) { return GetExtension(GetExtensionsString(), n); }
int GetExtensionCount() { return GetExtensionCount(GetExtensionsString()); }

}  // namespace quarn::render
