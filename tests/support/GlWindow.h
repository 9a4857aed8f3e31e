#pragma once
// A hidden window with a GL context current for the life of the fixture, and helpers to read
// back what was drawn. Tests skip when no display is available.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/HiddenGLWindow.h"

namespace quarn::test {

// The tests' pixel format: 8 bits each of red, green and blue, a 16-bit depth buffer, double
// buffered.
platform::TPixelFormat TestPixelFormat();

class GlWindow : public ::testing::Test {
protected:
  GlWindow(int width = 64, int height = 64) : Width(width), Height(height) {}

  void SetUp() override;
  void TearDown() override { Window.Release(); }

  // RGB rows from the bottom of the window up, as glReadPixels gives them.
  std::vector<uint8_t> ReadPixels() const;

  int Width, Height;
  platform::THiddenGLWindow Window;
};

}  // namespace quarn::test
