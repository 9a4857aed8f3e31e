#include "images/PngWriter.h"

#include <fcntl.h>
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

constexpr int FastLevel = 1;        // zlib's fastest
constexpr int FastMemoryLevel = 4;  // zlib's default is 8: a 64 KiB hash table to clear

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

// Where the fast encoder puts the file: grown as it comes, since fast compression is for
// frames whose result is a small part of the worst case.
struct TMemorySink {
  std::vector<uint8_t>* Data;
};

void AppendToSink(png_structp png, png_bytep data, png_size_t size)
{
  auto* sink = static_cast<TMemorySink*>(png_get_io_ptr(png));
  bool grown = true;
  try {
    sink->Data->insert(sink->Data->end(), data, data + size);
  } catch (const std::bad_alloc&) {
    grown = false;
  }
  if (!grown) png_error(png, std::strerror(ENOMEM));  // leaves by longjmp, outside the catch
}

void FlushSink(png_structp) {}

void StopOnError(png_structp png, png_const_charp message)
{
  auto* text = static_cast<char*>(png_get_error_ptr(png));
  std::snprintf(text, 128, "%s", message);
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// zlib's fastest level with a small hash table, and the Sub filter: on frames of a few tens
// of kilobytes, most of the default's time goes into setting up its tables. Only plain data
// lives in this function: libpng leaves it by longjmp on an error.
bool EncodeFastInto(const TFramePixels& pixels, TMemorySink& sink, char (&message)[128])
{
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, message, StopOnError, IgnoreWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &sink, AppendToSink, FlushSink);
  png_set_IHDR(png, info, png_uint_32(pixels.Width), png_uint_32(pixels.Height), 8,
               pixels.Alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, FastLevel);
  png_set_compression_mem_level(png, FastMemoryLevel);
  png_set_filter(png, 0, PNG_FILTER_SUB);
  png_write_info(png, info);
  const size_t rowBytes = size_t(pixels.Width) * pixels.PixelBytes();
  for (int32_t row = pixels.Height - 1; row >= 0; --row)  // read bottom up
    png_write_row(png, pixels.Rgb.data() + size_t(row) * rowBytes);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
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
    png.clear();
    TMemorySink sink{&png};
    char message[128] = "libpng failed";
    if (!EncodeFastInto(pixels, sink, message)) {
      reason = message;
      return false;
    }
    return true;
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
