#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quarn::formats {

using TByteSpan = std::span<const uint8_t>;

// Bounds-checked little-endian reads over a span of bytes, either at the cursor (which then
// moves past what was read) or at an absolute offset (which leaves the cursor alone). A read
// that does not fit sets the failure flag, yields zeros and leaves the cursor where it was, so
// a decoder can read a whole header and check once. The reader owns no bytes; reads at an
// offset are const (only the failure flag, a record of what was asked, changes).
class TByteReader {
public:
  TByteReader() = default;
  explicit TByteReader(TByteSpan data) : FData(data) {}
  TByteReader(const void* data, size_t size)
      : FData(static_cast<const uint8_t*>(data), data ? size : 0)
  {
  }

  size_t Size() const { return FData.size(); }
  size_t Position() const { return FPosition; }
  size_t Remaining() const { return FPosition < FData.size() ? FData.size() - FPosition : 0; }
  bool Failed() const { return FFailed; }
  // Whether count bytes at offset lie inside the data (never sets the failure flag).
  bool Has(uint64_t offset, uint64_t count) const
  {
    return offset <= FData.size() && count <= FData.size() - offset;
  }

  // Moves the cursor; an offset past the end fails and leaves the cursor where it was.
  void Seek(uint64_t offset);
  void Skip(uint64_t count) { Seek(uint64_t(FPosition) + count); }

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  int16_t I16() { return static_cast<int16_t>(U16()); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  float F32();  // IEEE single precision
  // count bytes at the cursor, or an empty span when they do not fit.
  TByteSpan Bytes(uint64_t count);

  // Inline: decoders read every field of a table through these.
  uint8_t U8At(uint64_t offset) const { return Fits(offset, 1) ? FData[offset] : 0; }
  uint16_t U16At(uint64_t offset) const
  {
    if (!Fits(offset, 2)) return 0;
    return static_cast<uint16_t>(FData[offset] | FData[offset + 1] << 8);
  }
  uint32_t U32At(uint64_t offset) const
  {
    if (!Fits(offset, 4)) return 0;
    return uint32_t(FData[offset]) | uint32_t(FData[offset + 1]) << 8 |
           uint32_t(FData[offset + 2]) << 16 | uint32_t(FData[offset + 3]) << 24;
  }
  int16_t I16At(uint64_t offset) const { return static_cast<int16_t>(U16At(offset)); }
  int32_t I32At(uint64_t offset) const { return static_cast<int32_t>(U32At(offset)); }
  float F32At(uint64_t offset) const { return std::bit_cast<float>(U32At(offset)); }
  // count bytes at offset, or an empty span when they do not fit.
  TByteSpan BytesAt(uint64_t offset, uint64_t count) const;

private:
  bool Fits(uint64_t offset, uint64_t count) const
  {
    if (Has(offset, count)) return true;
    FFailed = true;
    return false;
  }

  TByteSpan FData;
  size_t FPosition = 0;
  mutable bool FFailed = false;
};

}  // namespace quarn::formats
