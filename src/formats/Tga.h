#pragma once
// On-disk layout of TGA files. All values are little-endian; offsets are from the start of the
// file. The writer here only makes uncompressed true colour; the reader takes every kind below.
#include <cstddef>
#include <cstdint>

namespace quarn::formats::tga {

//   offset  size
//   0       u8    id length: bytes of image ID right after the header (skipped)
//   1       u8    colour map type: 0 none, 1 a colour map follows the image ID
//   2       u8    image type (below)
//   3       u16   first colour map entry: the index of the map's first entry
//   5       u16   colour map length, entries
//   7       u8    colour map entry size, bits: 15, 16 (5-5-5 B, G, R), 24 (B, G, R), 32 (B, G, R,
//   A) 8       u16   x origin, 10 u16 y origin: screen position, not consulted 12      u16   width,
//   pixels 14      u16   height, pixels 16      u8    bits per pixel: indices 8 or 16; true colour
//   15, 16, 24, 32; grey 8 or 16
//                 (grey, alpha)
//   17      u8    descriptor: alpha bits (low 4); bit 5 set: the top row is stored first,
//                 clear: the bottom row is; bit 4 set: each row from right to left
//   18            image ID, colour map, then width x height pixels row after row, no padding;
//                 run-length types pack them in packets (below) that may cross row ends
inline constexpr size_t HeaderSize = 18;
// The first 12 bytes of the files written here: no image ID, no colour map, uncompressed true
// colour, origin 0.
inline constexpr uint8_t RequiredStart[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline constexpr size_t IdLength = 0;      // u8
inline constexpr size_t MapType = 1;       // u8
inline constexpr size_t ImageType = 2;     // u8
inline constexpr size_t MapFirst = 3;      // u16
inline constexpr size_t MapLength = 5;     // u16
inline constexpr size_t MapEntryBits = 7;  // u8
inline constexpr size_t Width = 12;        // u16, pixels
inline constexpr size_t Height = 14;       // u16, pixels
inline constexpr size_t Bits = 16;         // u8
inline constexpr size_t Descriptor = 17;   // u8

// Image types; the run-length kinds are the plain ones plus RunLengthFlag.
inline constexpr uint8_t ColorMapped = 1;
inline constexpr uint8_t TrueColor = 2;
inline constexpr uint8_t Grey = 3;
inline constexpr uint8_t RunLengthFlag = 8;

inline constexpr uint8_t MapPresent = 1;        // colour map type
inline constexpr uint8_t AlphaBitsMask = 0x0F;  // descriptor
inline constexpr uint8_t AlphaBits8 = 8;  // descriptor of a 32-bit file: 8 alpha bits, bottom-up
inline constexpr uint8_t RightToLeft = 0x10;  // descriptor bit: rows stored from the right
inline constexpr uint8_t TopRowFirst = 0x20;  // descriptor bit: rows stored from the top down

// A 15- or 16-bit pixel or map entry: u16 with 5 bits each of blue (low), green, red, then the
// attribute bit, which is alpha when the descriptor gives alpha bits.
inline constexpr uint16_t Attribute16 = 0x8000;

// A run-length packet starts with one byte: its low 7 bits + 1 pixels follow, as one pixel
// repeated (high bit set) or as that many raw pixels.
inline constexpr uint8_t RunPacket = 0x80;
inline constexpr uint8_t PacketCountMask = 0x7F;
inline constexpr size_t LongestPacket = 128;  // pixels

}  // namespace quarn::formats::tga
