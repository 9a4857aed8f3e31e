#pragma once
// A hidden 640 x 480 window with an RGBA8 double-buffered GL context, and pixel reads in
// window coordinates (y downwards from the top, as the font and console place text).
#include <gtest/gtest.h>

#include <SDL.h>
#include <GL/gl.h>

#include <cstdint>
#include <string>

#include "ImageFiles.h"

namespace quarn::render::testing {

class GlTest : public ::testing::Test {
protected:
  static constexpr int Width = 640;
  static constexpr int Height = 480;

  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Colour of the back-buffer pixel at (x, y), y counted from the top row.
  static Rgba Pixel(int x, int y);
  static bool Lit(int x, int y);
  // Leftmost and rightmost lit column of window row y (-1, -1 when dark).
  static std::pair<int, int> LitSpan(int y);
  // A temporary directory for files the test writes.
  std::string TempDir() const { return Dir; }

private:
  static SDL_Window* Window;
  static SDL_GLContext Context;
  std::string Dir;
};

// The test font image: every cell fully opaque, cell (col, row) of the glyph grid coloured
// CellColor(col, row) (alpha left 0, as Pixel reads it), so a drawn glyph tells which cell it
// came from. Stored like the generated font, upside down: grid row 0 is the image's bottom.
Rgba CellColor(int col, int row);
Bytes MakeCellFont();

}  // namespace quarn::render::testing
