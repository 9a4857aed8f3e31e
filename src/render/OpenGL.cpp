#include "render/OpenGL.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cctype>

namespace quarn::render {

void SetupPixelFormat() { platform::RequestPixelFormat(ProgramPixelFormat()); }

platform::TPixelFormat ProgramPixelFormat()
{
  platform::TPixelFormat format;
  format.DoubleBuffered = DoubleBuffered;
  // ColorBits 16 as 5/5/5: the smallest RGB the visual must have.
  format.RedBits = format.GreenBits = format.BlueBits = 5;
  format.DepthBits = DepthBits;
  format.StencilBits = StencilBits;
  return format;
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

TOpenGL::TOpenGL(platform::TWindowHandle form) : Form(form) {}

TOpenGL::~TOpenGL() { ReleaseContext(); }

void TOpenGL::SetFullScreen(bool value)
{
  FullScreen = value;
  if (value) {
    platform::SetDisplayMode(Form, Width, Height, ColorBits);
    platform::RaiseWindow(Form);
  } else {
    platform::SetDisplayMode(Form, 0, 0, 0);
    platform::SetWindowBordered(Form, true);
  }
}

void TOpenGL::CreateContext()
{
  RC = platform::CreateGLContext(Form);
  MakeCurrent();
}

void TOpenGL::MakeCurrent()
{
  if (Form && RC) platform::MakeGLContextCurrent(Form, RC);
}

void TOpenGL::BeginFrame()
{
  // Nothing draws with the stencil buffer, but it shares its pixels with the depth buffer:
  // clearing both is a plain fill, clearing depth alone a masked rewrite of every pixel.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void TOpenGL::EndFrame() { platform::SwapGLBuffers(Form); }

void TOpenGL::ReleaseContext()
{
  if (FullScreen) platform::SetDisplayMode(Form, 0, 0, 0);
  if (RC) {
    platform::MakeGLContextCurrent(Form, nullptr);
    platform::DeleteGLContext(RC);
    RC = nullptr;
  }
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

images::TFramePixels ReadFramePixels(int32_t width, int32_t height)
{
  images::TFramePixels pixels;
  if (width <= 0 || height <= 0) return pixels;
  pixels.Width = width;
  pixels.Height = height;
  pixels.Rgb.resize(size_t(width) * size_t(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.Rgb.data());
  return pixels;
}

}  // namespace quarn::render
