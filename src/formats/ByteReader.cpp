#include "formats/ByteReader.h"

namespace quarn::formats {

void TByteReader::Seek(uint64_t offset)
{
  if (Fits(offset, 0)) FPosition = static_cast<size_t>(offset);
}

TByteSpan TByteReader::BytesAt(uint64_t offset, uint64_t count) const
{
  if (!Fits(offset, count)) return {};
  return FData.subspan(static_cast<size_t>(offset), static_cast<size_t>(count));
}

// Cursor reads: the value at the cursor, then the cursor moves past it when it fitted.
uint8_t TByteReader::U8()
{
  if (!Has(FPosition, 1)) return U8At(FPosition);
  FPosition += 1;
  return U8At(FPosition - 1);
}

uint16_t TByteReader::U16()
{
  if (!Has(FPosition, 2)) return U16At(FPosition);
  FPosition += 2;
  return U16At(FPosition - 2);
}

uint32_t TByteReader::U32()
{
  if (!Has(FPosition, 4)) return U32At(FPosition);
  FPosition += 4;
  return U32At(FPosition - 4);
}

float TByteReader::F32() { return std::bit_cast<float>(U32()); }

TByteSpan TByteReader::Bytes(uint64_t count)
{
  if (!Has(FPosition, count)) return BytesAt(FPosition, count);
  FPosition += static_cast<size_t>(count);
  return BytesAt(FPosition - count, count);
}

}  // namespace quarn::formats
