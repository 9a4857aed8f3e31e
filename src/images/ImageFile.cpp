#include "images/ImageFile.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "formats/Wal.h"
#include "platform/Paths.h"
#include "images/LoadStop.h"

namespace quarn::images {

namespace {

constexpr const char* PaletteFileName = "palette.pal";

bool FileExists(const std::string& fileName)
{
  std::error_code error;
  return std::filesystem::is_regular_file(fileName, error);
}

std::string TooLarge(const std::string& what, uint64_t size, uint64_t maxSize)
{
  return what + " is too large: " + std::to_string(size) + " bytes, at most " +
         std::to_string(maxSize);
}

enum class TRead { Ok, Missing, TooLarge, Failed, Stopped };

// Reads a whole regular file in pieces, asking the stop poll between them. A file larger than
// maxSize is refused before anything is read; `size` is what it measured.
TRead ReadBytes(const std::string& fileName, uint64_t maxSize, std::vector<uint8_t>& data,
                uint64_t& size)
{
  size = 0;
  if (!FileExists(fileName)) return TRead::Missing;  // a FIFO would block the open
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return TRead::Failed;
  struct TCloser {
    int Fd;
    ~TCloser() { ::close(Fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return TRead::Failed;
  size = static_cast<uint64_t>(info.st_size);
  if (size > maxSize) return TRead::TooLarge;
  std::vector<uint8_t> read;
  try {
    read.resize(static_cast<size_t>(size));
  } catch (const std::exception&) {
    return TRead::Failed;
  }
  size_t at = 0;
  TStopCheck stop;
  while (at < read.size()) {
    if (stop.Stopped(StopPollWork)) return TRead::Stopped;
    const ssize_t n = ::read(fd, read.data() + at, std::min(StopPollWork, read.size() - at));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return TRead::Failed;
    if (n == 0) break;  // the file was cut short while it was read
    at += static_cast<size_t>(n);
  }
  read.resize(at);
  data = std::move(read);
  return TRead::Ok;
}

// Why a file that is there cannot be read; "" when there is nothing by that name.
std::string UnreadableReason(const std::string& fileName)
{
  std::error_code error;
  if (!std::filesystem::exists(fileName, error)) return {};
  return FileExists(fileName) ? "cannot read the file" : "not a regular file";
}

// The whole file of a format; false with `reason` set when it cannot be read.
bool ReadFile(const std::string& fileName, const char* format, uint64_t maxSize,
              std::vector<uint8_t>& data, std::string& reason)
{
  reason.clear();
  uint64_t size = 0;
  switch (ReadBytes(fileName, maxSize, data, size)) {
    case TRead::Ok: return true;
    case TRead::TooLarge: reason = TooLarge(std::string(format) + " file", size, maxSize); break;
    case TRead::Stopped: reason = StoppedReason; break;
    case TRead::Missing:
    case TRead::Failed: reason = UnreadableReason(fileName); break;
  }
  return false;
}

TDecodeResult DecodeWALWithPalette(TBytes wal, const std::string& paletteFileName, TImage& image,
                                   std::string* reason)
{
  std::vector<uint8_t> palette;
  uint64_t size = 0;
  switch (ReadBytes(paletteFileName, MaxPaletteFileSize, palette, size)) {
    case TRead::Ok: break;
    case TRead::Stopped: return Refusal(reason, StoppedReason);
    case TRead::TooLarge:
      return Refusal(reason, "cannot read the palette " + paletteFileName + ": " +
                                 TooLarge("palette", size, MaxPaletteFileSize));
    case TRead::Missing:
    case TRead::Failed: return Refusal(reason, "cannot read the palette " + paletteFileName);
  }
  if (palette.size() < formats::wal::PaletteSize)
    return Refusal(reason, "the palette " + paletteFileName + " is cut short");
  try {
    return DecodeWAL(wal, palette, image, reason);
  } catch (const EImageError&) {
    // The decoder's own text ("Read beyond end of file") does not say which part is missing.
    return Refusal(reason, wal.size() < formats::wal::HeaderSize ? "WAL header is cut short"
                                                                 : "WAL pixel data is cut short");
  }
}

constexpr TImageFormat Formats[] = {
    {".pcx", "PCX", MaxPcxFileSize,
     [](const std::string&, TBytes data, TImage& image, std::string* reason) {
       return DecodePCX(data, image, reason);
     },
     nullptr},
    {".tga", "TGA", MaxTgaFileSize,
     [](const std::string&, TBytes data, TImage& image, std::string* reason) {
       return DecodeTGA(data, image, reason);
     },
     nullptr},
    {".bmp", "BMP", MaxBmpFileSize,
     [](const std::string&, TBytes data, TImage& image, std::string* reason) {
       return DecodeBMP(data, image, reason);
     },
     [](const std::string& fileName, TDecodeResult result) -> std::string {
       switch (result) {
         case TDecodeResult::Unread: return "Error opening " + fileName;
         case TDecodeResult::PaletteShort: return "Error reading palette";
         case TDecodeResult::DataShort: return "Error reading bitmap data";
         case TDecodeResult::Ok:
         case TDecodeResult::Refused: break;
       }
       return {};
     }},
    {".jpg", "JPEG", MaxJpegFileSize,
     [](const std::string&, TBytes data, TImage& image, std::string* reason) {
       try {
         return DecodeJPG(data, image, reason);
       } catch (const EImageError& error) {
         return Refusal(reason, error.what());  // corrupt image data, in libjpeg's words
       }
     },
     [](const std::string& fileName, TDecodeResult) -> std::string {
       return "Couldn't load JPG - \"" + fileName + "\"";
     }},
    {".wal", "WAL", MaxWalFileSize,
     [](const std::string& fileName, TBytes data, TImage& image, std::string* reason) {
       return DecodeWALWithPalette(data, ExtractFilePath(fileName) + PaletteFileName, image,
                                   reason);
     },
     nullptr},
    {".png", "PNG", MaxPngFileSize,
     [](const std::string&, TBytes data, TImage& image, std::string* reason) {
       return DecodePNG(data, image, reason);
     },
     nullptr},
};

}  // namespace

std::span<const TImageFormat> ImageFormats() { return Formats; }

const TImageFormat* FindImageFormat(const std::string& fileName)
{
  const std::string ext = ExtractFileExt(fileName);
  for (const TImageFormat& format : Formats)
    if (strcasecmp(ext.c_str(), format.Extension) == 0) return &format;
  return nullptr;
}

TDecodeResult ReadImageFile(const std::string& fileName, const TImageFormat& format, TImage& image,
                            std::string& reason)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, format.Name, format.MaxFileSize, data, reason))
    return TDecodeResult::Unread;
  return format.Decode(fileName, data, image, &reason);
}

TDecodeResult ReadWALFile(const std::string& fileName, const std::string& paletteFileName,
                          TImage& image, std::string& reason)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, "WAL", MaxWalFileSize, data, reason)) return TDecodeResult::Unread;
  return DecodeWALWithPalette(data, paletteFileName, image, &reason);
}

std::string ExtractFilePath(const std::string& fileName) { return platform::FolderOf(fileName); }

std::string ExtractFileExt(const std::string& fileName)
{
  const size_t mark = fileName.find_last_of("./");
  if (mark == std::string::npos || fileName[mark] != '.') return std::string();
  return fileName.substr(mark);
}

}  // namespace quarn::images
