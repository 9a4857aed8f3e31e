// Any bytes as a PCX file: the decoder returns a result and never reads outside the data.
#include <cstddef>
#include <cstdint>

#include "render/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  quarn::render::TImage image;
  if (quarn::render::DecodePCX(quarn::render::TBytes(data, size), image) ==
      quarn::render::TDecodeResult::Ok) {
    const size_t expected =
        size_t(image.Width) * size_t(image.Height) * size_t(image.BytesPerPixel());
    if (image.Pixels.size() != expected) __builtin_trap();
  }
  return 0;
}
