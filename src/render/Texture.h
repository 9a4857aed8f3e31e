#pragma once
#include <cstdint>
#include <string>

#include "images/Image.h"

namespace quarn::render {

// Texture filters of every texture (GL_LINEAR).
inline constexpr uint32_t MinFilter = 0x2601;
inline constexpr uint32_t MagFilter = 0x2601;

// An OpenGL texture object made from an image file. The loaders need the rendering context
// current: each decodes the file, uploads the pixels once and frees them (the driver keeps its
// own copy). Failures are a false result with FailReason set (BMP and JPEG readers also show a
// message box). Every reader uploads the image's top row as texture row t = 0.
class TTexture {
public:
  TTexture() = default;
  virtual ~TTexture();  // deletes the texture object
  TTexture(const TTexture&) = delete;
  TTexture& operator=(const TTexture&) = delete;

  // Chooses the reader by the extension in ImageFormats, in any case; false for any other.
  bool LoadFromFile(const std::string& fileName);
  bool LoadTGA(const std::string& fileName);
  bool LoadBMP(const std::string& fileName);
  bool LoadWAL(const std::string& fileName, const std::string& paletteFileName);
  bool LoadJPG(const std::string& fileName);
  bool LoadPCX(const std::string& fileName);  // silent on failure, like the TGA reader
  bool LoadPNG(const std::string& fileName);  // silent on failure, like the TGA reader
  // A WAL with the palette.pal from its own folder.
  bool LoadWALBeside(const std::string& fileName);

  virtual void Bind();
  virtual void Unbind();
  uint32_t GetID() const { return ID; }

  int32_t BitsPerPixel = 0;  // 24 or 32; set by the TGA reader only
  int32_t Width = 0;
  int32_t Height = 0;
  uint32_t ID = 0;            // GL texture name; 0 until a file has been loaded
  bool BuildMipmaps = false;  // upload through gluBuild2DMipmaps (always 3 components)
  // Why the last load failed, in a few words; "" after a success or when there is no file
  // of that name.
  std::string FailReason;

private:
  // The whole file, read in pieces that can stop (LoadStop.h); false with FailReason set when
  // it cannot be read, is larger than maxSize (checked before reading) or the read stopped.
  bool ReadFile(const std::string& fileName, const char* format, uint64_t maxSize,
                std::vector<uint8_t>& data);
  bool Upload(images::TImage& image);
};

// The skin formats: the extension that chooses each (lower case, with its dot) and the loader
// that reads it. LoadFromFile chooses by this table and the skin search tries the extensions in
// its order, so a new format is a reader and a row here.
struct TImageFormat {
  const char* Extension;
  bool (TTexture::*Load)(const std::string& fileName);
};
inline constexpr TImageFormat ImageFormats[] = {
    {".pcx", &TTexture::LoadPCX}, {".tga", &TTexture::LoadTGA},       {".bmp", &TTexture::LoadBMP},
    {".jpg", &TTexture::LoadJPG}, {".wal", &TTexture::LoadWALBeside}, {".png", &TTexture::LoadPNG},
};

// Additive blending weighted by source alpha; and off again.
void EnableBlending();
void DisableBlending();

// Directory part of a file name, with its trailing separator ("" when there is none).
std::string ExtractFilePath(const std::string& fileName);
// From the last dot, dot included ("" when there is none).
std::string ExtractFileExt(const std::string& fileName);

}  // namespace quarn::render
