#include "render/Texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <filesystem>

#include "images/LoadStop.h"
#include "platform/MessageBox.h"

namespace quarn::render {

using namespace images;

namespace {

constexpr const char* BmpCaption = "BMP Unit";

// A load stopped because the program is ending shows no message box.
void ShowReaderError(const std::string& text, const std::string& reason)
{
  if (reason != StoppedReason) platform::MessageBox(text, BmpCaption, platform::MB_OK);
}

const TImageFormat& FormatOf(const char* extension) { return *FindImageFormat(extension); }

}  // namespace

TTexture::~TTexture()
{
  if (ID != 0) glDeleteTextures(1, &ID);
}

bool TTexture::LoadFromFile(const std::string& fileName)
{
  FailReason.clear();
  if (const TImageFormat* format = FindImageFormat(fileName)) return Load(fileName, *format);
  std::string known;
  for (const TImageFormat& format : ImageFormats())
    known += (known.empty() ? "" : " ") + std::string(format.Extension);
  std::error_code error;
  if (std::filesystem::exists(fileName, error))
    FailReason = "no reader for \"" + ExtractFileExt(fileName) + "\" images (" + known + ")";
  return false;
}

bool TTexture::LoadTGA(const std::string& fileName) { return Load(fileName, FormatOf(".tga")); }
bool TTexture::LoadBMP(const std::string& fileName) { return Load(fileName, FormatOf(".bmp")); }
bool TTexture::LoadJPG(const std::string& fileName) { return Load(fileName, FormatOf(".jpg")); }
bool TTexture::LoadPCX(const std::string& fileName) { return Load(fileName, FormatOf(".pcx")); }
bool TTexture::LoadPNG(const std::string& fileName) { return Load(fileName, FormatOf(".png")); }

bool TTexture::LoadWAL(const std::string& fileName, const std::string& paletteFileName)
{
  TImage image;
  if (ReadWALFile(fileName, paletteFileName, image, FailReason) != TDecodeResult::Ok) return false;
  return Upload(image);
}

bool TTexture::Load(const std::string& fileName, const TImageFormat& format)
{
  TImage image;
  const TDecodeResult result = ReadImageFile(fileName, format, image, FailReason);
  if (result != TDecodeResult::Ok) {
    if (format.FailureMessage) {
      const std::string message = format.FailureMessage(fileName, result);
      if (!message.empty()) ShowReaderError(message, FailReason);
    }
    return false;
  }
  if (image.BitsPerPixel != 0) BitsPerPixel = image.BitsPerPixel;  // TGA's 24 or 32
  return Upload(image);
}

bool TTexture::Upload(TImage& image)
{
  if (OnDecoded) OnDecoded();
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

void TTexture::Release()
{
  if (ID == 0) return;
  glDeleteTextures(1, &ID);
  ID = 0;
  // A draw of nothing (a triangle of no area) makes the driver take up the texture state that
  // no longer holds the old storage.
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < 3; ++i) glVertex3f(0, 0, 0);
  glEnd();
  glFinish();
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
