#define GL_GLEXT_PROTOTYPES 1
#include "sprites/FrameTarget.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

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

void TFrameTarget::StartRead()
{
  glBindFramebuffer(GL_READ_FRAMEBUFFER, FFramebuffer);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!FBuffered) {
    FDirect.Width = FWidth;
    FDirect.Height = FHeight;
    FDirect.Alpha = true;
    FDirect.Rgb.resize(FrameBytes(FWidth, FHeight));
    glReadPixels(0, 0, FWidth, FHeight, GL_RGBA, GL_UNSIGNED_BYTE, FDirect.Rgb.data());
    FPending = 1;
    return;
  }
  glBindBuffer(GL_PIXEL_PACK_BUFFER, FBuffers[FNext]);
  glReadPixels(0, 0, FWidth, FHeight, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  FNext = (FNext + 1) % Slots;
  ++FPending;
}

bool TFrameTarget::Collect(images::TFramePixels& pixels)
{
  if (FPending == 0) return false;
  pixels.Width = FWidth;
  pixels.Height = FHeight;
  pixels.Alpha = true;
  if (!FBuffered) {
    pixels.Rgb.swap(FDirect.Rgb);
    FPending = 0;
    return true;
  }
  const int slot = (FNext - FPending + Slots) % Slots;
  --FPending;
  pixels.Rgb.resize(FrameBytes(FWidth, FHeight));
  glBindBuffer(GL_PIXEL_PACK_BUFFER, FBuffers[slot]);
  const void* mapped = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY);
  if (mapped)
    std::memcpy(pixels.Rgb.data(), mapped, pixels.Rgb.size());
  else
    std::memset(pixels.Rgb.data(), 0, pixels.Rgb.size());
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
