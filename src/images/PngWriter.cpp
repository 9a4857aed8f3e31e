#include "images/PngWriter.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/Files.h"

namespace quarn::images {

namespace {

TWriteResult Failure(const std::string& reason) { return {TWriteResult::TStatus::Failed, reason}; }

bool HasPixels(const TFramePixels& pixels)
{
  return pixels.Width > 0 && pixels.Height > 0 &&
         pixels.Rgb.size() == size_t(pixels.Width) * size_t(pixels.Height) * pixels.PixelBytes();
}

// Describes the pixels to libpng: 8-bit RGB or RGBA rows, read bottom up.
png_image PixelsImage(const TFramePixels& pixels)
{
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(pixels.Width);
  image.height = static_cast<png_uint_32>(pixels.Height);
  image.format = pixels.Alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  return image;
}

// A negative stride: the rows were read bottom up.
png_int_32 BottomUpStride(const TFramePixels& pixels)
{
  return -static_cast<png_int_32>(pixels.Width) * static_cast<png_int_32>(pixels.PixelBytes());
}

// The fast encoder's own PNG: one IDAT of the rows under the Sub filter, compressed by
// libdeflate's fastest level (faster than zlib's and smaller here). Each thread keeps its
// compressor.
constexpr int FastLevel = 1;

void PutBig32(std::vector<uint8_t>& out, uint32_t value)
{
  const uint8_t bytes[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8),
                            uint8_t(value)};
  out.insert(out.end(), bytes, bytes + 4);
}

// Appends a chunk: its length, type, data and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const uint8_t* data, size_t size)
{
  PutBig32(out, uint32_t(size));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (size > 0) out.insert(out.end(), data, data + size);
  PutBig32(out, libdeflate_crc32(0, out.data() + start, size + 4));
}

struct TCompressor {
  libdeflate_compressor* Handle = libdeflate_alloc_compressor(FastLevel);
  ~TCompressor() { libdeflate_free_compressor(Handle); }
};

bool EncodeFast(const TFramePixels& pixels, std::vector<uint8_t>& png, std::string& reason)
{
  thread_local TCompressor compressor;
  if (!compressor.Handle) {
    reason = std::strerror(ENOMEM);
    return false;
  }
  const size_t bytes = pixels.PixelBytes(), rowBytes = size_t(pixels.Width) * bytes;
  // Rows top down, each a filter byte (1: Sub) and the bytes less those one pixel before.
  std::vector<uint8_t> rows(size_t(pixels.Height) * (rowBytes + 1));
  uint8_t* out = rows.data();
  for (int32_t row = pixels.Height - 1; row >= 0; --row) {  // read bottom up
    const uint8_t* in = pixels.Rgb.data() + size_t(row) * rowBytes;
    *out++ = 1;
    for (size_t i = 0; i < bytes; ++i) out[i] = in[i];
    for (size_t i = bytes; i < rowBytes; ++i) out[i] = uint8_t(in[i] - in[i - bytes]);
    out += rowBytes;
  }
  std::vector<uint8_t> packed(libdeflate_zlib_compress_bound(compressor.Handle, rows.size()));
  const size_t size = libdeflate_zlib_compress(compressor.Handle, rows.data(), rows.size(),
                                               packed.data(), packed.size());
  if (size == 0) {
    reason = "the pixels could not be compressed";
    return false;
  }
  static constexpr uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  png.assign(Signature, Signature + 8);
  png.reserve(size + 64);
  const uint32_t width = uint32_t(pixels.Width), height = uint32_t(pixels.Height);
  const uint8_t header[13] = {uint8_t(width >> 24), uint8_t(width >> 16), uint8_t(width >> 8),
                              uint8_t(width), uint8_t(height >> 24), uint8_t(height >> 16),
                              uint8_t(height >> 8), uint8_t(height),
                              8,  // bits a channel
                              uint8_t(pixels.Alpha ? 6 : 2),  // RGBA or RGB
                              0, 0, 0};  // deflate, adaptive filters, no interlace
  PutChunk(png, "IHDR", header, sizeof header);
  PutChunk(png, "IDAT", packed.data(), size);
  PutChunk(png, "IEND", nullptr, 0);
  return true;
}

}  // namespace

bool EncodePNG(const TFramePixels& pixels, std::vector<uint8_t>& png, std::string& reason,
               TPngCompression compression)
{
  if (!HasPixels(pixels)) {
    reason = "there are no pixels to save";
    return false;
  }
  if (compression == TPngCompression::Fast) {
    try {
      return EncodeFast(pixels, png, reason);
    } catch (const std::bad_alloc&) {
      reason = std::strerror(ENOMEM);
      return false;
    }
  }
  png_image image = PixelsImage(pixels);
  // Encoded once into room for the largest possible result, then cut to its size.
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
  try {
    png.resize(size);
  } catch (const std::bad_alloc&) {
    reason = std::strerror(ENOMEM);
    return false;
  }
  const bool encoded = png_image_write_to_memory(&image, png.data(), &size, 0, pixels.Rgb.data(),
                                                 BottomUpStride(pixels), nullptr) != 0;
  if (!encoded) reason = image.message;
  png_image_free(&image);
  if (!encoded) return false;
  png.resize(size);
  return true;
}

TWriteResult WritePNG(const std::string& fileName, const TFramePixels& pixels, TWriteMode mode)
{
  if (!HasPixels(pixels)) return Failure("there are no pixels to save");
  if (mode == TWriteMode::CreateNew) {
    std::vector<uint8_t> png;
    std::string reason;
    if (!EncodePNG(pixels, png, reason)) return Failure(reason);
    const platform::TCreateResult created = platform::CreateNewFile(
        fileName, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
    switch (created.Status) {
      case platform::TCreateStatus::Written: return {TWriteResult::TStatus::Written, {}};
      case platform::TCreateStatus::Exists: return {TWriteResult::TStatus::Exists, created.Reason};
      case platform::TCreateStatus::Failed: break;
    }
    return Failure(created.Reason);
  }
  const int fd =
      ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_TRUNC, 0666);
  if (fd < 0) {
    if (errno == ENXIO) return Failure("not a regular file");
    return Failure(std::strerror(errno));
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Failure("not a regular file");
  }
  std::FILE* out = ::fdopen(fd, "wb");
  if (!out) {
    const int error = errno;
    ::close(fd);
    return Failure(std::strerror(error));
  }

  png_image image = PixelsImage(pixels);
  const bool encoded = png_image_write_to_stdio(&image, out, 0, pixels.Rgb.data(),
                                                BottomUpStride(pixels), nullptr) != 0;
  std::string reason = encoded ? std::string() : std::string(image.message);
  if (std::fflush(out) != 0 && reason.empty()) reason = std::strerror(errno);
  if (std::fclose(out) != 0 && reason.empty()) reason = std::strerror(errno);
  png_image_free(&image);
  if (!reason.empty()) return Failure(reason);
  return {TWriteResult::TStatus::Written, {}};
}

}  // namespace quarn::images
