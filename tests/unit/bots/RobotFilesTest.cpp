#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "bots/MD2.h"
#include "images/Image.h"

namespace quarn::bots {
namespace {

const std::string RobotDir = QUARN_ROBOT_DIR "/";

std::vector<TVector> FramePositions(const TMD2& model, int32_t frame, int32_t vertices)
{
  std::vector<TVector> out;
  for (int32_t i = 0; i < vertices; ++i) out.push_back(model.GetVertex(frame, i));
  return out;
}

// Mean distance the vertices move between two frames.
double Movement(const std::vector<TVector>& a, const std::vector<TVector>& b)
{
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i)
    sum += std::sqrt(double(a[i].x - b[i].x) * (a[i].x - b[i].x) +
                     double(a[i].y - b[i].y) * (a[i].y - b[i].y) +
                     double(a[i].z - b[i].z) * (a[i].z - b[i].z));
  return sum / double(a.size());
}

int32_t VertexCount(const TMD2& model)
{
  // Indices past the vertex count decode as the origin in every frame.
  int32_t count = 0;
  auto atOrigin = [&](int32_t frame, int32_t index) {
    const TVector v = model.GetVertex(frame, index);
    return v.x == 0 && v.y == 0 && v.z == 0;
  };
  while (count < 4096 && !(atOrigin(0, count) && atOrigin(100, count) && atOrigin(190, count)))
    ++count;
  return count;
}

class RobotFiles : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(Body.LoadFromFile(RobotDir + "robot.md2")) << MD2LastError();
    ASSERT_TRUE(Weapon.LoadFromFile(RobotDir + "weapon.md2")) << MD2LastError();
  }
  TMD2 Body, Weapon;
};

TEST_F(RobotFiles, BothModelsHaveEveryFrameOfTheBuiltInRanges)
{
  EXPECT_EQ(Body.GetFrameCount(), 199);
  EXPECT_EQ(Weapon.GetFrameCount(), 199);
  EXPECT_GE(Body.GetTriangleCount(), 200);
  EXPECT_LE(Body.GetTriangleCount(), 1000);
  EXPECT_GE(Weapon.GetTriangleCount(), 12);
}

TEST_F(RobotFiles, EveryRangeMovesAndLooksUnlikeTheOthers)
{
  const int32_t vertices = VertexCount(Body);
  ASSERT_GT(vertices, 100);
  std::vector<std::vector<TVector>> middles;
  for (size_t n = 0; n < 18; ++n) {
    SCOPED_TRACE(n);
    const TAnimationRange r = AnimationTable[n];
    double most = 0;
    for (int32_t f = r.Start; f < r.End; ++f)
      most = std::max(
          most, Movement(FramePositions(Body, f, vertices), FramePositions(Body, f + 1, vertices)));
    EXPECT_GT(most, 0.1);  // something visibly moves from keyframe to keyframe
    middles.push_back(FramePositions(Body, (r.Start + r.End) / 2, vertices));
  }
  for (size_t a = 0; a < middles.size(); ++a)
    for (size_t b = a + 1; b < middles.size(); ++b)
      EXPECT_GT(Movement(middles[a], middles[b]), 0.5) << "ranges " << a << " and " << b;
}

TEST_F(RobotFiles, TheGunStaysInTheHandInEveryFrame)
{
  const int32_t bodyVertices = VertexCount(Body), gunVertices = VertexCount(Weapon);
  for (int32_t f = 0; f < 199; ++f) {
    TVector centre{};
    for (int32_t i = 0; i < gunVertices; ++i) {
      const TVector v = Weapon.GetVertex(f, i);
      centre.x += v.x / float(gunVertices), centre.y += v.y / float(gunVertices),
          centre.z += v.z / float(gunVertices);
    }
    double nearest = 1e9;
    for (int32_t i = 0; i < bodyVertices; ++i) {
      const TVector v = Body.GetVertex(f, i);
      nearest = std::min(nearest, std::hypot(double(v.x - centre.x), double(v.y - centre.y),
                                             double(v.z - centre.z)));
    }
    EXPECT_LT(nearest, 8.0) << "frame " << f;
  }
}

TEST(RobotSkins, EveryFormatDecodesToTheSamePicture)
{
  using namespace images;
  std::vector<uint8_t> tgaBytes, bmpBytes, walBytes, palBytes, pcxBytes, jpgBytes;
  ASSERT_TRUE(ReadWholeFile(RobotDir + "robot.tga", tgaBytes));
  ASSERT_TRUE(ReadWholeFile(RobotDir + "robot.bmp", bmpBytes));
  ASSERT_TRUE(ReadWholeFile(RobotDir + "robot.wal", walBytes));
  ASSERT_TRUE(ReadWholeFile(RobotDir + "palette.pal", palBytes));
  ASSERT_TRUE(ReadWholeFile(RobotDir + "robot.pcx", pcxBytes));
  ASSERT_TRUE(ReadWholeFile(RobotDir + "weapon.jpg", jpgBytes));
  TImage tga, bmp, wal, pcx, jpg;
  ASSERT_EQ(DecodeTGA(tgaBytes, tga), TDecodeResult::Ok);
  ASSERT_EQ(DecodeBMP(bmpBytes, bmp), TDecodeResult::Ok);
  ASSERT_EQ(DecodeWAL(walBytes, palBytes, wal), TDecodeResult::Ok);
  ASSERT_EQ(DecodePCX(pcxBytes, pcx), TDecodeResult::Ok);
  ASSERT_EQ(DecodeJPG(jpgBytes, jpg), TDecodeResult::Ok);
  EXPECT_EQ(tga.Width, 512);
  EXPECT_EQ(tga.Height, 512);
  EXPECT_EQ(jpg.Width, 128);
  EXPECT_EQ(jpg.Height, 128);
  ASSERT_EQ(bmp.Width, tga.Width);
  ASSERT_EQ(wal.Height, tga.Height);
  EXPECT_EQ(bmp.Pixels, tga.Pixels);
  ASSERT_EQ(wal.Pixels.size(), tga.Pixels.size());
  double difference = 0;
  for (size_t i = 0; i < tga.Pixels.size(); ++i)
    difference += std::abs(int(wal.Pixels[i]) - int(tga.Pixels[i]));
  EXPECT_LT(difference / double(tga.Pixels.size()), 6.0);  // 256 colours are close enough
  EXPECT_EQ(pcx.Pixels, wal.Pixels);                       // the same palette and indices
}

}  // namespace
}  // namespace quarn::bots
