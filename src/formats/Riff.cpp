#include "formats/Riff.h"

#include <algorithm>
#include <vector>

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"

namespace quarn::formats::riff {

bool DecodeFormat(const void* data, int size, TWaveFormatEx& format)
{
  if (!data || size < PCMFormatSize) return false;
  TByteReader in(data, static_cast<size_t>(size));
  format.wFormatTag = in.U16();
  format.nChannels = in.U16();
  format.nSamplesPerSec = in.U32();
  format.nAvgBytesPerSec = in.U32();
  format.nBlockAlign = in.U16();
  format.wBitsPerSample = in.U16();
  format.cbSize = size >= WaveFormatExSize ? in.U16() : 0;
  return true;
}

void EncodePCMFormat(uint8_t (&out)[WaveFormatExSize], int channels, int rate, int bits)
{
  const int blockAlign = channels * bits / 8;
  std::vector<uint8_t> record;
  TByteWriter w(record);
  w.U16(FormatPCM);
  w.U16(static_cast<uint16_t>(channels));
  w.U32(static_cast<uint32_t>(rate));
  w.U32(static_cast<uint32_t>(rate * blockAlign));
  w.U16(static_cast<uint16_t>(blockAlign));
  w.U16(static_cast<uint16_t>(bits));
  w.U16(0);  // cbSize
  std::copy(record.begin(), record.end(), out);
}

}  // namespace quarn::formats::riff
