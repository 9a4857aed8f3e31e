// Model texture coordinates count skin rows from the image's top edge: a model that samples only
// the top part of a two-colour skin shows the top colour, whatever the file format and
// whichever row order the file declares.
#include <GL/gl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/GlWindow.h"
#include "bots/MD2.h"
#include "bots/MD2Writer.h"
#include "formats/ByteWriter.h"
#include "render/Camera.h"
#include "render/Texture.h"
#include "../../unit/bots/TestModels.h"

namespace quarn::bots {
namespace {

using Bytes = std::vector<uint8_t>;

// The skin: 32 x 32, red above, blue below.
constexpr int Size = 32;
constexpr uint8_t Top[3] = {230, 20, 20};
constexpr uint8_t Bottom[3] = {20, 20, 230};
const uint8_t* ColourOfRow(int yFromTop) { return yFromTop < Size / 2 ? Top : Bottom; }
// The same for grey skins: light above, mid grey below (far from the black background).
constexpr uint8_t GreyTop[3] = {230, 230, 230};
constexpr uint8_t GreyBottom[3] = {110, 110, 110};
const uint8_t* GreyOfRow(int yFromTop) { return yFromTop < Size / 2 ? GreyTop : GreyBottom; }

Bytes Tga(bool topRowFirst)
{
  Bytes out;
  formats::TByteWriter w(out);
  w.Bytes(Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  w.U16(Size);
  w.U16(Size);
  w.U8(24);
  w.U8(topRowFirst ? 0x20 : 0);
  for (int r = 0; r < Size; ++r)
    for (int x = 0; x < Size; ++x) {
      const uint8_t* c = ColourOfRow(topRowFirst ? r : Size - 1 - r);
      w.Bytes(Bytes{c[2], c[1], c[0]});
    }
  return out;
}

// 16-bit 5-5-5 pixels, the attribute bit set (it is not alpha: no alpha bits).
Bytes Tga16(bool topRowFirst)
{
  Bytes out;
  formats::TByteWriter w(out);
  w.Bytes(Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  w.U16(Size);
  w.U16(Size);
  w.U8(16);
  w.U8(topRowFirst ? 0x20 : 0);
  for (int r = 0; r < Size; ++r)
    for (int x = 0; x < Size; ++x) {
      const uint8_t* c = ColourOfRow(topRowFirst ? r : Size - 1 - r);
      w.U16(uint16_t(0x8000 | (c[0] >> 3) << 10 | (c[1] >> 3) << 5 | c[2] >> 3));
    }
  return out;
}

// 24 bits, or 8 bits with a two-entry colour table.
Bytes Bmp(bool topRowFirst, int bits)
{
  const uint32_t colors = bits == 8 ? 2 : 0, stride = Size * bits / 8;
  const uint32_t dataAt = 14 + 40 + colors * 4;
  Bytes out;
  formats::TByteWriter w(out);
  w.Chars("BM");
  w.U32(dataAt + stride * Size);
  w.U32(0);
  w.U32(dataAt);
  w.U32(40);
  w.U32(Size);
  w.U32(topRowFirst ? uint32_t(-Size) : uint32_t(Size));
  w.U16(1);
  w.U16(uint16_t(bits));
  for (uint32_t v : {0u, stride * Size, 0u, 0u, colors, 0u}) w.U32(v);
  if (bits == 8) w.Bytes(Bytes{Top[2], Top[1], Top[0], 0, Bottom[2], Bottom[1], Bottom[0], 0});
  for (int r = 0; r < Size; ++r) {
    const int y = topRowFirst ? r : Size - 1 - r;
    for (int x = 0; x < Size; ++x) {
      const uint8_t* c = ColourOfRow(y);
      if (bits == 8)
        w.U8(c == Top ? 0 : 1);
      else
        w.Bytes(Bytes{c[2], c[1], c[0]});
    }
  }
  return out;
}

// Indices 0 (top) and 1 (bottom), top row first; palette.pal beside it.
Bytes Wal()
{
  Bytes out;
  formats::TByteWriter w(out);
  w.Zeros(32);
  w.U32(Size);
  w.U32(Size);
  w.U32(100);
  w.PadTo(100);
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x) w.U8(ColourOfRow(y) == Top ? 0 : 1);
  return out;
}

Bytes Palette()
{
  Bytes out(768, 0);
  std::copy(Top, Top + 3, out.begin());
  std::copy(Bottom, Bottom + 3, out.begin() + 3);
  return out;
}

// A 12 x 6 square facing the camera whose texture coordinates cover skin rows 2 to 6 only.
TMD2Content TopSampler()
{
  TMD2Content c;
  c.SkinWidth = Size;
  c.SkinHeight = Size;
  c.TexCoords = {{8, 2}, {24, 2}, {24, 6}, {8, 6}};
  c.Triangles = {{{0, 1, 2}, {0, 1, 2}}, {{0, 2, 3}, {0, 2, 3}}};
  c.Frames.push_back(QuantizeFrame({render::Vector(-6, -3, 0), render::Vector(6, -3, 0),
                                    render::Vector(6, 3, 0), render::Vector(-6, 3, 0)},
                                   "f"));
  return c;
}

class SkinOrientation : public quarn::test::GlWindow {
protected:
  SkinOrientation() : GlWindow(96, 96) {}

  void SetUp() override
  {
    GlWindow::SetUp();
    if (IsSkipped()) return;
    Camera.ViewVolume.ViewportWidth = Width;
    Camera.ViewVolume.ViewportHeight = Height;
    Camera.Eye = render::Vector(0, 0, 30);
    Camera.Center = render::Vector(0, 0, 0);
    ASSERT_TRUE(Model.LoadFromFile(Dir.Write("box.md2", WriteMD2(TopSampler())))) << MD2LastError();
    Model.CurrentFrame = 0;
  }

  // Written by ImageMagick from a PPM of the skin (grey: light over mid grey), `format`
  // naming the writer ("PNG8") when the extension alone does not.
  std::string Convert(const std::string& name, const std::string& options = "", bool grey = false,
                      const std::string& format = "")
  {
    Bytes ppm;
    const std::string header =
        "P6\n" + std::to_string(Size) + " " + std::to_string(Size) + "\n255\n";
    ppm.assign(header.begin(), header.end());
    for (int y = 0; y < Size; ++y)
      for (int x = 0; x < Size; ++x) {
        const uint8_t* c = grey ? GreyOfRow(y) : ColourOfRow(y);
        ppm.insert(ppm.end(), c, c + 3);
      }
    const std::string source = Dir.Write("skin.ppm", ppm), target = Dir.File(name);
    const std::string command = "convert '" + source + "' " + options + " '" +
                                (format.empty() ? "" : format + ":") + target + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return target;
  }

  // Lit pixels in the top colour and in the bottom colour after drawing the model with its skin.
  std::pair<int, int> Draw(const uint8_t* top = Top, const uint8_t* bottom = Bottom)
  {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3f(1, 1, 1);
    Camera.Apply();
    Model.BindTexture();
    Model.Draw();
    glFinish();
    const std::vector<uint8_t> rgb = ReadPixels();
    auto near = [&](size_t i, const uint8_t* c) {
      for (int k = 0; k < 3; ++k)
        if (std::abs(int(rgb[i + k]) - int(c[k])) > 60) return false;
      return true;
    };
    int topCount = 0, bottomCount = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) {
      if (near(i, top)) ++topCount;
      if (near(i, bottom)) ++bottomCount;
    }
    return {topCount, bottomCount};
  }

  test::TTempDir Dir;
  render::TTargetCamera Camera;
  TMD2 Model;
};

TEST_F(SkinOrientation, EveryFormatShowsTheTopOfTheSkin)
{
  Dir.Write("palette.pal", Palette());
  const struct {
    std::string File;
    bool Grey;
  } skins[] = {
      {Dir.Write("bottom-up.tga", Tga(false)), false},
      {Dir.Write("top-down.tga", Tga(true)), false},
      {Dir.Write("bottom-up.bmp", Bmp(false, 24)), false},
      {Dir.Write("top-down.bmp", Bmp(true, 24)), false},
      {Dir.Write("indexed.bmp", Bmp(false, 8)), false},
      {Dir.Write("skin.wal", Wal()), false},
      {Convert("skin.jpg"), false},
      {Convert("indexed.pcx", "-type Palette"), false},
      {Convert("rgb.pcx", "-type TrueColor"), false},
      // ImageMagick's TGA files are right only with a top-left origin.
      {Convert("rle.tga", "-orient TopLeft -compress RLE"), false},
      {Convert("mapped.tga", "-orient TopLeft -type Palette"), false},
      {Convert("mapped-rle.tga", "-orient TopLeft -type Palette -compress RLE"), false},
      {Convert("grey.tga", "-orient TopLeft -type Grayscale", true), true},
      {Convert("grey-rle.tga", "-orient TopLeft -type Grayscale -compress RLE", true), true},
      {Dir.Write("555-bottom-up.tga", Tga16(false)), false},
      {Dir.Write("555-top-down.tga", Tga16(true)), false},
      {Convert("palette.png", "", false, "PNG8"), false},
      {Convert("rgb.png", "", false, "PNG24"), false},
      {Convert("interlaced.png", "-interlace PNG", false, "PNG24"), false},
      {Convert("rgb16.png", "", false, "PNG48"), false},
      {Convert("grey.png", "-type Grayscale", true), true},
  };
  for (const auto& skin : skins) {
    SCOPED_TRACE(skin.File);
    ASSERT_TRUE(Model.LoadSkin(skin.File));
    const auto [top, bottom] = skin.Grey ? Draw(GreyTop, GreyBottom) : Draw();
    EXPECT_GT(top, 1000);  // the square covers about 72 x 36 pixels
    EXPECT_EQ(bottom, 0);
  }
}

}  // namespace
}  // namespace quarn::bots
