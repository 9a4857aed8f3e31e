#include <gtest/gtest.h>

#include "sprites/SpriteFrames.h"

namespace quarn::model {

// Found by argument-dependent lookup: in the animation's own namespace.
void PrintTo(const TAnimation& a, std::ostream* out)
{
  *out << a.Name << " " << a.First << "-" << a.Last;
}

}  // namespace quarn::model

namespace quarn::sprites {

namespace {

TEST(SpriteFrames, RecordedGroupsAreRunsOfNumberedNames)
{
  const std::vector<std::string> names = {"stand01", "stand02", "run1", "run2", "run3",  "pain101",
                                          "pain102", "pain201", "",     "",     "a b/1", "a b/2"};
  EXPECT_EQ(RecordedAnimations(names), (std::vector<TSpriteAnimation>{{"stand", 0, 1},
                                                                      {"run", 2, 4},
                                                                      {"pain", 5, 6},
                                                                      {"pain_2", 7, 7},
                                                                      {"frames", 8, 9},
                                                                      {"a_b", 10, 11}}));
}

TEST(SpriteFrames, NamesRepeatedInAnotherLetterCaseAreNumberedToo)
{
  EXPECT_EQ(RecordedAnimations({"Run1", "Run2", "run1", "RUN1"}),
            (std::vector<TSpriteAnimation>{{"Run", 0, 1}, {"run_2", 2, 2}, {"RUN_3", 3, 3}}));
}

TEST(SpriteFrames, ChoosingByNameOrRange)
{
  const std::vector<TSpriteAnimation> recorded = {
      {"stand", 0, 1}, {"pain", 2, 3}, {"pain_2", 4, 5}};
  std::vector<TSpriteAnimation> chosen;
  std::string error;
  ASSERT_TRUE(ChooseAnimations(recorded, 6, {}, chosen, error));
  EXPECT_EQ(chosen, recorded);
  ASSERT_TRUE(ChooseAnimations(recorded, 6, {"pain", "1-4", "stand"}, chosen, error));
  EXPECT_EQ(chosen, (std::vector<TSpriteAnimation>{
                        {"pain", 2, 3}, {"pain_2", 4, 5}, {"frames1-4", 1, 4}, {"stand", 0, 1}}));
  ASSERT_TRUE(ChooseAnimations(recorded, 6, {"PAIN_2", "Stand"}, chosen, error));
  EXPECT_EQ(chosen, (std::vector<TSpriteAnimation>{{"pain_2", 4, 5}, {"stand", 0, 1}}));
  EXPECT_FALSE(ChooseAnimations(recorded, 6, {"walk"}, chosen, error));
  EXPECT_EQ(error,
            "--anim walk: the model has no animation of that name (it has stand, pain, pain_2)");
  for (const char* range : {"4-6", "5-4"}) {
    EXPECT_FALSE(ChooseAnimations(recorded, 6, {range}, chosen, error)) << range;
    EXPECT_NE(error.find("the model's frames are 0-5"), std::string::npos) << error;
  }
}

TEST(SpriteFrames, SamplingBlendsBetweenKeyframesAndLoops)
{
  const TSpriteAnimation run{"run", 40, 42};
  auto poses = SamplePoses(run, 0);
  ASSERT_EQ(poses.size(), 3u);
  EXPECT_EQ(poses[2].Current, 42);
  EXPECT_EQ(poses[2].Previous, -1);

  // Three keyframes at 10 a second last 0.3 s: at 25 frames a second, 8 samples 0.4 keyframe
  // apart, the last ones blending from the last keyframe back to the first.
  poses = SamplePoses(run, 25);
  ASSERT_EQ(poses.size(), 8u);
  EXPECT_EQ(poses[0].Previous, -1);
  EXPECT_EQ(poses[0].Current, 40);
  EXPECT_EQ(poses[1].Previous, 40);
  EXPECT_EQ(poses[1].Current, 41);
  EXPECT_FLOAT_EQ(poses[1].Fraction, 0.4f);
  EXPECT_EQ(poses[5].Previous, -1);
  EXPECT_EQ(poses[5].Current, 42);
  EXPECT_EQ(poses[7].Previous, 42);
  EXPECT_EQ(poses[7].Current, 40);
  EXPECT_FLOAT_EQ(poses[7].Fraction, 0.8f);

  EXPECT_EQ(SamplePoses({"one", 7, 7}, 60).size(), 1u);
  EXPECT_DOUBLE_EQ(FrameDuration(0), 100.0);
  EXPECT_DOUBLE_EQ(FrameDuration(25), 40.0);
}

TEST(SpriteFrames, FileNamesSort)
{
  EXPECT_EQ(FrameFileStem("run", 3, 5, 6), "run_dir3_005");
  EXPECT_EQ(FrameFileStem("run", 0, 999, 1000), "run_dir0_999");
  EXPECT_EQ(FrameFileStem("run", 0, 7, 1001), "run_dir0_0007");
  // Directions take the digits of the largest: 16 directions are 00 to 15.
  EXPECT_EQ(FrameFileStem("run", 3, 5, 6, 16), "run_dir03_005");
  EXPECT_EQ(FrameFileStem("run", 9, 5, 6, 10), "run_dir9_005");
  EXPECT_EQ(FrameFileStem("run", 7, 5, 6, 360), "run_dir007_005");
}

}  // namespace
}  // namespace quarn::sprites
