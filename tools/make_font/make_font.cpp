// make_font FONT.ttf OUT.tga
//
// Draws the font image: 256 x 256 pixels, a 16 x 16 grid of 16-pixel cells, grey level and
// alpha both = glyph coverage (white text on black: readable also where the caller has
// blending off), written as an uncompressed 32-bit TGA. Glyphs 0..127 (upper half of the grid)
// and 128..255 (lower half) are the two glyph sets; glyph k of a set is the character k + 32.
//
// On screen a cell becomes 16 x 32 pixels, text rows are 24 pixels apart and the pen advances
// 14 pixels, so a glyph is drawn at half its width's scale vertically (an em of 22 x 11 texels
// shows square) and centred in 14 columns. Ink stays in the lower 12 rows of each cell: the
// upper 8 screen pixels of a text row lie under the lower 8 of the row above, which (with
// depth testing on, as the main window has it) hide them where that row has characters. The
// top rows of a cell stay empty also because linear filtering of the stretched cell samples a
// quarter texel into the cell above.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

#include "formats/ByteWriter.h"
#include "formats/Tga.h"

namespace {

constexpr int ImageSize = 256;
constexpr int Cell = 16;
constexpr int Grid = 16;
constexpr int GlyphsPerSet = 128;
constexpr int FirstCharacter = 32;
constexpr int LastPrintable = 126;  // 127..159 are DEL and control codes: left empty
constexpr int PenAdvance = 14;      // pixels per character on screen
constexpr int EmWidth = 22;         // em size in texture pixels, horizontally
constexpr int EmHeight = 11;        // and vertically (drawn twice as tall)
constexpr int Baseline = 13;        // row of the baseline inside a cell, from its top
constexpr int FirstInkRow = 4;      // rows 4..15: the lower 24 screen pixels of a text row
constexpr int LastInkRow = Cell - 1;

// The console's cursor is '_': drawn by the font it would lie on a cell's last row at partial
// coverage, which linear filtering halves again. It gets a solid bar on these rows instead.
constexpr int CursorCharacter = '_';
constexpr int CursorBarRows[] = {Baseline, Baseline + 1};

struct TCanvas {
  std::vector<uint8_t> Alpha = std::vector<uint8_t>(ImageSize * ImageSize, 0);  // top row first
};

void DrawGlyph(FT_Face face, int glyph, int character, TCanvas& canvas)
{
  if (FT_Load_Char(face, static_cast<FT_ULong>(character), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT))
    return;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
  const int cellX = (glyph % Grid) * Cell;
  const int cellY = (glyph / Grid) * Cell;
  const int originX = (PenAdvance - advance) / 2 + slot->bitmap_left;
  const int originY = Baseline - slot->bitmap_top;
  for (unsigned r = 0; r < bitmap.rows; ++r) {
    const int y = originY + static_cast<int>(r);
    if (y < FirstInkRow || y > LastInkRow) continue;
    for (unsigned c = 0; c < bitmap.width; ++c) {
      const int x = originX + static_cast<int>(c);
      if (x < 0 || x >= Cell) continue;
      const uint8_t coverage = bitmap.buffer[static_cast<long>(r) * bitmap.pitch + c];
      uint8_t& out = canvas.Alpha[(cellY + y) * ImageSize + cellX + x];
      if (coverage > out) out = coverage;
    }
  }
  if (character == CursorCharacter) {
    for (int x = 0; x < Cell; ++x) {
      bool inked = false;
      for (int y = 0; y < Cell; ++y) {
        uint8_t& texel = canvas.Alpha[(cellY + y) * ImageSize + cellX + x];
        inked = inked || texel != 0;
        texel = 0;
      }
      if (inked)
        for (int y : CursorBarRows) canvas.Alpha[(cellY + y) * ImageSize + cellX + x] = 255;
    }
  }
}

bool WriteTga(const char* fileName, const TCanvas& canvas)
{
  std::ofstream out(fileName, std::ios::binary);
  std::vector<uint8_t> header;
  quarn::formats::TByteWriter w(header);
  w.Bytes(quarn::formats::tga::RequiredStart);  // uncompressed true colour
  w.U16(uint16_t(ImageSize));
  w.U16(uint16_t(ImageSize));
  w.U8(32);
  w.U8(quarn::formats::tga::AlphaBits8);
  out.write(reinterpret_cast<const char*>(header.data()),
            static_cast<std::streamsize>(header.size()));
  std::vector<uint8_t> row(ImageSize * 4);
  // Bottom-up file: the first row stored is the image's bottom row.
  for (int y = ImageSize - 1; y >= 0; --y) {
    for (int x = 0; x < ImageSize; ++x) {
      uint8_t* p = &row[x * 4];
      p[0] = p[1] = p[2] = p[3] = canvas.Alpha[y * ImageSize + x];  // B, G, R, A
    }
    out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
  }
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_font FONT.ttf OUT.tga\n");
    return 2;
  }
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) || FT_New_Face(library, argv[1], 0, &face)) {
    std::fprintf(stderr, "make_font: cannot open font %s\n", argv[1]);
    return 1;
  }
  FT_Set_Pixel_Sizes(face, EmWidth, EmHeight);

  TCanvas canvas;
  for (int set = 0; set < 2; ++set)
    for (int k = 0; k < GlyphsPerSet; ++k)
      if (k + FirstCharacter <= LastPrintable)
        DrawGlyph(face, set * GlyphsPerSet + k, k + FirstCharacter, canvas);

  FT_Done_Face(face);
  FT_Done_FreeType(library);
  if (!WriteTga(argv[2], canvas)) {
    std::fprintf(stderr, "make_font: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
