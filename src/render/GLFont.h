#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "render/Texture.h"

namespace quarn::render {

// Screen-space text from a font image holding a 16 x 16 grid of glyphs: glyphs 0..127 (upper
// half of the image) are glyph set 0, 128..255 (lower half) set 1; glyph k of a set is the
// character k + 32. Text sits on a grid of cells 16 pixels wide and 24 high; a glyph is drawn
// 16 x 32 pixels and the pen advances 14 pixels.
class TGLFont {
public:
  // Loads the image with the TGA reader and compiles one display list per glyph; throws
  // std::runtime_error("Could not load font texture") when the image cannot be loaded.
  explicit TGLFont(const std::string& fileName);
  ~TGLFont();  // frees the texture and the 256 lists
  TGLFont(const TGLFont&) = delete;
  TGLFont& operator=(const TGLFont&) = delete;

  // Draws text at cell (col, row), origin at the top-left of the Width x Height viewport.
  // Leaves the viewport, both matrices, the bound texture, the list base and the current
  // colour (white) changed; depth testing and blending are the caller's.
  void Print(int32_t col, int32_t row, const char* text, uint32_t glyphSet);
  void Print(int32_t col, int32_t row, const std::string& text, uint32_t glyphSet)
  {
    Print(col, row, text.c_str(), glyphSet);
  }

  int32_t Width = 0;   // drawing viewport in pixels; set by the console's Prepare
  int32_t Height = 0;

  uint32_t Base() const { return FBase; }
  uint32_t TextureName() const { return FTexture->GetID(); }

private:
  std::unique_ptr<TTexture> FTexture;
  uint32_t FBase = 0;
  int8_t FColor[4] = {127, 127, 127, 127};  // signed-byte colour: opaque white
};

}  // namespace quarn::render
