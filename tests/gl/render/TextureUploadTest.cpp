#include <GL/gl.h>

#include <filesystem>
#include <vector>

#include "GlFixture.h"
#include "platform/MessageBox.h"
#include "render/Texture.h"

namespace quarn::render {
namespace {

using testing::Bytes;
using testing::Rgba;

class TextureUpload : public testing::GlTest {
protected:
  std::string Write(const std::string& name, const Bytes& data)
  {
    const std::string path = TempDir() + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testing::WriteFile(path, data);
    return path;
  }

  // Texels of level 0 of the bound texture as RGBA, first row first.
  static std::vector<Rgba> Texels(const TTexture& texture)
  {
    std::vector<uint8_t> raw(size_t(texture.Width) * texture.Height * 4);
    glBindTexture(GL_TEXTURE_2D, texture.GetID());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    std::vector<Rgba> out;
    for (size_t i = 0; i < raw.size(); i += 4)
      out.push_back({raw[i], raw[i + 1], raw[i + 2], raw[i + 3]});
    return out;
  }

  static GLint Level0(GLenum parameter)
  {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    return value;
  }
};

TEST_F(TextureUpload, ExtensionDispatchLoadsEveryFormatInAnyCase)
{
  Write("robot/palette.pal", testing::MakePalette());
  const struct {
    std::string Name;
    Bytes Data;
  } files[] = {
      {"a.tga", testing::MakeTga(3, 2, 24)},   {"b.TGA", testing::MakeTga(3, 2, 32)},
      {"c.bmp", testing::MakeBmp(3, 2, {})},   {"d.bMp", testing::MakeBmp(5, 3, {})},
      {"e.jpg", testing::MakeJpeg(8, 8)},      {"f.Jpg", testing::MakeJpeg(8, 8)},
      {"g.JPG", testing::MakeJpeg(8, 8)},      {"robot/h.wal", testing::MakeWal(4, 2)},
      {"robot/i.WAL", testing::MakeWal(4, 2)},
  };
  for (const auto& f : files) {
    TTexture texture;
    EXPECT_TRUE(texture.LoadFromFile(Write(f.Name, f.Data))) << f.Name;
    EXPECT_NE(texture.GetID(), 0u) << f.Name;
    EXPECT_TRUE(glIsTexture(texture.GetID())) << f.Name;
  }
  TTexture texture;
  EXPECT_FALSE(texture.LoadFromFile(Write("j.jpeg", testing::MakeJpeg(8, 8))));
  EXPECT_EQ(texture.GetID(), 0u);
}

TEST_F(TextureUpload, OddWidthRowsArriveIntact)
{
  // 3 RGB pixels make 9-byte rows: uploaded with OpenGL's default alignment of 4 they would
  // be read skewed (and past the end of the pixels).
  TTexture tga;
  ASSERT_TRUE(tga.LoadTGA(Write("odd.tga", testing::MakeTga(3, 3, 24))));
  const std::vector<Rgba> texels = Texels(tga);
  for (int row = 0; row < 3; ++row)
    for (int x = 0; x < 3; ++x) {
      Rgba expected = testing::PatternPixel(x, row);  // top row first
      expected.a = 255;
      EXPECT_EQ(texels[size_t(row) * 3 + x], expected) << x << "," << row;
    }

  testing::BmpOptions paletted;
  paletted.Bits = 8;
  TTexture bmp;
  ASSERT_TRUE(bmp.LoadBMP(Write("odd.bmp", testing::MakeBmp(5, 2, paletted))));
  const std::vector<Rgba> bmpTexels = Texels(bmp);
  Rgba expected = testing::BmpPaletteColor(testing::BmpIndex(4, 1));  // bottom row, last pixel
  expected.a = 255;
  EXPECT_EQ(bmpTexels[5 + 4], expected);

  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4);  // the upload leaves the default in place
}

TEST_F(TextureUpload, FiltersAndAlphaByFormat)
{
  TTexture tga32;
  ASSERT_TRUE(tga32.LoadTGA(Write("alpha.tga", testing::MakeTga(2, 2, 32))));
  EXPECT_EQ(tga32.BitsPerPixel, 32);
  tga32.Bind();
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);
  EXPECT_GT(Level0(GL_TEXTURE_ALPHA_SIZE), 0);
  EXPECT_EQ(Texels(tga32)[0].a, testing::PatternPixel(0, 0).a);

  TTexture mipmapped;
  mipmapped.BuildMipmaps = true;
  ASSERT_TRUE(mipmapped.LoadTGA(Write("mip.tga", testing::MakeTga(2, 2, 32))));
  mipmapped.Bind();
  EXPECT_EQ(Level0(GL_TEXTURE_ALPHA_SIZE), 0);  // always 3 components

  TTexture jpeg;
  ASSERT_TRUE(jpeg.LoadJPG(Write("opaque.jpg", testing::MakeJpeg(8, 8))));
  jpeg.Bind();
  EXPECT_EQ(Level0(GL_TEXTURE_ALPHA_SIZE), 0);
  EXPECT_EQ(jpeg.Width * jpeg.Height, 8 * 8);

  jpeg.Unbind();
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0);
}

TEST_F(TextureUpload, WalUsesThePaletteBesideItAndKeepsItsTopRowFirst)
{
  Bytes otherPalette(768, 0);
  Write("palette.pal", otherPalette);  // in the parent directory: not used
  Write("skins/palette.pal", testing::MakePalette());
  TTexture wal;
  ASSERT_TRUE(wal.LoadFromFile(Write("skins/wall.wal", testing::MakeWal(4, 2))));
  const std::vector<Rgba> texels = Texels(wal);
  EXPECT_EQ(texels[1], (Rgba{1, 254, 0, 255}));      // file row 0, index 1
  EXPECT_EQ(texels[4 + 1], (Rgba{4, 251, 2, 255}));  // file row 1, index 4
}

TEST_F(TextureUpload, FailedLoadsCreateNoTextureObject)
{
  platform::SetNoDialogs(true);
  TTexture texture;
  EXPECT_FALSE(texture.LoadTGA(Write("bad.tga", Bytes(30, 1))));
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(texture.LoadBMP(Write("bad.bmp", Bytes(30, 1))));
  EXPECT_FALSE(texture.LoadJPG(Write("bad.jpg", Bytes(30, 1))));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(texture.GetID(), 0u);
}

TEST_F(TextureUpload, BlendingSwitches)
{
  EnableBlending();
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLint src = 0, dst = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_SRC_ALPHA);
  EXPECT_EQ(dst, GL_ONE);
  DisableBlending();
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
}  // namespace quarn::render
