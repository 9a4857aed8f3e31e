#pragma once
#include <cstdint>

// On-disk layout of RIFF WAVE files. All integers are little-endian.
//
//   "RIFF" u32 size-of-rest "WAVE"       12-byte header; the size is not relied upon
//   then chunks, each:  char id[4]; u32 size; size bytes; after an odd size, one pad byte
//     (some writers leave the pad byte out: the next chunk header follows at once)
//     "fmt "  the wave format record below (16 bytes or more)
//     "data"  the PCM sample bytes
//   other chunks ("LIST", "fact", ...) are skipped.
namespace quarn::formats::riff {

constexpr uint32_t FourCC(const char (&id)[5])
{
  return static_cast<uint32_t>(static_cast<uint8_t>(id[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(id[3])) << 24;
}

constexpr uint32_t Riff = FourCC("RIFF");
constexpr uint32_t Wave = FourCC("WAVE");
constexpr uint32_t Fmt = FourCC("fmt ");
constexpr uint32_t Data = FourCC("data");

constexpr int HeaderSize = 12;      // "RIFF", size, "WAVE"
constexpr int ChunkHeaderSize = 8;  // id, size

// Whether four bytes (read as a little-endian u32) can be a chunk id: four printable ASCII
// characters, as every id is ("fmt ", "LIST", "id3 "). A pad byte (normally 0) cannot start one.
constexpr bool IsChunkId(uint32_t id)
{
  for (int i = 0; i < 4; ++i) {
    const uint32_t c = (id >> (8 * i)) & 0xFF;
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// The wave format record (WAVEFORMATEX) as stored in a "fmt " chunk; PCM files may stop after
// wBitsPerSample (16 bytes).
struct TWaveFormatEx {
  uint16_t wFormatTag;       // 1: integer PCM
  uint16_t nChannels;        // 1 mono, 2 stereo (interleaved left, right)
  uint32_t nSamplesPerSec;   // frames per second
  uint32_t nAvgBytesPerSec;  // nSamplesPerSec * nBlockAlign
  uint16_t nBlockAlign;      // bytes per frame: nChannels * wBitsPerSample / 8
  uint16_t wBitsPerSample;   // 8 (unsigned) or 16 (signed)
  uint16_t cbSize;           // bytes of extra format data that follow; 0 for PCM
};
constexpr int PCMFormatSize = 16;     // the record without cbSize
constexpr int WaveFormatExSize = 18;  // the whole record, as written by us
constexpr uint16_t FormatPCM = 1;

// Decodes the first 16 (or 18) bytes of a format record; false when it is shorter than 16.
bool DecodeFormat(const void* data, int size, TWaveFormatEx& format);

// The 18-byte record of an integer PCM format.
void EncodePCMFormat(uint8_t (&out)[WaveFormatExSize], int channels, int rate, int bits);

}  // namespace quarn::formats::riff
