#pragma once
// Small image files made in memory for the reader tests.
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::render::testing {

using Bytes = std::vector<uint8_t>;

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

// The test pattern: a distinct colour for every pixel (x, y), y counted from the top row.
Rgba PatternPixel(int x, int y);

// 24- or 32-bit uncompressed TGA, rows in the given order (bottomUp: last pattern row first;
// otherwise the descriptor says the top row is stored first).
Bytes MakeTga(int width, int height, int bits, bool bottomUp = true);

// BMP of 8 (paletted: 256 entries unless colorsUsed), 24 or 32 bits; rows padded to 4 bytes;
// positive height (bottom row first) or negative height (top row first).
struct BmpOptions {
  int Bits = 24;
  bool TopDown = false;
  uint32_t ColorsUsed = 0;
  uint32_t Compression = 0;
  uint32_t InfoSize = 40;
};
Bytes MakeBmp(int width, int height, const BmpOptions& options);
// Palette colour of index i in MakeBmp's 8-bit files; pixel (x, y) has index (x + 7 * y) % 256.
Rgba BmpPaletteColor(int index);
int BmpIndex(int x, int y);

// WAL with indices (x + 3 * y) % 256; palette entry i is (i, 255 - i, i / 2).
Bytes MakeWal(int width, int height);
Bytes MakePalette();

// Baseline JPEG of one flat colour per quadrant (top-left red, top-right green, bottom-left
// blue, bottom-right white), quality 95.
Bytes MakeJpeg(int width, int height);

void WriteFile(const std::string& path, const Bytes& data);

}  // namespace quarn::render::testing
