#pragma once
// On-disk layout of the TGA files read and written here: uncompressed true colour only. All
// values are little-endian; offsets are from the start of the file.
#include <cstddef>
#include <cstdint>

namespace quarn::formats::tga {

//   offset  size
//   0       u8    id length: 0 (no image ID follows the header)
//   1       u8    colour map type: 0 (none)
//   2       u8    image type: 2 (uncompressed true colour)
//   3       5     colour map start, length, depth: 0
//   8       u16   x origin: 0
//   10      u16   y origin: 0
//   12      u16   width, pixels
//   14      u16   height, pixels
//   16      u8    bits per pixel: 24 (B, G, R) or 32 (B, G, R, A)
//   17      u8    descriptor: alpha bits (low 4); bit 5 set: the top row is stored first,
//                 clear: the bottom row is; bit 4 (right to left) is not consulted
//   18            width x height pixels, row after row, no row padding
inline constexpr size_t HeaderSize = 18;
// The first 12 bytes of every file the reader takes.
inline constexpr uint8_t RequiredStart[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline constexpr uint8_t TrueColor = 2;   // image type at offset 2
inline constexpr size_t Width = 12;       // u16, pixels
inline constexpr size_t Height = 14;      // u16, pixels
inline constexpr size_t Bits = 16;        // u8, 24 or 32
inline constexpr size_t Descriptor = 17;  // u8
inline constexpr uint8_t AlphaBits8 = 8;  // descriptor of a 32-bit file: 8 alpha bits, bottom-up
inline constexpr uint8_t TopRowFirst = 0x20;  // descriptor bit: rows stored from the top down

}  // namespace quarn::formats::tga
