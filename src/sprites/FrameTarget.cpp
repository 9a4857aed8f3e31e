#define GL_GLEXT_PROTOTYPES 1
#include "sprites/FrameTarget.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

#include "sprites/PixelFilters.h"

namespace quarn::sprites {

namespace {

bool HasVersion(int major, int minor)
{
  const auto* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int haveMajor = 0, haveMinor = 0;
  if (!text || std::sscanf(text, "%d.%d", &haveMajor, &haveMinor) != 2) return false;
  return haveMajor > major || (haveMajor == major && haveMinor >= minor);
}

size_t FrameBytes(int32_t width, int32_t height) { return size_t(width) * size_t(height) * 4; }

}  // namespace

TFrameTarget::~TFrameTarget() { Release(); }

bool TFrameTarget::Create(int32_t width, int32_t height, std::string& reason)
{
  Release();
  // Frame buffer objects and pixel buffers are core from OpenGL 3.0 and 2.1.
  if (!HasVersion(3, 0)) {
    reason = "the OpenGL context has no frame buffer objects (OpenGL 3.0)";
    return false;
  }
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  if (width > largest || height > largest) {
    reason = "the OpenGL context draws at most " + std::to_string(largest) + " pixels a side";
    return false;
  }
  FWidth = width;
  FHeight = height;
  glGenFramebuffers(1, &FFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, FFramebuffer);
  glGenRenderbuffers(1, &FColour);
  glBindRenderbuffer(GL_RENDERBUFFER, FColour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, FColour);
  glGenRenderbuffers(1, &FDepth);
  glBindRenderbuffer(GL_RENDERBUFFER, FDepth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, FDepth);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    reason = "the OpenGL context cannot draw into a " + std::to_string(width) + "x" +
             std::to_string(height) + " frame";
    Release();
    return false;
  }
  glGenBuffers(Slots, FBuffers);
  FBuffered = true;
  for (const GLuint buffer : FBuffers) {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
    glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(FrameBytes(width, height)), nullptr,
                 GL_STREAM_READ);
    FBuffered = FBuffered && buffer != 0 && glGetError() == GL_NO_ERROR;
  }
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return true;
}

void TFrameTarget::Bind()
{
  glBindFramebuffer(GL_FRAMEBUFFER, FFramebuffer);
  glViewport(0, 0, FWidth, FHeight);
}

void TFrameTarget::Unbind() { glBindFramebuffer(GL_FRAMEBUFFER, 0); }

void TFrameTarget::SetCollecting(int32_t factor, const uint8_t clear[4])
{
  FFactor = factor >= 1 && FWidth % factor == 0 && FHeight % factor == 0 ? factor : 1;
  for (int c = 0; c < 4; ++c) FClear[c] = clear[c];
}

void TFrameTarget::StartRead(const render::TScreenArea& drawn)
{
  // The area read is whole blocks of the filter, inside the frame.
  const int32_t f = FFactor;
  render::TScreenArea area = drawn.Crossed({0, 0, FWidth, FHeight});
  area = {area.X0 / f * f, area.Y0 / f * f, (area.X1 + f - 1) / f * f, (area.Y1 + f - 1) / f * f};
  if (area.Empty()) area = {0, 0, f, f};
  const int32_t width = area.X1 - area.X0, height = area.Y1 - area.Y0;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, FFramebuffer);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!FBuffered) {
    FDirect.resize(FrameBytes(width, height));
    glReadPixels(area.X0, area.Y0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, FDirect.data());
    FAreas[0] = area;
    FPending = 1;
    return;
  }
  glBindBuffer(GL_PIXEL_PACK_BUFFER, FBuffers[FNext]);
  glReadPixels(area.X0, area.Y0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  FAreas[FNext] = area;
  FNext = (FNext + 1) % Slots;
  ++FPending;
}

void TFrameTarget::Compose(const uint8_t* read, const render::TScreenArea& area,
                           images::TFramePixels& pixels) const
{
  const int32_t f = FFactor;
  pixels.Width = FWidth / f;
  pixels.Height = FHeight / f;
  pixels.Alpha = true;
  pixels.Rgb.resize(FrameBytes(pixels.Width, pixels.Height));
  uint8_t* out = pixels.Rgb.data();
  const uint32_t clear = uint32_t(FClear[0]) | uint32_t(FClear[1]) << 8 |
                         uint32_t(FClear[2]) << 16 | uint32_t(FClear[3]) << 24;
  if (area.X0 != 0 || area.Y0 != 0 || area.X1 != FWidth || area.Y1 != FHeight)
    for (size_t i = 0; i < pixels.Rgb.size(); i += 4) std::memcpy(out + i, &clear, 4);
  const images::TFramePixels small =
      DownFilter(TPixelView{read, area.X1 - area.X0, area.Y1 - area.Y0, true}, f);
  const size_t row = size_t(small.Width) * 4;
  for (int32_t y = 0; y < small.Height; ++y)
    std::memcpy(out + (size_t(area.Y0 / f + y) * size_t(pixels.Width) + size_t(area.X0 / f)) * 4,
                small.Rgb.data() + size_t(y) * row, row);
}

bool TFrameTarget::Collect(images::TFramePixels& pixels)
{
  if (FPending == 0) return false;
  if (!FBuffered) {
    Compose(FDirect.data(), FAreas[0], pixels);
    FPending = 0;
    return true;
  }
  const int slot = (FNext - FPending + Slots) % Slots;
  --FPending;
  glBindBuffer(GL_PIXEL_PACK_BUFFER, FBuffers[slot]);
  const auto* mapped = static_cast<const uint8_t*>(glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY));
  if (mapped) {
    Compose(mapped, FAreas[slot], pixels);
  } else {
    pixels.Width = FWidth / FFactor;
    pixels.Height = FHeight / FFactor;
    pixels.Alpha = true;
    pixels.Rgb.assign(FrameBytes(pixels.Width, pixels.Height), 0);
  }
  glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return mapped != nullptr;
}

void TFrameTarget::Release()
{
  if (FBuffers[0] || FBuffers[1]) glDeleteBuffers(Slots, FBuffers);
  if (FDepth) glDeleteRenderbuffers(1, &FDepth);
  if (FColour) glDeleteRenderbuffers(1, &FColour);
  if (FFramebuffer) glDeleteFramebuffers(1, &FFramebuffer);
  FBuffers[0] = FBuffers[1] = FDepth = FColour = FFramebuffer = 0;
  FBuffered = false;
  FNext = FPending = 0;
}

}  // namespace quarn::sprites
