// The demo robot drawn by TMD2 must be byte-identical to the same model sent corner by corner
// in immediate mode, decoded here from the file's bytes with the arithmetic models have always
// used (byte * scale + translate in double, blended in extended precision, texture coordinates
// divided in double). And face culling: off unless asked for; on, it leaves out the triangles
// that are counter-clockwise on screen, and leaves the picture of a closed model unchanged.
#include <GL/gl.h>

#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/GlWindow.h"
#include "bots/MD2.h"
#include "bots/MD2Writer.h"
#include "render/Camera.h"
#include "render/Texture.h"
#include "../../unit/bots/TestModels.h"

namespace quarn::bots {
namespace {

const std::string RobotDir = QUARN_ROBOT_DIR "/";

// The reference: an MD2 file read field by field and sent one corner at a time.
class TReferenceModel {
public:
  explicit TReferenceModel(const std::string& fileName)
  {
    std::ifstream in(fileName, std::ios::binary);
    Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  void Draw(int32_t previous, int32_t current, float fraction) const
  {
    const int32_t skinWidth = I32(8), skinHeight = I32(12), frameSize = I32(16);
    const int32_t triangles = I32(32), frames = I32(40);
    const int32_t ofsTexCoords = I32(48), ofsTriangles = I32(52), ofsFrames = I32(56);
    auto clamp = [&](int32_t f) { return f >= frames ? frames - 1 : f < 0 ? 0 : f; };
    auto vertex = [&](int32_t frame, int32_t index) {
      const size_t f = size_t(ofsFrames) + size_t(clamp(frame)) * size_t(frameSize);
      render::TVector v = render::Vector(0, 0, 0);
      float* out[3] = {&v.x, &v.y, &v.z};
      for (int axis = 0; axis < 3; ++axis)
        *out[axis] = float(double(Bytes[f + 40 + size_t(index) * 4 + size_t(axis)]) *
                               F32(f + 4 * size_t(axis)) +
                           F32(f + 12 + 4 * size_t(axis)));
      return v;
    };
    render::DisableBlending();
    glPushMatrix();
    glScalef(1, 1, 1);
    glTranslatef(0, 0, 0);
    glRotatef(0, 1, 0, 0);
    glRotatef(0, 0, 1, 0);
    glRotatef(0, 0, 0, 1);
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i < triangles; ++i)
      for (size_t k = 0; k < 3; ++k) {
        const size_t t = size_t(ofsTriangles) + size_t(i) * 12;
        const int16_t index = I16(t + 2 * k);
        const size_t c = size_t(ofsTexCoords) + size_t(I16(t + 6 + 2 * k)) * 4;
        render::TVector p = vertex(current, index);
        if (previous != -1) p = render::LerpVector(vertex(previous, index), p, fraction);
        glTexCoord2f(float(double(I16(c)) / skinWidth), float(double(I16(c + 2)) / skinHeight));
        const float xyz[3] = {p.x, p.y, p.z};
        glVertex3fv(xyz);
      }
    glEnd();
    glPopMatrix();
  }

private:
  int32_t I32(size_t at) const
  {
    int32_t v;
    std::memcpy(&v, &Bytes[at], 4);
    return v;
  }
  int16_t I16(size_t at) const
  {
    int16_t v;
    std::memcpy(&v, &Bytes[at], 2);
    return v;
  }
  float F32(size_t at) const
  {
    float v;
    std::memcpy(&v, &Bytes[at], 4);
    return v;
  }

  std::vector<uint8_t> Bytes;
};

class ModelPicture : public quarn::test::GlWindow {
protected:
  ModelPicture() : GlWindow(320, 240) {}

  void SetUp() override
  {
    GlWindow::SetUp();
    if (IsSkipped()) return;
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    Camera.ViewVolume.ViewportWidth = Width;
    Camera.ViewVolume.ViewportHeight = Height;
    Camera.ViewVolume.FarPlane = 1000;
    Camera.Eye = render::Vector(-120, 60, 0);
    Camera.Center = render::Vector(0, 30, 0);
    Camera.Rotation = render::Vector(-90, 23, 0);
  }

  // The colours, then the depths as bytes.
  std::vector<uint8_t> Picture(const std::function<void()>& draw)
  {
    glClearColor(0.12f, 0.13f, 0.16f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Camera.Apply();
    glColor3f(1, 1, 1);
    draw();
    glFinish();
    std::vector<uint8_t> pixels = ReadPixels();
    std::vector<uint16_t> depth(size_t(Width) * size_t(Height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, depth.data());
    const auto* bytes = reinterpret_cast<const uint8_t*>(depth.data());
    pixels.insert(pixels.end(), bytes, bytes + depth.size() * 2);
    return pixels;
  }

  // Pixels that differ from the clear colour.
  size_t Drawn(const std::vector<uint8_t>& rgb) const
  {
    size_t n = 0;
    for (size_t i = 0; i < size_t(Width) * size_t(Height) * 3; i += 3)
      n += !(rgb[i] == 31 && rgb[i + 1] == 33 && rgb[i + 2] == 41);
    return n;
  }

  // Bytes of colour or depth that differ.
  static size_t Differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
  {
    size_t n = a.size() != b.size();
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n;
  }

  render::TTargetCamera Camera;
};

struct TPose {
  const char* Name;
  int32_t Previous, Current;
  float Fraction;
  float Turn;
};

constexpr TPose Poses[] = {
    {"standing", -1, 0, 0, -30},
    {"running, half way", 44, 45, 0.5f, 60},
    {"jumping, past the keyframe", 69, 70, 1.0000001f, 150},
    {"crouching, early", 135, 136, 0.1f, 250},
    {"past the last frame", 400, 401, 0.3f, 20},
};

TEST_F(ModelPicture, RobotIsByteIdenticalToTheCornerByCornerPicture)
{
  TMD2 body, weapon;
  ASSERT_TRUE(body.LoadFromFile(RobotDir + "robot.md2")) << MD2LastError();
  ASSERT_TRUE(weapon.LoadFromFile(RobotDir + "weapon.md2")) << MD2LastError();
  ASSERT_TRUE(body.LoadSkin(RobotDir + "robot.tga") && weapon.LoadSkin(RobotDir + "weapon.jpg"));
  const TReferenceModel bodyFile(RobotDir + "robot.md2"), weaponFile(RobotDir + "weapon.md2");
  for (const TPose& pose : Poses) {
    Camera.Turn = pose.Turn;
    const std::vector<uint8_t> reference = Picture([&] {
      body.BindTexture();
      bodyFile.Draw(pose.Previous, pose.Current, pose.Fraction);
      weapon.BindTexture();
      weaponFile.Draw(pose.Previous, pose.Current, pose.Fraction);
    });
    const std::vector<uint8_t> drawn = Picture([&] {
      for (TMD2* model : {&body, &weapon}) {
        model->PreviousFrame = pose.Previous;
        model->CurrentFrame = pose.Current;
        model->Fraction = pose.Fraction;
        model->BindTexture();
        model->Draw();
      }
    });
    EXPECT_GT(Drawn(reference), size_t(Width * Height / 20)) << pose.Name;
    EXPECT_EQ(Differing(drawn, reference), 0u) << pose.Name;
  }
}

// A cube of side 20 about the origin whose faces are clockwise seen from outside, as the
// format's models are made; `inward` turns every triangle round.
TMD2Content Cube(bool inward)
{
  TMD2Content c;
  c.TexCoords = {{0, 0}};
  std::vector<render::TVector> corners;
  for (int i = 0; i < 8; ++i)
    corners.push_back(
        render::Vector(i & 1 ? 10.f : -10.f, i & 2 ? 10.f : -10.f, i & 4 ? 10.f : -10.f));
  // Each face's corners counter-clockwise seen from outside; the triangles reverse them.
  constexpr int16_t Faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                   {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& f : Faces)
    for (const std::array<int16_t, 3>& t :
         {std::array<int16_t, 3>{f[0], f[2], f[1]}, std::array<int16_t, 3>{f[0], f[3], f[2]}}) {
      std::array<int16_t, 3> v = t;
      if (inward) std::swap(v[1], v[2]);
      c.Triangles.push_back({v, {0, 0, 0}});
    }
  c.Frames.push_back(QuantizeFrame(corners, "cube"));
  return c;
}

TEST_F(ModelPicture, CullingLeavesOutTheFacesTurnedAway)
{
  test::TTempDir dir;
  struct TCase {
    const char* Name;
    bool Inward, Culling;
    bool Same;  // the picture is the one drawn without culling
  };
  constexpr TCase Cases[] = {
      {"outward faces, culling", false, true, true},
      {"inward faces, culling", true, true, false},
      {"inward faces, no culling", true, false, true},
  };
  glDisable(GL_TEXTURE_2D);
  for (const TCase& c : Cases) {
    TMD2 cube;
    ASSERT_TRUE(cube.LoadFromFile(dir.Write("cube.md2", WriteMD2(Cube(c.Inward)))));
    for (const float turn : {0.f, 35.f, 120.f}) {
      Camera.Turn = turn;
      const std::vector<uint8_t> plain = Picture([&] { cube.Draw(); });
      cube.Culling = c.Culling;
      const std::vector<uint8_t> culled = Picture([&] { cube.Draw(); });
      cube.Culling = false;
      EXPECT_GT(Drawn(plain), 500u) << c.Name;
      EXPECT_EQ(Differing(culled, plain) == 0, c.Same) << c.Name << " turn " << turn;
      EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << c.Name;
    }
  }
  glEnable(GL_TEXTURE_2D);
}

// The demo robot is made as the format's models are, to be seen from outside with the faces
// turned away left out: culling them hardly changes its picture (a few pixels where an open
// edge lets the background show).
TEST_F(ModelPicture, RobotLooksTheSameWithCulling)
{
  TMD2 body, weapon;
  ASSERT_TRUE(body.LoadFromFile(RobotDir + "robot.md2") &&
              weapon.LoadFromFile(RobotDir + "weapon.md2"));
  ASSERT_TRUE(body.LoadSkin(RobotDir + "robot.tga") && weapon.LoadSkin(RobotDir + "weapon.jpg"));
  for (const TPose& pose : Poses) {
    Camera.Turn = pose.Turn;
    std::vector<uint8_t> pictures[2];
    for (const bool culling : {false, true})
      pictures[culling] = Picture([&] {
        for (TMD2* model : {&body, &weapon}) {
          model->PreviousFrame = pose.Previous;
          model->CurrentFrame = pose.Current;
          model->Fraction = pose.Fraction;
          model->Culling = culling;
          model->BindTexture();
          model->Draw();
        }
      });
    size_t differing = 0;
    for (size_t i = 0; i < size_t(Width) * size_t(Height) * 3; i += 3)
      differing += std::memcmp(&pictures[0][i], &pictures[1][i], 3) != 0;
    EXPECT_GT(Drawn(pictures[0]), size_t(Width * Height / 20)) << pose.Name;
    EXPECT_LE(differing, 10u) << pose.Name;
  }
}

}  // namespace
}  // namespace quarn::bots
