// Any bytes as a JPEG file: refused, decoded, or a decoding error raised to the caller; the
// process is never ended by the decoder.
#include <cstddef>
#include <cstdint>

#include "images/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  quarn::images::TImage image;
  try {
    if (quarn::images::DecodeJPG(quarn::images::TBytes(data, size), image) ==
            quarn::images::TDecodeResult::Ok &&
        image.Pixels.size() != size_t(image.Width) * size_t(image.Height) * 4)
      __builtin_trap();
  } catch (const quarn::images::EImageError&) {
  }
  return 0;
}
