#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::images {

// Pixels read back from the frame buffer: RGB (RGBA when Alpha), rows from the bottom of the
// window up.
struct TFramePixels {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Rgb;
  bool Alpha = false;  // four bytes a pixel, saved with their alpha

  size_t PixelBytes() const { return Alpha ? 4 : 3; }
};

enum class TWriteMode {
  Replace,    // write over an existing file
  CreateNew,  // fail with Exists when the file is there
};

struct TWriteResult {
  enum class TStatus { Written, Exists, Failed } Status = TStatus::Failed;
  std::string Reason;  // why it failed, for a message
};

// Saves the pixels as an 8-bit RGB (or RGBA) PNG, the window's top row first. Only regular files
// are written: a FIFO without a reader, a folder or a device is refused, not waited for. A new file
// is written beside its name and takes it when complete, so an interrupted write leaves nothing;
// anything already of that name is Exists.
TWriteResult WritePNG(const std::string& fileName, const TFramePixels& pixels, TWriteMode mode);

enum class TPngCompression {
  Small,  // the smallest file libpng's usual settings give
  Fast    // several times faster, files a few times larger (many small frames)
};

// The pixels as PNG file contents, as WritePNG writes them; false with `reason` when they
// cannot be encoded.
bool EncodePNG(const TFramePixels& pixels, std::vector<uint8_t>& png, std::string& reason,
               TPngCompression compression = TPngCompression::Small);

}  // namespace quarn::images
