#pragma once
// On-disk layout of PNG files, as far as this system reads it itself (libpng decodes the rest):
// an 8-byte signature, then chunks of a 4-byte length, a 4-byte type, the data and a 4-byte
// CRC. Numbers are big-endian.
#include <cstddef>
#include <cstdint>

namespace quarn::formats::png {

inline constexpr size_t SignatureSize = 8;
inline constexpr size_t ChunkHeaderSize = 8;  // length, type
inline constexpr size_t ChunkCrcSize = 4;
inline constexpr uint32_t MaxChunkLength = 0x7FFFFFFF;

// IHDR, the first chunk: its data offsets.
inline constexpr size_t IhdrWidth = 0;       // u32
inline constexpr size_t IhdrHeight = 4;      // u32
inline constexpr size_t IhdrBitDepth = 8;    // u8: 1, 2, 4, 8 or 16 bits a sample
inline constexpr size_t IhdrColourType = 9;  // u8: see SamplesPerPixel
inline constexpr size_t IhdrSize = 13;

// Samples a pixel of each colour type: grey, -, RGB, palette index, grey + alpha, -, RGBA.
inline constexpr uint8_t SamplesPerPixel[7] = {1, 0, 3, 1, 2, 0, 4};

// Deflate codes at most 258 bytes in two bits: no compressed stream expands further.
inline constexpr uint64_t MaxDeflateRatio = 258 * 4;

}  // namespace quarn::formats::png
