#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quarn::formats {

// Little-endian writes appended to a byte vector the caller owns, plus overwrites at an offset
// for fields whose value is known only later (sizes, offsets). An overwrite past the end grows
// the vector with zeros.
class TByteWriter {
public:
  explicit TByteWriter(std::vector<uint8_t>& out) : FOut(out) {}

  size_t Size() const { return FOut.size(); }

  void U8(uint8_t v) { FOut.push_back(v); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float v);  // IEEE single precision
  void Bytes(std::span<const uint8_t> bytes);
  void Chars(std::string_view text);  // the characters only, no length, no terminator
  // width bytes: the text cut to width - 1 characters, then zeros (always terminated).
  void Text(std::string_view text, size_t width);
  void Zeros(size_t count);
  // Zeros up to a total size of `size` bytes (nothing when the vector is already that long).
  void PadTo(size_t size);

  void U16At(size_t offset, uint16_t v);
  void U32At(size_t offset, uint32_t v);

private:
  std::vector<uint8_t>& FOut;
};

}  // namespace quarn::formats
