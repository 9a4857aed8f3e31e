#pragma once
// On-disk layout of PCX images: a 128-byte header, run-length encoded scan lines, and for
// 256-colour images a palette at the very end of the file. All values are little-endian;
// offsets are from the start of the file.
#include <cstddef>
#include <cstdint>

namespace quarn::formats::pcx {

//   offset  size
//   0       u8    manufacturer: 0x0A
//   1       u8    version: 5 for files with a 256-colour palette; not consulted
//   2       u8    encoding: 1 (run-length)
//   3       u8    bits per pixel in each plane: 8 taken
//   4       u16   x min, y min, x max, y max: the window, bounds included
//   12      u16   horizontal, vertical resolution (dpi); not consulted
//   16      48    16-colour palette (R, G, B); not used by 8-bit images
//   64      u8    reserved, 0
//   65      u8    planes: 1 (palette indices) or 3 (red, green, blue)
//   66      u16   bytes per line of one plane: at least the width, usually even (a padding
//                 byte ends odd-width lines)
//   68      u16   palette interpretation, 70 u16 x 2 screen size; not consulted
//   74      54    filler
//   128           scan lines, top row first; each is every plane's bytes-per-line bytes in
//                 turn (red, green, blue), run-length encoded as one stream
//   size - 769    u8 0x0C, then 256 x R, G, B: the palette of 1-plane 8-bit images
inline constexpr size_t HeaderSize = 128;
inline constexpr size_t Manufacturer = 0;   // u8
inline constexpr size_t Version = 1;        // u8
inline constexpr size_t Encoding = 2;       // u8
inline constexpr size_t Bits = 3;           // u8, per pixel per plane
inline constexpr size_t XMin = 4;           // u16
inline constexpr size_t YMin = 6;           // u16
inline constexpr size_t XMax = 8;           // u16, inclusive
inline constexpr size_t YMax = 10;          // u16, inclusive
inline constexpr size_t Planes = 65;        // u8
inline constexpr size_t BytesPerLine = 66;  // u16, one plane

inline constexpr uint8_t ZSoft = 0x0A;        // manufacturer byte of every PCX file
inline constexpr uint8_t PaletteVersion = 5;  // version of files with the 256-colour palette
inline constexpr uint8_t RunLength = 1;       // encoding

// A byte with both top bits set starts a run: its low six bits count the copies of the
// next byte. Any other byte stands for itself.
inline constexpr uint8_t RunMark = 0xC0;
inline constexpr uint8_t RunCountMask = 0x3F;
inline constexpr size_t LongestRun = 63;

inline constexpr uint8_t PaletteMark = 0x0C;               // precedes the 256-colour palette
inline constexpr size_t PaletteSize = 768;                 // 256 x R, G, B
inline constexpr size_t PaletteTrailer = 1 + PaletteSize;  // mark and colours, at the end

}  // namespace quarn::formats::pcx
