#pragma once
// On-disk layouts of the image files the texture readers decode, and the one little-endian
// reader they all go through. Internal to the render library.
#include <cstddef>
#include <cstdint>

#include "render/Image.h"

namespace quarn::render {

// TGA: an 18-byte header, then the pixels (no image ID, no colour map).
namespace tga {
inline constexpr size_t HeaderSize = 18;
// The first 12 bytes of every file the reader takes:
//   id length 0, colour map type 0, image type 2 (uncompressed true colour),
//   colour map start/length/depth 0, x origin 0, y origin 0.
inline constexpr uint8_t RequiredStart[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline constexpr size_t Width = 12;       // u16, pixels
inline constexpr size_t Height = 14;      // u16, pixels
inline constexpr size_t Bits = 16;        // u8, 24 (B,G,R) or 32 (B,G,R,A)
inline constexpr size_t Descriptor = 17;  // u8, alpha bits and origin; not consulted
}  // namespace tga

// BMP: file header, information header, colour table, pixel rows padded to 4 bytes.
namespace bmp {
inline constexpr size_t FileHeaderSize = 14;  // "BM", file size, reserved, data offset
inline constexpr size_t DataOffset = 10;      // u32, from the start of the file
inline constexpr size_t InfoHeaderSize = 40;  // the smallest information header taken
// Offsets inside the information header (which starts at FileHeaderSize):
inline constexpr size_t InfoSize = 0;        // u32, size of this header (40, 108, 124)
inline constexpr size_t Width = 4;           // i32, pixels
inline constexpr size_t Height = 8;          // i32, > 0 bottom row first, < 0 top row first
inline constexpr size_t BitCount = 14;       // u16, 8, 24 or 32 taken
inline constexpr size_t Compression = 16;    // u32, BI_RGB or (32 bits) BI_BITFIELDS
inline constexpr size_t ImageSize = 20;      // u32, may be 0 for BI_RGB
inline constexpr size_t ColorsUsed = 32;     // u32, colour table entries; 0 = all for 8 bits
inline constexpr size_t Masks = 40;          // 3 x u32 red, green, blue (BI_BITFIELDS)
inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t BI_BITFIELDS = 3;
inline constexpr size_t ColorEntrySize = 4;  // B, G, R, reserved
}  // namespace bmp

// WAL: a 100-byte header, then four mip levels of palette indices; the palette is a separate
// file of 256 R, G, B entries without header.
namespace wal {
inline constexpr size_t HeaderSize = 100;
inline constexpr size_t Name = 0;         // char[32]
inline constexpr size_t Width = 32;       // u32
inline constexpr size_t Height = 36;      // u32
inline constexpr size_t MipOffsets = 40;  // 4 x u32; not consulted, level 0 follows the header
inline constexpr size_t AnimName = 56;    // char[32]
inline constexpr size_t Flags = 88;       // u32 flags, contents, value (88, 92, 96)
inline constexpr size_t PaletteSize = 768;
}  // namespace wal

// Bounds-checked little-endian reads at absolute offsets. A read that does not fit sets the
// failure flag and yields zeros, so a decoder can read a whole header and check once.
class TByteReader {
public:
  explicit TByteReader(TBytes data) : FData(data) {}

  size_t Size() const { return FData.size(); }
  bool Failed() const { return FFailed; }
  bool Has(uint64_t offset, uint64_t count) const
  {
    return offset <= FData.size() && count <= FData.size() - offset;
  }

  uint8_t U8(uint64_t offset) { return Fits(offset, 1) ? FData[offset] : 0; }
  uint16_t U16(uint64_t offset)
  {
    if (!Fits(offset, 2)) return 0;
    return static_cast<uint16_t>(FData[offset] | FData[offset + 1] << 8);
  }
  uint32_t U32(uint64_t offset)
  {
    if (!Fits(offset, 4)) return 0;
    return uint32_t(FData[offset]) | uint32_t(FData[offset + 1]) << 8 |
           uint32_t(FData[offset + 2]) << 16 | uint32_t(FData[offset + 3]) << 24;
  }
  int32_t I32(uint64_t offset) { return static_cast<int32_t>(U32(offset)); }
  // count bytes at offset, or an empty span (and the failure flag) when they do not fit.
  TBytes Bytes(uint64_t offset, uint64_t count)
  {
    if (!Fits(offset, count)) return {};
    return FData.subspan(offset, count);
  }

private:
  bool Fits(uint64_t offset, uint64_t count)
  {
    if (Has(offset, count)) return true;
    FFailed = true;
    return false;
  }

  TBytes FData;
  bool FFailed = false;
};

}  // namespace quarn::render
