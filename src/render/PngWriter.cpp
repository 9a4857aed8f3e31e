#include "render/PngWriter.h"

#include <GL/gl.h>
#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quarn::render {

TFramePixels ReadFramePixels(int32_t width, int32_t height)
{
  TFramePixels pixels;
  if (width <= 0 || height <= 0) return pixels;
  pixels.Width = width;
  pixels.Height = height;
  pixels.Rgb.resize(size_t(width) * size_t(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.Rgb.data());
  return pixels;
}

namespace {

TWriteResult Failure(const std::string& reason) { return {TWriteResult::TStatus::Failed, reason}; }

}  // namespace

TWriteResult WritePNG(const std::string& fileName, const TFramePixels& pixels, TWriteMode mode)
{
  if (pixels.Width <= 0 || pixels.Height <= 0 ||
      pixels.Rgb.size() != size_t(pixels.Width) * size_t(pixels.Height) * 3)
    return Failure("there are no pixels to save");
  const int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC |
                    (mode == TWriteMode::CreateNew ? O_EXCL : O_TRUNC);
  const int fd = ::open(fileName.c_str(), flags, 0666);
  if (fd < 0) {
    if (errno == EEXIST && mode == TWriteMode::CreateNew)
      return {TWriteResult::TStatus::Exists, "file exists"};
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

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(pixels.Width);
  image.height = static_cast<png_uint_32>(pixels.Height);
  image.format = PNG_FORMAT_RGB;
  // A negative stride: the rows were read bottom up.
  const png_int_32 stride = -static_cast<png_int_32>(pixels.Width) * 3;
  const bool encoded =
      png_image_write_to_stdio(&image, out, 0, pixels.Rgb.data(), stride, nullptr) != 0;
  std::string reason = encoded ? std::string() : std::string(image.message);
  if (std::fflush(out) != 0 && reason.empty()) reason = std::strerror(errno);
  if (std::fclose(out) != 0 && reason.empty()) reason = std::strerror(errno);
  png_image_free(&image);
  if (!reason.empty()) return Failure(reason);
  return {TWriteResult::TStatus::Written, {}};
}

}  // namespace quarn::render
