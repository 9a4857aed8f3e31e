// Any bytes as a PCX file: the decoder returns a result and never reads outside the data.
#include <cstddef>
#include <cstdint>

#include "images/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  quarn::images::TImage image;
  if (quarn::images::DecodePCX(quarn::images::TBytes(data, size), image) ==
      quarn::images::TDecodeResult::Ok) {
    const size_t expected =
        size_t(image.Width) * size_t(image.Height) * size_t(image.BytesPerPixel());
    if (image.Pixels.size() != expected) __builtin_trap();
  }
  return 0;
}
