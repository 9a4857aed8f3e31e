#include "support/GlWindow.h"

#include <GL/gl.h>

#include <string>

namespace quarn::test {

platform::TPixelFormat TestPixelFormat()
{
  platform::TPixelFormat format;
  format.DoubleBuffered = true;
  format.RedBits = format.GreenBits = format.BlueBits = 8;
  format.DepthBits = 16;
  return format;
}

void GlWindow::SetUp()
{
  std::string reason;
  if (!Window.Create(Width, Height, TestPixelFormat(), reason))
    GTEST_SKIP() << "no GL window: " << reason;
  glReadBuffer(GL_BACK);
  glDrawBuffer(GL_BACK);
}

std::vector<uint8_t> GlWindow::ReadPixels() const
{
  std::vector<uint8_t> rgb(size_t(Width) * Height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, Width, Height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

}  // namespace quarn::test
