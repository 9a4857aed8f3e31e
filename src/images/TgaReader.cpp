#include <array>
#include <string>

#include "formats/ByteReader.h"
#include "formats/Tga.h"
#include "images/Image.h"
#include "images/LoadStop.h"

namespace quarn::images {

using formats::TByteReader;
namespace tga = formats::tga;

namespace {

using TRgba = std::array<uint8_t, 4>;

// How one stored pixel or colour map entry is laid out.
enum class TStored { Index8, Index16, Bgr555, Bgr24, Bgra32, Grey8, GreyAlpha16 };

uint8_t Expand5(unsigned v) { return static_cast<uint8_t>(v << 3 | v >> 2); }

// The colour of a stored true-colour or grey value; attributeAlpha: a 5-5-5 value's top bit
// is its alpha (else it is opaque).
TRgba ColourOf(TStored kind, const uint8_t* p, bool attributeAlpha)
{
  switch (kind) {
    case TStored::Bgr555: {
      const unsigned v = unsigned(p[0]) | unsigned(p[1]) << 8;
      const uint8_t a = !attributeAlpha || (v & tga::Attribute16) ? 255 : 0;
      return {Expand5(v >> 10 & 31), Expand5(v >> 5 & 31), Expand5(v & 31), a};
    }
    case TStored::Bgr24: return {p[2], p[1], p[0], 255};
    case TStored::Bgra32: return {p[2], p[1], p[0], p[3]};
    case TStored::Grey8: return {p[0], p[0], p[0], 255};
    case TStored::GreyAlpha16: return {p[0], p[0], p[0], p[1]};
    case TStored::Index8:
    case TStored::Index16: break;
  }
  return {0, 0, 0, 255};
}

struct TTgaFormat {
  TStored Pixel = TStored::Bgr24;
  size_t PixelBytes = 3;
  bool Alpha = false;  // the decoded image keeps an alpha channel
};

// The stored kind of a true-colour depth or colour map entry size; false for any other.
bool ColourKind(unsigned bits, TStored& kind)
{
  switch (bits) {
    case 15:
    case 16: kind = TStored::Bgr555; return true;
    case 24: kind = TStored::Bgr24; return true;
    case 32: kind = TStored::Bgra32; return true;
    default: return false;
  }
}

// Puts decoded pixels where they belong: pixel i of the file's order goes to the row the
// descriptor says it is, counted from the image's top.
class TPixelSink {
public:
  TPixelSink(TTextureImage& out, size_t width, size_t height, size_t bytes, bool topFirst)
      : FOut(out), FWidth(width), FHeight(height), FBytes(bytes), FTopFirst(topFirst)
  {
  }

  void Put(size_t i, const TRgba& c)
  {
    const size_t fileRow = i / FWidth;
    const size_t row = FTopFirst ? fileRow : FHeight - 1 - fileRow;
    uint8_t* dst = &FOut[(row * FWidth + i % FWidth) * FBytes];
    for (size_t k = 0; k < FBytes; ++k) dst[k] = c[k];
  }

private:
  TTextureImage& FOut;
  size_t FWidth, FHeight, FBytes;
  bool FTopFirst;
};

TDecodeResult Refuse(std::string* reason, const std::string& text)
{
  if (reason) *reason = text;
  return TDecodeResult::Refused;
}

}  // namespace

TDecodeResult DecodeTGA(TBytes data, TImage& image, std::string* reason)
{
  TByteReader in(data);
  if (!in.Has(0, tga::HeaderSize)) return Refuse(reason, "TGA header is cut short");
  const uint8_t idLength = in.U8At(tga::IdLength);
  const uint8_t mapType = in.U8At(tga::MapType);
  const uint8_t type = in.U8At(tga::ImageType);
  const uint16_t mapFirst = in.U16At(tga::MapFirst);
  const uint16_t mapLength = in.U16At(tga::MapLength);
  const uint8_t mapBits = in.U8At(tga::MapEntryBits);
  const uint16_t width = in.U16At(tga::Width);
  const uint16_t height = in.U16At(tga::Height);
  const uint8_t bits = in.U8At(tga::Bits);
  const uint8_t descriptor = in.U8At(tga::Descriptor);

  const uint8_t kind = type & ~tga::RunLengthFlag;
  const bool runLength = (type & tga::RunLengthFlag) != 0;
  if (kind != tga::ColorMapped && kind != tga::TrueColor && kind != tga::Grey)
    return Refuse(reason, "unsupported TGA type " + std::to_string(type));
  if (mapType > tga::MapPresent)
    return Refuse(reason, "unsupported TGA colour map type " + std::to_string(mapType));
  if (descriptor & tga::RightToLeft) return Refuse(reason, "TGA rows stored right to left");
  if (width == 0 || height == 0) return Refuse(reason, "TGA image has no pixels");
  const uint64_t pixels = uint64_t(width) * height;
  if (pixels > MaxImagePixels) return Refuse(reason, "TGA image is too large");

  // A 5-5-5 value's attribute bit is alpha only when the descriptor counts alpha bits.
  const bool attributeAlpha = (descriptor & tga::AlphaBitsMask) != 0;
  const std::string depth =
      "unsupported " + std::to_string(bits) + "-bit TGA type " + std::to_string(type);
  TTgaFormat f;
  TStored mapKind = TStored::Bgr24;
  if (kind == tga::ColorMapped) {
    if (mapType != tga::MapPresent)
      return Refuse(reason, "TGA colour-mapped image without a colour map");
    if (!ColourKind(mapBits, mapKind))
      return Refuse(reason, "unsupported TGA colour map entry size " + std::to_string(mapBits));
    if (bits != 8 && bits != 16) return Refuse(reason, depth);
    f.Pixel = bits == 8 ? TStored::Index8 : TStored::Index16;
    f.Alpha = mapKind == TStored::Bgra32 || (mapBits == 16 && attributeAlpha);
  } else if (kind == tga::TrueColor) {
    if (!ColourKind(bits, f.Pixel)) return Refuse(reason, depth);
    f.Alpha = bits == 32 || (bits == 16 && attributeAlpha);
  } else {
    if (bits != 8 && bits != 16) return Refuse(reason, depth);
    f.Pixel = bits == 8 ? TStored::Grey8 : TStored::GreyAlpha16;
    f.Alpha = bits == 16;
  }
  f.PixelBytes = (size_t(bits) + 7) / 8;

  // The image ID, then the colour map (present in any type; only indices use it).
  const uint64_t mapAt = tga::HeaderSize + idLength;
  const uint64_t mapEntryBytes = (uint64_t(mapBits) + 7) / 8;
  const uint64_t mapBytes = mapType == tga::MapPresent ? mapLength * mapEntryBytes : 0;
  if (!in.Has(mapAt, mapBytes)) return Refuse(reason, "TGA colour map is cut short");
  std::vector<TRgba> palette;
  if (kind == tga::ColorMapped) {
    palette.reserve(mapLength);
    for (size_t e = 0; e < mapLength; ++e)
      palette.push_back(ColourOf(mapKind, &data[mapAt + e * mapEntryBytes], attributeAlpha));
  }
  const TBytes stored = data.subspan(mapAt + mapBytes);

  // Enough data for every pixel must be there before anything is allocated: a run packet of
  // one header byte and one pixel gives at most the longest packet.
  const uint64_t most = runLength ? stored.size() / (1 + f.PixelBytes) * tga::LongestPacket
                                  : stored.size() / f.PixelBytes;
  if (most < pixels) return Refuse(reason, "TGA pixel data is cut short");

  std::string indexError;
  auto colour = [&](const uint8_t* p, TRgba& c) {
    if (f.Pixel != TStored::Index8 && f.Pixel != TStored::Index16) {
      c = ColourOf(f.Pixel, p, attributeAlpha);
      return true;
    }
    const unsigned index = f.Pixel == TStored::Index8 ? p[0] : unsigned(p[0]) | unsigned(p[1]) << 8;
    if (index < mapFirst || index - mapFirst >= palette.size()) {
      indexError = "TGA palette index " + std::to_string(index) + " is outside the colour map";
      return false;
    }
    c = palette[index - mapFirst];
    return true;
  };

  const size_t outBytes = f.Alpha ? 4 : 3;
  TTextureImage out(pixels * outBytes);
  TPixelSink sink(out, width, height, outBytes, (descriptor & tga::TopRowFirst) != 0);
  TRgba c{};
  TStopCheck stop;
  if (!runLength) {
    for (size_t i = 0; i < pixels; ++i) {
      if (stop.Stopped(1)) return Refuse(reason, StoppedReason);
      if (!colour(&stored[i * f.PixelBytes], c)) return Refuse(reason, indexError);
      sink.Put(i, c);
    }
  } else {
    size_t at = 0;
    for (size_t i = 0; i < pixels;) {
      if (at >= stored.size()) return Refuse(reason, "TGA pixel data is cut short");
      const uint8_t head = stored[at++];
      const size_t count = size_t(head & tga::PacketCountMask) + 1;
      if (stop.Stopped(count)) return Refuse(reason, StoppedReason);
      if (count > pixels - i) return Refuse(reason, "TGA run crosses the image end");
      const bool run = (head & tga::RunPacket) != 0;
      const size_t packetBytes = (run ? 1 : count) * f.PixelBytes;
      if (stored.size() - at < packetBytes) return Refuse(reason, "TGA pixel data is cut short");
      for (size_t n = 0; n < count; ++n, ++i) {
        if ((!run || n == 0) && !colour(&stored[at + (run ? 0 : n * f.PixelBytes)], c))
          return Refuse(reason, indexError);
        sink.Put(i, c);
      }
      at += packetBytes;
    }
  }

  image.Width = width;
  image.Height = height;
  image.BitsPerPixel = int32_t(outBytes * 8);
  image.Layout = f.Alpha ? TPixelLayout::RGBA : TPixelLayout::RGB;
  image.KeepAlpha = f.Alpha;
  image.Pixels = std::move(out);
  return TDecodeResult::Ok;
}

}  // namespace quarn::images
