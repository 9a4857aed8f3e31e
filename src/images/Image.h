#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace quarn::images {

// Decoded pixels, row after row, as they are uploaded: the first row is the image's top row
// and becomes texture row t = 0, since model texture coordinates count rows from the top
// edge. Every decoder follows the row order its file declares. Rows are packed without
// padding, so they are uploaded with an unpack alignment of 1.
using TTextureImage = std::vector<uint8_t>;

// How the bytes of one pixel are laid out in a decoded image.
enum class TPixelLayout { RGB, RGBA };

struct TImage {
  int32_t Width = 0;
  int32_t Height = 0;
  TPixelLayout Layout = TPixelLayout::RGB;  // what Pixels holds per pixel
  bool KeepAlpha = false;                   // upload with an alpha channel (internal RGBA)
  int32_t BitsPerPixel = 0;                 // 24 or 32 for TGA (as decoded), 0 where unused
  TTextureImage Pixels;

  int BytesPerPixel() const { return Layout == TPixelLayout::RGBA ? 4 : 3; }
};

// Outcome of a decoder. The texture turns the failures into the readers' own reports.
enum class TDecodeResult {
  Ok,
  Refused,       // not a file of a kind this reader decodes (or an unreadable header)
  PaletteShort,  // the colour table is cut short
  DataShort,     // the pixel data is cut short
  Unread,        // the file could not be read (ReadImageFile)
};

// A decoding failure raised by a decoder (truncated WAL data, a JPEG whose image data is
// corrupt); the texture loaders turn it into their failure reason.
class EImageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The largest decoded image accepted, in pixels (sizes in headers are checked against it
// before anything is allocated).
inline constexpr uint64_t MaxImagePixels = uint64_t(1) << 26;

// The largest file each reader takes: what an image of MaxImagePixels needs in that format at
// its least compact, with room for headers, colour tables and trailing data. A larger file is
// refused before any of it is read (a sparse file can claim gigabytes it never stored).
inline constexpr uint64_t FileSlack = uint64_t(16) << 20;
// 32-bit pixels each in a one-pixel raw packet.
inline constexpr uint64_t MaxTgaFileSize = 5 * MaxImagePixels + FileSlack;
// 32-bit rows; 8- and 24-bit rows padded to 4 bytes take no more a pixel.
inline constexpr uint64_t MaxBmpFileSize = 4 * MaxImagePixels + FileSlack;
// Three planes with every byte written as a run of one (two bytes), lines padded by a few bytes.
inline constexpr uint64_t MaxPcxFileSize = 6 * MaxImagePixels + FileSlack;
// Level 0 and its three smaller mip levels.
inline constexpr uint64_t MaxWalFileSize = MaxImagePixels / 3 * 4 + FileSlack;
// 16-bit RGBA stored uncompressed, a filter byte a row, in small chunks.
inline constexpr uint64_t MaxPngFileSize = 10 * MaxImagePixels + FileSlack;
// Every coefficient at its longest code in every progressive scan, with byte stuffing.
inline constexpr uint64_t MaxJpegFileSize = 32 * MaxImagePixels + FileSlack;
// A WAL palette file: only its first 256 x R, G, B bytes are used.
inline constexpr uint64_t MaxPaletteFileSize = FileSlack;

using TBytes = std::span<const uint8_t>;

// A decoder's successful result: `pixels`, top row first, three bytes a pixel, all opaque.
inline TDecodeResult TakeOpaqueRGB(TImage& image, size_t width, size_t height,
                                   TTextureImage&& pixels)
{
  image.Width = static_cast<int32_t>(width);
  image.Height = static_cast<int32_t>(height);
  image.BitsPerPixel = 0;
  image.Layout = TPixelLayout::RGB;
  image.KeepAlpha = false;
  image.Pixels = std::move(pixels);
  return TDecodeResult::Ok;
}

// A decoder's failed result, with its reason put where the caller asked for one.
inline TDecodeResult Refusal(std::string* reason, const std::string& text,
                             TDecodeResult result = TDecodeResult::Refused)
{
  if (reason) *reason = text;
  return result;
}

// Decoders: no GL, no files; every size is checked against the data. On a failed result
// `image` is left unchanged and `reason`, when given, says why in a few words ("unsupported TGA
// type 4"); failures raised as EImageError carry their own text.
//
// TGA of every kind: colour-mapped, true colour and grey, plain or run-length encoded, rows from
// the top or the bottom. Refused for any failure.
TDecodeResult DecodeTGA(TBytes data, TImage& image, std::string* reason = nullptr);
TDecodeResult DecodeBMP(TBytes data, TImage& image, std::string* reason = nullptr);
// Throws EImageError("Read beyond end of file") when either input is shorter than it must be.
TDecodeResult DecodeWAL(TBytes wal, TBytes palette, TImage& image, std::string* reason = nullptr);
// Refused: the header cannot be read. Throws EImageError when the image data fails to decode.
TDecodeResult DecodeJPG(TBytes data, TImage& image, std::string* reason = nullptr);
// 8-bit run-length encoded PCX: palette indices (PaletteShort: the palette at the end is
// missing or cut short) or three colour planes. DataShort: the scan lines are cut short.
TDecodeResult DecodePCX(TBytes data, TImage& image, std::string* reason = nullptr);
// PNG of any colour type and depth (16 bits reduced to 8), interlaced or not; RGBA when the
// file has alpha or a transparent colour. Refused for any failure.
TDecodeResult DecodePNG(TBytes data, TImage& image, std::string* reason = nullptr);

// Reads a whole file; false when it cannot be opened or read.
using platform::ReadWholeFile;

}  // namespace quarn::images
