#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "images/ImageFile.h"

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

  // Chooses the reader by the extension (images::FindImageFormat); false for any other.
  bool LoadFromFile(const std::string& fileName);
  bool LoadTGA(const std::string& fileName);
  bool LoadBMP(const std::string& fileName);
  bool LoadWAL(const std::string& fileName, const std::string& paletteFileName);
  bool LoadJPG(const std::string& fileName);
  bool LoadPCX(const std::string& fileName);  // silent on failure, like the TGA reader
  bool LoadPNG(const std::string& fileName);  // silent on failure, like the TGA reader

  // Deletes the texture object and its storage at once: the driver would otherwise keep the
  // storage until the next frame is drawn.
  void Release();
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
  // Called once a file is decoded, before its upload: a texture replacing another frees the
  // old one there, so the two are never held at once beside the decoded image.
  std::function<void()> OnDecoded;

private:
  // Reads and uploads a file of `format`, showing the format's message box when it fails.
  bool Load(const std::string& fileName, const images::TImageFormat& format);
  bool Upload(images::TImage& image);
};

// Additive blending weighted by source alpha; and off again.
void EnableBlending();
void DisableBlending();

using images::ExtractFileExt;
using images::ExtractFilePath;

}  // namespace quarn::render
