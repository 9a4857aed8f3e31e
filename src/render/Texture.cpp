#include "render/Texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/MessageBox.h"

namespace quarn::render {

namespace {

constexpr const char* BmpCaption = "BMP Unit";
constexpr const char* PaletteFileName = "palette.pal";

void ShowReaderError(const std::string& text)
{
  platform::MessageBox(text, BmpCaption, platform::MB_OK);
}

bool FileExists(const std::string& fileName)
{
  std::error_code error;
  return std::filesystem::is_regular_file(fileName, error);
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
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (ext == ".JPG") return LoadJPG(fileName);
  if (ext == ".BMP") return LoadBMP(fileName);
  if (ext == ".TGA") return LoadTGA(fileName);
  if (ext == ".WAL") return LoadWAL(fileName, ExtractFilePath(fileName) + PaletteFileName);
  if (ext == ".PCX") return LoadPCX(fileName);
  if (ext == ".PNG") return LoadPNG(fileName);
  std::error_code error;
  if (std::filesystem::exists(fileName, error))
    FailReason =
        "no reader for \"" + ExtractFileExt(fileName) + "\" images (.pcx .tga .bmp .jpg .wal .png)";
  return false;
}

bool TTexture::LoadTGA(const std::string& fileName)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, data)) return false;
  TImage image;
  if (DecodeTGA(data, image, &FailReason) != TDecodeResult::Ok) return false;
  BitsPerPixel = image.BitsPerPixel;
  return Upload(image);
}

bool TTexture::LoadBMP(const std::string& fileName)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, data)) {
    ShowReaderError("Error opening " + fileName);
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
  if (!ReadFile(fileName, wal)) return false;
  if (!ReadWholeFile(paletteFileName, palette)) {
    FailReason = "cannot read the palette " + paletteFileName;
    return false;
  }
  TImage image;
  if (DecodeWAL(wal, palette, image, &FailReason) != TDecodeResult::Ok) return false;
  return Upload(image);
}

bool TTexture::LoadJPG(const std::string& fileName)
{
  std::vector<uint8_t> data;
  TImage image;
  if (!ReadFile(fileName, data) || DecodeJPG(data, image, &FailReason) != TDecodeResult::Ok) {
    ShowReaderError("Couldn't load JPG - \"" + fileName + "\"");
    return false;
  }
  return Upload(image);
}

bool TTexture::LoadPCX(const std::string& fileName)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, data)) return false;
  TImage image;
  if (DecodePCX(data, image, &FailReason) != TDecodeResult::Ok) return false;
  return Upload(image);
}

bool TTexture::LoadPNG(const std::string& fileName)
{
  std::vector<uint8_t> data;
  if (!ReadFile(fileName, data)) return false;
  TImage image;
  if (DecodePNG(data, image, &FailReason) != TDecodeResult::Ok) return false;
  return Upload(image);
}

bool TTexture::ReadFile(const std::string& fileName, std::vector<uint8_t>& data)
{
  FailReason.clear();
  if (FileExists(fileName) && ReadWholeFile(fileName, data)) return true;
  FailReason = UnreadableReason(fileName);
  return false;
}

bool TTexture::Upload(TImage& image)
{
  // A texture loaded twice keeps only its newest texture object.
  if (ID != 0) glDeleteTextures(1, &ID);
  ID = 0;
  Width = image.Width;
  Height = image.Height;
  Image = std::move(image.Pixels);

  glGenTextures(1, &ID);
  glBindTexture(GL_TEXTURE_2D, ID);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(MinFilter));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(MagFilter));

  // Image rows are packed without padding.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const GLenum format = image.Layout == TPixelLayout::RGBA ? GL_RGBA : GL_RGB;
  if (BuildMipmaps) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, Width, Height, format, GL_UNSIGNED_BYTE, Image.data());
  } else {
    const GLint internal = image.KeepAlpha ? GL_RGBA : GL_RGB;
    glTexImage2D(GL_TEXTURE_2D, 0, internal, Width, Height, 0, format, GL_UNSIGNED_BYTE,
                 Image.data());
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
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
