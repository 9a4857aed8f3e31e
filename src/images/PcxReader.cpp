#include <algorithm>
#include <cstring>

#include "formats/ByteReader.h"
#include "formats/Pcx.h"
#include "images/Image.h"
#include "images/LoadStop.h"

namespace quarn::images {

using formats::TByteReader;
namespace pcx = formats::pcx;

namespace {

// Expands the run-length stream one scan line at a time. A run may go on past the end of a
// line (some writers do that): what is left of it starts the next line.
class TRunDecoder {
public:
  explicit TRunDecoder(TBytes packed) : FPacked(packed) {}

  // Fills line completely; false when the stream ends first.
  bool Line(std::span<uint8_t> line)
  {
    size_t filled = 0;
    while (filled < line.size()) {
      if (FRepeat == 0 && !Next()) return false;
      const size_t n = std::min(FRepeat, line.size() - filled);
      std::memset(line.data() + filled, FValue, n);
      filled += n;
      FRepeat -= n;
    }
    return true;
  }

private:
  bool Next()
  {
    if (FAt >= FPacked.size()) return false;
    const uint8_t b = FPacked[FAt++];
    if ((b & pcx::RunMark) != pcx::RunMark) {
      FValue = b;
      FRepeat = 1;
      return true;
    }
    if (FAt >= FPacked.size()) return false;
    FValue = FPacked[FAt++];
    FRepeat = b & pcx::RunCountMask;  // may be 0: a run of nothing
    return true;
  }

  TBytes FPacked;
  size_t FAt = 0;
  uint8_t FValue = 0;
  size_t FRepeat = 0;
};

}  // namespace

TDecodeResult DecodePCX(TBytes data, TImage& image, std::string* reason)
{
  static const std::string PaletteMissing =
      "PCX palette at the end of the file is missing or cut short";
  static const std::string DataCut = "PCX pixel data is cut short";
  TByteReader in(data);
  const uint8_t maker = in.U8At(pcx::Manufacturer);
  const uint8_t encoding = in.U8At(pcx::Encoding);
  const uint8_t bits = in.U8At(pcx::Bits);
  const uint8_t planes = in.U8At(pcx::Planes);
  const uint16_t xMin = in.U16At(pcx::XMin), yMin = in.U16At(pcx::YMin);
  const uint16_t xMax = in.U16At(pcx::XMax), yMax = in.U16At(pcx::YMax);
  const uint16_t bytesPerLine = in.U16At(pcx::BytesPerLine);
  if (in.Failed() || !in.Has(0, pcx::HeaderSize)) return Refusal(reason, "PCX header is cut short");
  if (maker != pcx::ZSoft) return Refusal(reason, "not a PCX file");
  if (encoding != pcx::RunLength)
    return Refusal(reason, "unsupported PCX encoding " + std::to_string(encoding));
  if (bits != 8)
    return Refusal(reason, "unsupported PCX depth of " + std::to_string(bits) + " bits per plane");
  if (planes != 1 && planes != 3)
    return Refusal(reason, "unsupported PCX plane count " + std::to_string(planes));
  if (xMax < xMin || yMax < yMin) return Refusal(reason, "PCX image has no pixels");
  const size_t width = size_t(xMax - xMin) + 1;
  const size_t height = size_t(yMax - yMin) + 1;
  if (bytesPerLine < width)
    return Refusal(reason, "PCX line length is shorter than the image width");
  if (uint64_t(width) * height > MaxImagePixels) return Refusal(reason, "PCX image is too large");

  // Indexed images end with their palette; the scan lines stop before it.
  TBytes palette;
  size_t packedEnd = data.size();
  if (planes == 1) {
    if (!in.Has(pcx::HeaderSize, pcx::PaletteTrailer))
      return Refusal(reason, PaletteMissing, TDecodeResult::PaletteShort);
    packedEnd = data.size() - pcx::PaletteTrailer;
    if (in.U8At(packedEnd) != pcx::PaletteMark)
      return Refusal(reason, PaletteMissing, TDecodeResult::PaletteShort);
    palette = in.BytesAt(packedEnd + 1, pcx::PaletteSize);
  }
  const TBytes packed = data.subspan(pcx::HeaderSize, packedEnd - pcx::HeaderSize);

  // Two bytes give at most one longest run: less data cannot hold every line, whatever the
  // header claims, so nothing is allocated for it.
  const size_t lineBytes = size_t(bytesPerLine) * planes;
  const uint64_t most = uint64_t(packed.size() / 2) * pcx::LongestRun + packed.size() % 2;
  if (most < uint64_t(lineBytes) * height)
    return Refusal(reason, DataCut, TDecodeResult::DataShort);

  std::vector<uint8_t> line(lineBytes);
  TTextureImage out(width * height * 3);
  TRunDecoder runs(packed);
  uint8_t* dst = out.data();
  TStopCheck stop;
  for (size_t y = 0; y < height; ++y) {
    if (stop.Stopped(lineBytes)) return Refusal(reason, StoppedReason);
    if (!runs.Line(line)) return Refusal(reason, DataCut, TDecodeResult::DataShort);
    for (size_t x = 0; x < width; ++x) {
      if (planes == 1) {
        const uint8_t* rgb = &palette[size_t(line[x]) * 3];
        *dst++ = rgb[0];
        *dst++ = rgb[1];
        *dst++ = rgb[2];
      } else {
        *dst++ = line[x];
        *dst++ = line[bytesPerLine + x];
        *dst++ = line[2 * size_t(bytesPerLine) + x];
      }
    }
  }

  return TakeOpaqueRGB(image, width, height, std::move(out));
}

}  // namespace quarn::images
