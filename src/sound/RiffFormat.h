#pragma once
#include <cstdint>
#include <cstring>

// On-disk layout of RIFF WAVE files. All integers are little-endian.
//
//   "RIFF" u32 size-of-rest "WAVE"       12-byte header; the size is not relied upon
//   then chunks, each:  char id[4]; u32 size; size bytes (no pad byte is assumed after odd sizes)
//     "fmt "  the wave format record below (16 bytes or more)
//     "data"  the PCM sample bytes
//   other chunks ("LIST", "fact", ...) are skipped.
namespace quarn::sound::riff {

constexpr uint32_t FourCC(const char (&id)[5])
{
  return static_cast<uint32_t>(static_cast<uint8_t>(id[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(id[3])) << 24;
}

constexpr uint32_t kRiff = FourCC("RIFF");
constexpr uint32_t kWave = FourCC("WAVE");
constexpr uint32_t kFmt = FourCC("fmt ");
constexpr uint32_t kData = FourCC("data");

constexpr int kHeaderSize = 12;       // "RIFF", size, "WAVE"
constexpr int kChunkHeaderSize = 8;   // id, size

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
constexpr int kPCMFormatSize = 16;     // the record without cbSize
constexpr int kWaveFormatExSize = 18;  // the whole record, as written by us
constexpr uint16_t kFormatPCM = 1;

inline uint32_t GetU32(const uint8_t* p)
{
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t GetU16(const uint8_t* p)
{
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline void PutU32(uint8_t* p, uint32_t v)
{
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
inline void PutU16(uint8_t* p, uint16_t v)
{
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// Decodes the first 16 (or 18) bytes of a format record; false when it is shorter than 16.
inline bool DecodeFormat(const void* data, int size, TWaveFormatEx& format)
{
  if (!data || size < kPCMFormatSize) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  format.wFormatTag = GetU16(p);
  format.nChannels = GetU16(p + 2);
  format.nSamplesPerSec = GetU32(p + 4);
  format.nAvgBytesPerSec = GetU32(p + 8);
  format.nBlockAlign = GetU16(p + 12);
  format.wBitsPerSample = GetU16(p + 14);
  format.cbSize = size >= kWaveFormatExSize ? GetU16(p + 16) : 0;
  return true;
}

// The 18-byte record of an integer PCM format.
inline void EncodePCMFormat(uint8_t (&out)[kWaveFormatExSize], int channels, int rate, int bits)
{
  const int blockAlign = channels * bits / 8;
  PutU16(out, kFormatPCM);
  PutU16(out + 2, static_cast<uint16_t>(channels));
  PutU32(out + 4, static_cast<uint32_t>(rate));
  PutU32(out + 8, static_cast<uint32_t>(rate * blockAlign));
  PutU16(out + 12, static_cast<uint16_t>(blockAlign));
  PutU16(out + 14, static_cast<uint16_t>(bits));
  PutU16(out + 16, 0);
}

}  // namespace quarn::sound::riff
