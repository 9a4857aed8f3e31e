#include "formats/ByteWriter.h"

#include <bit>

namespace quarn::formats {

void TByteWriter::U16(uint16_t v)
{
  U8(static_cast<uint8_t>(v));
  U8(static_cast<uint8_t>(v >> 8));
}

void TByteWriter::U32(uint32_t v)
{
  for (int shift = 0; shift < 32; shift += 8) U8(static_cast<uint8_t>(v >> shift));
}

void TByteWriter::F32(float v) { U32(std::bit_cast<uint32_t>(v)); }

void TByteWriter::Bytes(std::span<const uint8_t> bytes)
{
  FOut.insert(FOut.end(), bytes.begin(), bytes.end());
}

void TByteWriter::Chars(std::string_view text)
{
  FOut.insert(FOut.end(), text.begin(), text.end());
}

void TByteWriter::Text(std::string_view text, size_t width)
{
  for (size_t i = 0; i < width; ++i) U8(i + 1 < width && i < text.size() ? uint8_t(text[i]) : 0);
}

void TByteWriter::Zeros(size_t count) { FOut.resize(FOut.size() + count, 0); }

void TByteWriter::PadTo(size_t size)
{
  if (FOut.size() < size) FOut.resize(size, 0);
}

void TByteWriter::U16At(size_t offset, uint16_t v)
{
  PadTo(offset + 2);
  FOut[offset] = static_cast<uint8_t>(v);
  FOut[offset + 1] = static_cast<uint8_t>(v >> 8);
}

void TByteWriter::U32At(size_t offset, uint32_t v)
{
  PadTo(offset + 4);
  for (int i = 0; i < 4; ++i) FOut[offset + size_t(i)] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace quarn::formats
