#include <gtest/gtest.h>

#include "render/Vector.h"

using namespace quarn::render;

namespace {

TEST(Vector, MakesPointsWithWOne)
{
  const TVector v = Vector(1.5f, -2, 3);
  EXPECT_EQ(v.x, 1.5f);
  EXPECT_EQ(v.y, -2.0f);
  EXPECT_EQ(v.z, 3.0f);
  EXPECT_EQ(v.w, 1.0f);
}

TEST(Vector, LerpBlendsXYZOnly)
{
  const TVector a{0, 10, -4, 1}, b{10, 20, 4, 7};
  const TVector half = LerpVector(a, b, 0.5f);
  EXPECT_FLOAT_EQ(half.x, 5);
  EXPECT_FLOAT_EQ(half.y, 15);
  EXPECT_FLOAT_EQ(half.z, 0);
  EXPECT_EQ(half.w, 1.0f);
  const TVector end = LerpVector(a, b, 1.0f);
  EXPECT_EQ(end.x, 10.0f);
  // Past the end (a keyframe fraction may reach 1.0000001) it extrapolates a little.
  EXPECT_GT(LerpVector(a, b, 1.0000001f).x, 10.0f);
}

TEST(Vector, PackColorPutsRedInTheLowestByte)
{
  static_assert(PackColor(0x11, 0x22, 0x33, 0x44) == 0x44332211u);
  EXPECT_EQ(PackColor(255, 0, 0, 0), 0xFFu);
  EXPECT_EQ(PackColor(0, 0, 0, 255), 0xFF000000u);
}

}  // namespace
