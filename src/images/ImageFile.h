#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "images/Image.h"

namespace quarn::images {

// An image file format: the extension that chooses it, its decoder and how a failed load is
// reported. Texture loading and the skin search both go by ImageFormats(), in its order, so a
// new format is a decoder and a row there.
struct TImageFormat {
  const char* Extension;  // lower case, with its dot
  const char* Name;       // the format in messages: "TGA file is too large: ..."
  uint64_t MaxFileSize;   // a larger file is refused before any of it is read
  // Decodes the file's bytes; `fileName` is for formats that read a file beside it.
  TDecodeResult (*Decode)(const std::string& fileName, TBytes data, TImage& image,
                          std::string* reason);
  // The message box a failed load shows, "" for none; null for a format that never shows one.
  std::string (*FailureMessage)(const std::string& fileName, TDecodeResult result);
};

std::span<const TImageFormat> ImageFormats();

// The format chosen by the file name's extension, in any case; null for none.
const TImageFormat* FindImageFormat(const std::string& fileName);

// Reads the whole file in pieces that can stop (LoadStop.h) and decodes it. Unread when the
// file cannot be read (`reason` "" when there is nothing by that name), is larger than the
// format takes (checked before reading) or the load stopped (StoppedReason); otherwise the
// decoder's result and reason.
TDecodeResult ReadImageFile(const std::string& fileName, const TImageFormat& format, TImage& image,
                            std::string& reason);

// A WAL file with its colours from `paletteFileName`; the WAL row reads palette.pal from the
// WAL's own folder.
TDecodeResult ReadWALFile(const std::string& fileName, const std::string& paletteFileName,
                          TImage& image, std::string& reason);

// From the last dot, dot included ("" when there is none).
std::string ExtractFileExt(const std::string& fileName);
// Directory part of a file name, with its trailing separator ("" when there is none).
std::string ExtractFilePath(const std::string& fileName);

}  // namespace quarn::images
