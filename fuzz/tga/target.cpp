// Any bytes as a TGA file: the decoder returns a result and never reads outside the data.
#include <cstddef>
#include <cstdint>
#include <string>

#include "images/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  quarn::images::TImage image;
  std::string reason;
  if (quarn::images::DecodeTGA(quarn::images::TBytes(data, size), image, &reason) ==
      quarn::images::TDecodeResult::Ok) {
    const size_t expected =
        size_t(image.Width) * size_t(image.Height) * size_t(image.BytesPerPixel());
    if (image.Pixels.size() != expected) __builtin_trap();
  } else if (reason.empty()) {
    __builtin_trap();  // every refusal says why
  }
  return 0;
}
