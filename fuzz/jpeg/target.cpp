// Any bytes as a JPEG file: refused, decoded, or a decoding error raised to the caller; the
// process is never ended by the decoder.
#include <cstddef>
#include <cstdint>

#include "render/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  quarn::render::TImage image;
  try {
    if (quarn::render::DecodeJPG(quarn::render::TBytes(data, size), image) ==
            quarn::render::TDecodeResult::Ok &&
        image.Pixels.size() != size_t(image.Width) * size_t(image.Height) * 4)
      __builtin_trap();
  } catch (const quarn::render::EImageError&) {
  }
  return 0;
}
