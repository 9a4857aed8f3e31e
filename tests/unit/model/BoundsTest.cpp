// Bounds over a model's frames, as the viewer's framing and the sprite camera both ask for
// them: any order of the ends, frames outside the model clamped as it draws them.
#include <gtest/gtest.h>

#include "bots/MD2.h"
#include "bots/MD2Writer.h"
#include "model/Bounds.h"
#include "support/ScratchFolder.h"

namespace {

// Three frames of one triangle, each 10 units higher than the last: frame f spans z from
// 10 f to 10 f + 20, x from -10 to 10 and y from 0 to 10.
std::string WriteRisingModel(const quarn::test::TScratchFolder& folder)
{
  quarn::bots::TMD2Content content;
  content.TexCoords = {{0, 0}, {7, 0}, {4, 7}};
  content.Triangles = {{{0, 1, 2}, {0, 1, 2}}};
  for (int frame = 0; frame < 3; ++frame) {
    const float z = 10.0f * float(frame);
    content.Frames.push_back(quarn::bots::QuantizeFrame(
        {quarn::render::Vector(-10, 0, z), quarn::render::Vector(10, 0, z),
         quarn::render::Vector(0, 10, z + 20)},
        "rise" + std::to_string(frame + 1)));
  }
  const std::string path = folder.Path + "rise.md2";
  EXPECT_TRUE(quarn::bots::SaveBytes(path, quarn::bots::WriteMD2(content)));
  return path;
}

TEST(ModelBounds, HoldTheFramesAskedForInEitherOrderClampedToTheModel)
{
  quarn::test::TScratchFolder folder;
  quarn::bots::TMD2 model;
  ASSERT_TRUE(model.LoadFromFile(WriteRisingModel(folder)));
  const struct {
    int32_t First, Last;
    float LowZ, HighZ;
  } cases[] = {
      {0, 0, 0, 20},  {1, 2, 10, 40}, {2, 1, 10, 40},  // either order
      {5, 9, 20, 40},                                  // past the end: the last frame
      {-3, 0, 0, 20},                                  // before the start: the first
      {0, 99, 0, 40},
  };
  constexpr float Grid = 0.2f;  // byte coordinates over a 40-unit frame
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.First) + ".." + std::to_string(c.Last));
    const quarn::model::TBox box = quarn::model::FrameBounds(model, c.First, c.Last);
    ASSERT_FALSE(box.Empty);
    EXPECT_NEAR(box.Low[2], c.LowZ, Grid);
    EXPECT_NEAR(box.High[2], c.HighZ, Grid);
    EXPECT_NEAR(box.Low[0], -10, Grid);
    EXPECT_NEAR(box.High[1], 10, Grid);
  }
  const quarn::model::TBox all = quarn::model::AllFrameBounds(model);
  EXPECT_NEAR(all.Low[2], 0, Grid);
  EXPECT_NEAR(all.High[2], 40, Grid);
}

TEST(ModelBounds, AModelNotLoadedHasNoBoxAndAddsNothingToAnother)
{
  quarn::bots::TMD2 none;
  EXPECT_TRUE(quarn::model::FrameBounds(none, 0, 10).Empty);
  quarn::model::TBox box;
  box.Include({1, 2, 3});
  box.Include(quarn::model::FrameBounds(none, 0, 10));
  EXPECT_EQ(box.Low[0], 1);
  EXPECT_EQ(box.High[2], 3);
}

}  // namespace
