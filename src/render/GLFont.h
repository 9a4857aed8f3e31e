#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "render/ScreenArea.h"
#include "render/Texture.h"

namespace quarn::render {

// Viewport and matrices for drawing in window pixels: one unit per pixel, y running down from
// the top edge, x from the left.
void UsePixelSpace(int32_t width, int32_t height);

// The text grid Print places text on: a column is 16 pixels across, a row 24 down.
inline constexpr int32_t TextCellWidth = 16;
inline constexpr int32_t TextCellHeight = 24;

// Screen-space text from a font image holding a 16 x 16 grid of glyphs: glyphs 0..127 (upper
// half of the image) are glyph set 0, 128..255 (lower half) set 1; glyph k of a set is the
// character k + 32. Text sits on a grid of cells 16 pixels wide and 24 high; a glyph is drawn
// 16 x 32 pixels and the pen advances 14 pixels.
//
// Text is drawn in batches: every glyph quad of a batch goes to the driver in one draw call,
// in the order the glyphs were added, so a batch looks exactly like its strings drawn one by one.
// Where the caller's state makes transparent texels change nothing on screen (blending weighted
// by source alpha, modulated or replaced texels), a glyph is drawn only over the part of its
// quad that can show ink, measured from the image at load; with depth testing on, the parts
// of a quad that earlier quads of the same batch cover are left out too, since depth testing
// hid them before. Text of separate batches is taken not to overlap (the main window's
// overlays and console do not).
class TGLFont {
public:
  // Loads the image with the TGA reader and compiles one display list per glyph; throws
  // std::runtime_error("Could not load font texture") when the image cannot be loaded.
  explicit TGLFont(const std::string& fileName);
  ~TGLFont();  // frees the texture and the 256 lists
  TGLFont(const TGLFont&) = delete;
  TGLFont& operator=(const TGLFont&) = delete;

  // Draws text (up to its first NUL) at cell (col, row), origin at the top-left of the
  // Width x Height viewport. Leaves the viewport, both matrices (the model-view at the pen
  // after the text), the bound texture, the list base and the current colour (white) changed;
  // depth testing and blending are the caller's.
  void Print(int32_t col, int32_t row, const char* text, uint32_t glyphSet);
  void Print(int32_t col, int32_t row, const std::string& text, uint32_t glyphSet)
  {
    Print(col, row, text.c_str(), glyphSet);
  }

  // A batch of strings: Add starts a string, Append continues the last one at its pen, and
  // EndBatch draws them all, leaving the state as Print of the last string would. The text
  // given to Add and Append must stay alive until EndBatch.
  void BeginBatch();
  void Add(int32_t col, int32_t row, std::string_view text, uint32_t glyphSet);
  // Add with the pen already moved on by `pen` glyphs, as if that many had been drawn.
  void AddAfter(int32_t col, int32_t row, int32_t pen, std::string_view text, uint32_t glyphSet);
  void Append(std::string_view text);
  void EndBatch();

  // The colour of text drawn from now on, as signed bytes (127 full); opaque white at start.
  void SetColor(const int8_t (&color)[4]) { std::copy(color, color + 4, FColor); }

  int32_t Width = 0;  // drawing viewport in pixels; set by the console's Prepare
  int32_t Height = 0;

  // The window pixels text on the row can touch, across the whole width.
  TScreenArea RowArea(int32_t row) const;

  uint32_t Base() const { return FBase; }
  uint32_t TextureName() const { return FTexture->GetID(); }

private:
  // Pixel rectangle, right and bottom edges excluded.
  struct TRect {
    int32_t X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    bool Empty() const { return X0 >= X1 || Y0 >= Y1; }
  };
  struct TVertex {
    float S, T;  // texture coordinates
    float X, Y;  // window pixels, y downwards
  };
  struct TSegment {
    std::string_view Text;
    int32_t Col, Row;
    uint32_t GlyphSet;
    bool Continues;   // appended to the string before it
    int32_t Pen = 0;  // glyphs the pen starts after
  };
  enum class TFill { Quads, Ink, InkUncovered };

  TFill ChooseFill() const;
  void MeasureInk();
  // Fills FVertices from FSegments; false when a glyph's visible part is too ragged for the
  // cropped form (the caller then sends whole quads).
  bool BuildVertices(TFill fill);
  void Emit(int g, const TRect& quad, const TRect& part);

  std::unique_ptr<TTexture> FTexture;
  uint32_t FBase = 0;
  int8_t FColor[4] = {127, 127, 127, 127};  // signed-byte colour: opaque white
  TRect FInk[256];  // per glyph: the part of its 16 x 32 quad whose texels can hold ink
  // The batch; the capacities are kept from one batch to the next.
  std::vector<TSegment> FSegments;
  std::vector<TVertex> FVertices;
  std::vector<TRect> FStrings;  // quads covered by each string built so far
  // The last string: its cell and set and the glyphs drawn, to leave the pen after it.
  int32_t FCol = 0, FRow = 0;
  uint32_t FGlyphSet = 1;
  int32_t FPen = 0;
};

}  // namespace quarn::render
