#pragma once
// On-disk layout of WAL textures: a 100-byte header, then four mip levels of palette indices,
// each half the size of the one before. The palette is a separate file of 256 R, G, B entries
// without header. All values are little-endian.
#include <cstddef>
#include <cstdint>

namespace quarn::formats::wal {

inline constexpr size_t HeaderSize = 100;
inline constexpr size_t Name = 0;  // char[32], zero-padded
inline constexpr size_t NameSize = 32;
inline constexpr size_t Width = 32;       // u32, pixels of level 0
inline constexpr size_t Height = 36;      // u32
inline constexpr size_t MipOffsets = 40;  // 4 x u32; not consulted, level 0 follows the header
inline constexpr size_t MipLevels = 4;
inline constexpr size_t AnimName = 56;      // char[32], next frame of an animated texture
inline constexpr size_t Flags = 88;         // u32 flags, contents, value (88, 92, 96)
inline constexpr size_t PaletteSize = 768;  // the palette file: 256 x R, G, B

}  // namespace quarn::formats::wal
