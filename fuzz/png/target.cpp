// Any bytes as a PNG file: the decoder returns a result, never reads outside the data and
// never leaves through a jump.
#include <cstddef>
#include <cstdint>
#include <string>

#include "images/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  quarn::images::TImage image;
  std::string reason;
  const auto result = quarn::images::DecodePNG(quarn::images::TBytes(data, size), image, &reason);
  if (result == quarn::images::TDecodeResult::Ok) {
    const size_t expected =
        size_t(image.Width) * size_t(image.Height) * size_t(image.BytesPerPixel());
    if (image.Pixels.size() != expected) __builtin_trap();
  } else if (reason.empty()) {
    __builtin_trap();
  }
  return 0;
}
