#include <gtest/gtest.h>

#include <vector>

#include "bots/MD2.h"
#include "TestModels.h"
#include "support/FakeClock.h"

namespace quarn::bots {
namespace {

// The millisecond clock the bot passes in, advanced by hand.
using quarn::test::TFakeClock;

class Keyframes : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(Model.LoadFromFile(Dir.Write("m.md2", WriteMD2(test::TriangleModel(199)))));
    Model.Active = true;
  }

  // Frame ticks until the keyframe changes; returns how many updates that took.
  int StepKeyframe()
  {
    const int32_t before = Model.CurrentFrame;
    int updates = 0;
    while (Model.CurrentFrame == before && updates < 1000) {
      Model.Update(Clock.Advance(Model.FrameInterval));
      ++updates;
    }
    return updates;
  }

  std::vector<int32_t> Walk(int steps)
  {
    std::vector<int32_t> frames;
    for (int i = 0; i < steps; ++i) {
      StepKeyframe();
      frames.push_back(Model.CurrentFrame);
    }
    return frames;
  }

  test::TTempDir Dir;
  TMD2 Model;
  TFakeClock Clock;
};

TEST_F(Keyframes, TenFrameTicksThenAStepRestartingTheFraction)
{
  for (int i = 0; i < 10; ++i) {
    EXPECT_TRUE(Model.Update(Clock.Advance(10)));
    EXPECT_EQ(Model.CurrentFrame, 40);
  }
  EXPECT_GT(Model.Fraction, 1.0f);  // ten steps of 0.1f overshoot 1
  EXPECT_EQ(Model.Fraction, 1.0000001f);
  Model.Update(Clock.Now);  // no tick at the same time: nothing to add, yet due: step
  EXPECT_EQ(Model.CurrentFrame, 41);
  EXPECT_EQ(Model.PreviousFrame, 40);
  EXPECT_EQ(Model.Fraction, 0.0f);
}

TEST_F(Keyframes, FractionGrowsOnlyOnFrameTicks)
{
  Model.FrameInterval = 25;
  Model.Update(Clock.Advance(25));
  EXPECT_FLOAT_EQ(Model.Fraction, 0.1f);
  Model.Update(Clock.Advance(24));
  EXPECT_FLOAT_EQ(Model.Fraction, 0.1f);
  Model.Update(Clock.Advance(1));
  EXPECT_FLOAT_EQ(Model.Fraction, 0.2f);
}

TEST_F(Keyframes, LongUpdateIntervalHoldsTheBlendUntilDue)
{
  Model.UpdateInterval = 500;
  for (int i = 0; i < 30; ++i) EXPECT_FALSE(Model.Update(Clock.Advance(10)));
  EXPECT_EQ(Model.Fraction, 1.0000001f);
  EXPECT_EQ(Model.CurrentFrame, 40);
  Model.Update(Clock.Advance(200));  // 500 ms since the last due update
  EXPECT_EQ(Model.CurrentFrame, 41);
}

TEST_F(Keyframes, ClocksCompareAcrossTheWrapOf32Bits)
{
  Model.UpdateInterval = 20;
  Model.LastUpdate = 0xFFFFFFF0u;
  Model.LastFrameTick = 0xFFFFFFF0u;
  EXPECT_FALSE(Model.Update(3));  // 19 ms later
  EXPECT_EQ(Model.Fraction, 0.1f);
  EXPECT_TRUE(Model.Update(4));  // 20 ms later
  EXPECT_EQ(Model.LastUpdate, 4u);
}

TEST_F(Keyframes, RangeWrapsAtItsEndCallingOnAnimationEndAndOnFrame)
{
  int ends = 0;
  std::vector<int32_t> reported;
  Model.OnAnimationEnd = [&](TMD2& sender) {
    EXPECT_EQ(&sender, &Model);
    EXPECT_FALSE(Model.ChangeArmed);
    ++ends;
  };
  Model.OnFrame = [&](int32_t frame) { reported.push_back(frame); };
  EXPECT_EQ(Walk(7), (std::vector<int32_t>{41, 42, 43, 44, 45, 40, 41}));
  EXPECT_EQ(reported, (std::vector<int32_t>{41, 42, 43, 44, 45, 40, 41}));
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(Model.ChangeArmed);
}

TEST_F(Keyframes, EndHandlerChoosingANewRangeStartsItWithoutChangeNotice)
{
  int changes = 0;
  Model.OnAnimationChange = [&](TMD2&) { ++changes; };
  Model.OnAnimationEnd = [&](TMD2& sender) { sender.SetAnimation(4); };
  Model.SetAnimation(1);  // first call after loading: not armed
  EXPECT_EQ(changes, 0);
  Walk(5);
  EXPECT_EQ(Model.CurrentFrame, 45);
  StepKeyframe();
  EXPECT_EQ(Model.StartFrame, 67);
  EXPECT_EQ(Model.CurrentFrame, 67);
  EXPECT_EQ(Model.PreviousFrame, 67);  // the wrap takes the frame the handler set
  EXPECT_EQ(changes, 0);
  Model.SetAnimation(2);
  EXPECT_EQ(changes, 1);
}

TEST_F(Keyframes, AnimationEighteenRunsRangeOneBackwards)
{
  Model.SetAnimation(18);
  EXPECT_EQ(Model.CurrentFrame, 45);
  EXPECT_EQ(Model.FrameStep, -1);
  EXPECT_EQ(Walk(7), (std::vector<int32_t>{44, 43, 42, 41, 40, 45, 44}));
}

TEST_F(Keyframes, EveryBuiltInRangeWalksFromStartToEndAndWraps)
{
  for (size_t n = 0; n < AnimationTable.size(); ++n) {
    SCOPED_TRACE(n);
    const TAnimationRange range = AnimationTable[n];
    Model.SetAnimation(static_cast<int32_t>(n));
    const int length = (range.End - range.Start) * range.Step + 1;
    const std::vector<int32_t> frames = Walk(length);
    EXPECT_EQ(frames.back(), range.Start);
    EXPECT_EQ(frames[static_cast<size_t>(length) - 2], range.End);
  }
}

TEST_F(Keyframes, NumbersOutsideTheTableKeepTheRangeButRestartIt)
{
  Model.SetAnimation(5);
  Walk(3);
  Model.Fraction = 0.5f;
  for (int32_t number : {19, 1000, -1}) {
    Model.SetAnimation(number);
    EXPECT_EQ(Model.Animation, number);
    EXPECT_EQ(Model.StartFrame, 72);
    EXPECT_EQ(Model.EndFrame, 95);
    EXPECT_EQ(Model.CurrentFrame, 72);
    EXPECT_EQ(Model.Fraction, 0.0f);
  }
}

TEST_F(Keyframes, SetAnimationKeepsThePreviousFrameToBlendFrom)
{
  Walk(2);
  EXPECT_EQ(Model.PreviousFrame, 41);
  Model.SetAnimation(3);
  EXPECT_EQ(Model.PreviousFrame, 41);
  EXPECT_EQ(Model.CurrentFrame, 61);
}

TEST_F(Keyframes, InactiveModelStaysPutButItsFractionStillGrowsToJustPastOne)
{
  Model.Active = false;
  Model.Velocity = render::Vector(1, 2, 3);
  for (int i = 0; i < 40; ++i) EXPECT_FALSE(Model.Update(Clock.Advance(10)));
  EXPECT_EQ(Model.CurrentFrame, 40);
  EXPECT_EQ(Model.Position.x, 0.0f);
  EXPECT_EQ(Model.Fraction, 1.0000001f);
}

TEST_F(Keyframes, ActiveModelMovesByVelocityOnEveryUpdate)
{
  Model.Velocity = render::Vector(1, 0, -0.5f);
  Model.UpdateInterval = 1000;
  for (int i = 0; i < 4; ++i) Model.Update(Clock.Advance(1));
  EXPECT_EQ(Model.Position.x, 4.0f);
  EXPECT_EQ(Model.Position.z, -2.0f);
}

TEST(KeyframesShortModel, RangesPastTheLastFrameDrawTheLastFrame)
{
  test::TTempDir dir;
  TMD2 weapon;
  ASSERT_TRUE(weapon.LoadFromFile(dir.Write("w.md2", WriteMD2(test::TriangleModel(50)))));
  weapon.SetAnimation(5);  // 72..95, all beyond frame 49
  weapon.PreviousFrame = 60;
  weapon.Fraction = 0.5f;
  EXPECT_EQ(weapon.GetCorner(0, 0).Position.x, 49.0f);
  weapon.Active = true;
  uint32_t now = 0;
  for (int i = 0; i < 2000; ++i) weapon.Update(now += 10);  // walks and wraps without reading past
  EXPECT_GE(weapon.CurrentFrame, 72);
  EXPECT_LE(weapon.CurrentFrame, 95);
  EXPECT_EQ(weapon.GetCorner(0, 2).Position.z, 1.0f);
}

}  // namespace
}  // namespace quarn::bots
