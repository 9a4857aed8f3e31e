#pragma once
// On-disk layout of BMP files: file header, information header, colour table, pixel rows
// padded to 4 bytes. All values are little-endian.
#include <cstddef>
#include <cstdint>

namespace quarn::formats::bmp {

// File header, at offset 0.
inline constexpr size_t FileHeaderSize = 14;
inline constexpr size_t Signature = 0;    // "BM"
inline constexpr size_t FileSize = 2;     // u32, whole file; not relied on
inline constexpr size_t Reserved = 6;     // 2 x u16, 0
inline constexpr size_t DataOffset = 10;  // u32, first pixel row, from the start of the file

// Information header, at FileHeaderSize; offsets inside it.
inline constexpr size_t InfoHeaderSize = 40;   // the smallest information header taken
inline constexpr size_t InfoSize = 0;          // u32, size of this header (40, 108, 124)
inline constexpr size_t Width = 4;             // i32, pixels
inline constexpr size_t Height = 8;            // i32, > 0 bottom row first, < 0 top row first
inline constexpr size_t Planes = 12;           // u16, 1
inline constexpr size_t BitCount = 14;         // u16, 8, 24 or 32 taken
inline constexpr size_t Compression = 16;      // u32, BI_RGB or (32 bits) BI_BITFIELDS
inline constexpr size_t ImageSize = 20;        // u32, bytes of pixel rows; may be 0 for BI_RGB
inline constexpr size_t XPelsPerMeter = 24;    // i32, not consulted
inline constexpr size_t YPelsPerMeter = 28;    // i32, not consulted
inline constexpr size_t ColorsUsed = 32;       // u32, colour table entries; 0 = all for 8 bits
inline constexpr size_t ColorsImportant = 36;  // u32, not consulted
inline constexpr size_t Masks = 40;            // 3 x u32 red, green, blue (BI_BITFIELDS)
inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t BI_BITFIELDS = 3;

// The colour table follows the information header (and, for a 40-byte header with
// BI_BITFIELDS, the three masks).
inline constexpr size_t ColorEntrySize = 4;  // B, G, R, reserved

}  // namespace quarn::formats::bmp
