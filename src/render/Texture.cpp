#include "render/Texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "formats/Wal.h"
#include "images/LoadStop.h"
#include "platform/MessageBox.h"

namespace quarn::render {

using namespace images;

namespace {

constexpr const char* BmpCaption = "BMP Unit";
constexpr const char* PaletteFileName = "palette.pal";

// A load stopped because the program is ending shows no message box.
void ShowReaderError(const std::string& text, const std::string& reason = {})
{
  if (reason != StoppedReason) platform::MessageBox(text, BmpCaption, platform::MB_OK);
}

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

}  // namespace

std::string ExtractFilePath(const std::string& fileName)
{
  const size_t slash = fileName.find_last_of('/');
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

std::string ExtractFileExt(const std::string& fileName)
{
  const size_t mark = fileName.find_last_of("./");
  if (mark == std::string::npos || fileName[mark] != '.') return std::string();
  return fileName.substr(mark);
}

TTexture::~TTexture()
{
  if (ID != 0) glDeleteTextures(1, &ID);
}

bool TTexture::LoadFromFile(const std::string& fileName)
{
  FailReason.clear();
  std::string ext = ExtractFileExt(fileName);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::string known;
  for (const TImageFormat& format : ImageFormats) {
    if (ext == format.Extension) return (this->*format.Load)(fileName);
    known += (known.empty() ? "" : " ") + std::string(format.Extension);
  }
  std::error_code error;
  if (std::filesystem::exists(fileName, error))
    FailReason = "no reader for \"" + ExtractFileExt(fileName) + "\" images (" + known + ")";
  return false;
}

bool TTexture::LoadWALBeside(const std::string& fileName)
{
  return LoadWAL(fileName, ExtractFilePath(fileName) + PaletteFileName);
}

bool TTexture::LoadTGA(const std::string& fileName)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, "TGA", MaxTgaFileSize, data)) return false;
  TImage image;
  if (DecodeTGA(data, image, &FailReason) != TDecodeResult::Ok) return false;
  BitsPerPixel = image.BitsPerPixel;
  return Upload(image);
}

bool TTexture::LoadBMP(const std::string& fileName)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, "BMP", MaxBmpFileSize, data)) {
    ShowReaderError("Error opening " + fileName, FailReason);
    return false;
  }
  TImage image;
  switch (DecodeBMP(data, image, &FailReason)) {
    case TDecodeResult::Ok: return Upload(image);
    case TDecodeResult::PaletteShort: ShowReaderError("Error reading palette"); return false;
    case TDecodeResult::DataShort: ShowReaderError("Error reading bitmap data"); return false;
    case TDecodeResult::Refused: return false;
  }
  return false;
}

bool TTexture::LoadWAL(const std::string& fileName, const std::string& paletteFileName)
{
  std::vector<uint8_t> wal, palette;
  if (!ReadFile(fileName, "WAL", MaxWalFileSize, wal)) return false;
  uint64_t size = 0;
  switch (ReadBytes(paletteFileName, MaxPaletteFileSize, palette, size)) {
    case TRead::Ok: break;
    case TRead::Stopped: FailReason = StoppedReason; return false;
    case TRead::TooLarge:
      FailReason = "cannot read the palette " + paletteFileName + ": " +
                   TooLarge("palette", size, MaxPaletteFileSize);
      return false;
    case TRead::Missing:
    case TRead::Failed: FailReason = "cannot read the palette " + paletteFileName; return false;
  }
  if (palette.size() < formats::wal::PaletteSize) {
    FailReason = "the palette " + paletteFileName + " is cut short";
    return false;
  }
  TImage image;
  try {
    if (DecodeWAL(wal, palette, image, &FailReason) != TDecodeResult::Ok) return false;
  } catch (const EImageError&) {
    // The decoder's own text ("Read beyond end of file") does not say which part is missing.
    FailReason = wal.size() < formats::wal::HeaderSize ? "WAL header is cut short"
                                                       : "WAL pixel data is cut short";
    return false;
  }
  return Upload(image);
}

bool TTexture::LoadJPG(const std::string& fileName)
{
  std::vector<uint8_t> data;
  TImage image;
  bool decoded = false;
  if (ReadFile(fileName, "JPEG", MaxJpegFileSize, data)) {
    try {
      decoded = DecodeJPG(data, image, &FailReason) == TDecodeResult::Ok;
    } catch (const EImageError& error) {
      FailReason = error.what();  // corrupt image data, in libjpeg's words
    }
  }
  if (!decoded) {
    ShowReaderError("Couldn't load JPG - \"" + fileName + "\"", FailReason);
    return false;
  }
  return Upload(image);
}

bool TTexture::LoadPCX(const std::string& fileName)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, "PCX", MaxPcxFileSize, data)) return false;
  TImage image;
  if (DecodePCX(data, image, &FailReason) != TDecodeResult::Ok) return false;
  return Upload(image);
}

bool TTexture::LoadPNG(const std::string& fileName)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, "PNG", MaxPngFileSize, data)) return false;
  TImage image;
  if (DecodePNG(data, image, &FailReason) != TDecodeResult::Ok) return false;
  return Upload(image);
}

bool TTexture::ReadFile(const std::string& fileName, const char* format, uint64_t maxSize,
                        std::vector<uint8_t>& data)
{
  FailReason.clear();
  uint64_t size = 0;
  switch (ReadBytes(fileName, maxSize, data, size)) {
    case TRead::Ok: return true;
    case TRead::TooLarge:
      FailReason = TooLarge(std::string(format) + " file", size, maxSize);
      break;
    case TRead::Stopped: FailReason = StoppedReason; break;
    case TRead::Missing:
    case TRead::Failed: FailReason = UnreadableReason(fileName); break;
  }
  return false;
}

bool TTexture::Upload(TImage& image)
{
  // A texture loaded twice keeps only its newest texture object.
  if (ID != 0) glDeleteTextures(1, &ID);
  ID = 0;
  Width = image.Width;
  Height = image.Height;
  // Freed on return, however the upload ends: two skins at the size limit would otherwise
  // hold a gigabyte the driver already has a copy of.
  const TTextureImage pixels = std::move(image.Pixels);

  glGenTextures(1, &ID);
  glBindTexture(GL_TEXTURE_2D, ID);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(MinFilter));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(MagFilter));

  // Image rows are packed without padding.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const GLenum format = image.Layout == TPixelLayout::RGBA ? GL_RGBA : GL_RGB;
  bool stopped = false;
  if (BuildMipmaps) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, Width, Height, format, GL_UNSIGNED_BYTE, pixels.data());
  } else {
    // The storage first, then the rows in bands, so a large image can stop between them.
    const GLint internal = image.KeepAlpha ? GL_RGBA : GL_RGB;
    glTexImage2D(GL_TEXTURE_2D, 0, internal, Width, Height, 0, format, GL_UNSIGNED_BYTE, nullptr);
    const size_t rowBytes = size_t(Width) * size_t(image.BytesPerPixel());
    const GLsizei band = std::max<GLsizei>(1, GLsizei(StopPollWork / std::max<size_t>(Width, 1)));
    TStopCheck stop;
    for (GLsizei row = 0; row < Height && !stopped; row += band) {
      const GLsizei rows = std::min(band, Height - row);
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, row, Width, rows, format, GL_UNSIGNED_BYTE,
                      pixels.data() + size_t(row) * rowBytes);
      stopped = row + rows < Height && stop.Stopped(size_t(rows) * size_t(Width));
    }
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  if (stopped) {
    glDeleteTextures(1, &ID);
    ID = 0;
    FailReason = StoppedReason;
    return false;
  }
  return true;
}

void TTexture::Bind() { glBindTexture(GL_TEXTURE_2D, ID); }

void TTexture::Unbind() { glBindTexture(GL_TEXTURE_2D, 0); }

void EnableBlending()
{
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void DisableBlending() { glDisable(GL_BLEND); }

}  // namespace quarn::render
