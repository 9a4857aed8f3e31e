// A bot file's frame sounds on a bot of its own: the sound manager plays through a wave list
// on a loopback device, and the bot is advanced with a fake clock, one frame tick per step.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "BotSoundFixture.h"
#include "support/FakeClock.h"
#include "bots/Bot.h"
#include "bots/SoundManager.h"
#include "render/Console.h"
#include "script/Script.h"

namespace quarn::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class FrameSound : public ::testing::Test {
protected:
  void SetUp() override
  {
    loopback.Sound.Initialize();
    ASSERT_TRUE(loopback.Sound.Initialized());
    waveList.SetDXSound(&loopback.Sound);
    manager.Sound = &loopback.Sound;
    manager.WaveList = &waveList;
    bot.SoundManager = &manager;
  }

  bool Load(const std::string& text)
  {
    return bot.Load(script, console, platform::ExeDir() + scratch.Write("test.bot", text));
  }
  // One update, 10 ms after the previous one.
  void Step() { bot.Update(clock.Advance(10)); }
  // Steps until the body model's frame changes to `frame`; false when it never does.
  bool StepTo(int32_t frame, int limit = 2000)
  {
    for (int n = 0; n < limit; ++n) {
      const int32_t before = Frame();
      Step();
      if (Frame() != before && Frame() == frame) return true;
    }
    return false;
  }
  int32_t Frame() { return bot.Model().CurrentFrame; }
  int Voices(const char* wave) { return waveList.Items().Find(wave).VoiceCount(); }
  const std::string& LastLine() { return console.Lines().back(); }

  TBotScratchFolder scratch;
  sound::test::TLoopbackSound loopback;
  sound::TDXWaveList waveList;
  render::TConsole console{nullptr};
  bots::TSoundManager manager{&console};
  script::TScript script;
  bots::TBot bot;
  TFakeClock clock{1000};
};

TEST_F(FrameSound, AFramesSoundPlaysWhenTheFrameIsReachedAndEachTimeAgain)
{
  const std::string set = scratch.WriteSet("test.snd", {"step", "shot"});
  ASSERT_TRUE(
      Load(RunningRobot() + "PrecacheSet('" + set + "');\r\nSetSound(45, 'step', false);\r\n"));
  ASSERT_TRUE(bot.Active());

  // Every run frame before 45 is silent.
  for (int32_t frame = RunFirst + 1; frame < RunLast; ++frame) {
    ASSERT_TRUE(StepTo(frame)) << frame;
    EXPECT_EQ(Voices("step"), 0) << "at frame " << frame;
  }
  EXPECT_LT(loopback.Render(2205), 1e-6);

  ASSERT_TRUE(StepTo(RunLast));
  EXPECT_EQ(Voices("step"), 1);
  EXPECT_EQ(Voices("shot"), 0);
  EXPECT_GT(loopback.Render(2205), 0.1);

  // The next cycle plays it again; the first playback, a second long, is still going.
  ASSERT_TRUE(StepTo(RunFirst));
  EXPECT_EQ(Voices("step"), 1);
  ASSERT_TRUE(StepTo(RunLast));
  EXPECT_EQ(Voices("step"), 2);
}

TEST_F(FrameSound, TheSecondSetSoundForAFrameReplacesTheFirst)
{
  const std::string set = scratch.WriteSet("test.snd", {"step", "shot"});
  ASSERT_TRUE(Load(RunningRobot() + "PrecacheSet('" + set +
                   "');\r\n"
                   "SetSound(45, 'step', false);\r\nSetSound(45, 'shot', true);\r\n"));
  EXPECT_THAT(console.Lines(), Contains("Cadencer command : step...OK"));
  EXPECT_THAT(console.Lines(), Contains("Cadencer command : shot...OK"));
  ASSERT_TRUE(bot.Cadences()[45].has_value());
  EXPECT_EQ(bot.Cadences()[45]->SoundName, "shot");

  ASSERT_TRUE(StepTo(RunLast));
  EXPECT_EQ(Voices("shot"), 1);
  EXPECT_EQ(Voices("step"), 0);
}

TEST_F(FrameSound, AWaveMissingFromTheSetRaisesFromTheUpdateThatReachesItsFrame)
{
  const std::string set = scratch.WriteSet("test.snd", {"shot"});
  ASSERT_TRUE(
      Load(RunningRobot() + "PrecacheSet('" + set + "');\r\nSetSound(45, 'step', false);\r\n"));
  ASSERT_TRUE(bot.Active()) << "an unknown wave name is not an error while loading";

  int raised = 0;
  for (int n = 0; n < 400; ++n) {
    const int32_t before = Frame();
    try {
      Step();
    } catch (const sound::EWaveCollectionError& error) {
      EXPECT_STREQ(error.what(), "Wave 'step' not found");
      EXPECT_EQ(Frame(), RunLast);
      EXPECT_NE(before, RunLast) << "raised only on the step that reaches frame 45";
      ++raised;
    }
  }
  // 400 steps of 10 ms run about six cycles of six keyframes: frame 45 is reached in each,
  // and the animation goes on past it every time.
  EXPECT_GE(raised, 5);
}

TEST_F(FrameSound, WithoutASoundManagerFrameSoundsAreSkipped)
{
  bot.SoundManager = nullptr;
  ASSERT_TRUE(
      Load(RunningRobot() + "PrecacheSet('nothing.snd');\r\nSetSound(45, 'step', false);\r\n"));
  EXPECT_THAT(console.Lines(), ::testing::Not(Contains(::testing::HasSubstr("precach"))));
  EXPECT_TRUE(StepTo(RunLast));
  EXPECT_NO_THROW(StepTo(RunLast));
}

TEST_F(FrameSound, AMissingSetIsReportedWithItsFullPathAndTheBotFileGoesOn)
{
  const std::string set = scratch.WriteSet("test.snd", {"step"});
  ASSERT_TRUE(Load(RunningRobot() + "PrecacheSet('" + scratch.Name +
                   "/none.snd');\r\n"
                   "SetSound(45, 'step', false);\r\nPrecacheSet('" +
                   set + "');\r\n"));
  const std::vector<std::string> tail(console.Lines().end() - 6, console.Lines().end());
  // Not found from the program's folder nor from the bot file's (the scratch folder).
  EXPECT_THAT(tail, ElementsAre("Error precaching" + scratch.Path + "none.snd",
                                "  also tried " + scratch.Path + scratch.Name + "/none.snd",
                                "Cadencer command : step...OK",
                                "Sound collection " + scratch.Path + "test.snd precached",
                                "Warning: model robot.md2 has no skin; it is drawn plain grey",
                                "Bot file test.bot compiled"));
  ASSERT_TRUE(StepTo(RunLast));
  EXPECT_EQ(Voices("step"), 1);
}

// A frame outside the body model, or any frame before a body model is loaded, is refused at
// the SetSound call; frames 0 and 198, the model's first and last, are taken.
struct FrameCase {
  const char* Name;
  const char* Prefix;  // bot file text before the SetSound line
  int Frame;
  const char* Expected;  // the console's last line; %d: the position of the SetSound call
};

void PrintTo(const FrameCase& c, std::ostream* out)
{
  *out << "SetSound(" << c.Frame << ") after \"" << c.Prefix << "\"";
}

class SetSoundFrames : public FrameSound, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(SetSoundFrames, OnlyFramesOfTheBodyModelAreTaken)
{
  const FrameCase& c = GetParam();
  const std::string prefix = c.Prefix == std::string("robot") ? RunningRobot() : c.Prefix;
  const std::string text = prefix + "SetSound(" + std::to_string(c.Frame) + ", 'step', false);\r\n";
  const bool loaded = Load(text);

  char expected[200];
  std::snprintf(expected, sizeof expected, c.Expected, static_cast<int>(text.find("SetSound") + 1));
  const bool taken = !std::string(c.Expected).starts_with("Runtimeerror");
  EXPECT_EQ(loaded, taken);
  EXPECT_EQ(LastLine(), expected);
  if (taken) {
    EXPECT_THAT(console.Lines(), Contains("Cadencer command : step...OK"));
    EXPECT_TRUE(bot.Cadences()[static_cast<size_t>(c.Frame)].has_value());
  }
}

INSTANTIATE_TEST_SUITE_P(
    FrameSound, SetSoundFrames,
    ::testing::Values(
        FrameCase{"before_any_model", "", 45,
                  "Runtimeerror: Frame 45 is not a frame of the model [Position %d]"},
        FrameCase{"first_frame_before_any_model", "x := 1;\r\n", 0,
                  "Runtimeerror: Frame 0 is not a frame of the model [Position %d]"},
        FrameCase{"past_the_last_frame", "robot", 199,
                  "Runtimeerror: Frame 199 is not a frame of the model [Position %d]"},
        FrameCase{"negative_frame", "robot", -1,
                  "Runtimeerror: Frame -1 is not a frame of the model [Position %d]"},
        FrameCase{"largest_integer_frame", "robot", 2147483647,
                  "Runtimeerror: Frame 2147483647 is not a frame of the model [Position %d]"},
        FrameCase{"first_frame", "robot", 0, "Bot file test.bot compiled"},
        FrameCase{"last_frame", "robot", 198, "Bot file test.bot compiled"}),
    [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
}  // namespace quarn::test
