// Frame sounds through the main window: LoadBot hands every bot the window's sound manager,
// PrecacheSet finds sets in the program's directory, and a frame whose sound cannot be played
// ends early while the frames after it run on.
#include <cstdlib>

#include "BotSoundFixture.h"
#include "MainFormFixture.h"
#include "platform/VirtualKeys.h"
#include "support/FakeClock.h"

namespace quarn::test {
namespace {

using ::testing::Contains;

// A silent but working sound device, whatever the caller's environment. The library reads the
// setting once, when the process first opens a device (any test's), so it is set before main.
const bool gSilentDevice = (setenv("ALSOFT_DRIVERS", "null", 0), true);

class WindowFrameSound : public MainFormTest {
protected:
  void SetUp() override
  {
    MainFormTest::SetUp();
    if (HasFatalFailure()) return;
    form->Bots().TickClock = TFakeClock::Ticks;
  }

  // One frame through the frame timer's idle handler, as the message loop runs it, 10 ms of
  // bot time after the previous one. The frame interval is 0: every pass is a frame.
  void Frame()
  {
    botClock.Advance(10);
    bool done = true;
    form->GLTimer().AppIdle(done);
    EXPECT_FALSE(done);
  }
  int32_t BotFrame() { return form->Bots().Bot().Model().CurrentFrame; }
  int Voices(const char* wave) { return form->Sounds().WaveList().Items().Find(wave).VoiceCount(); }

  TBotScratchFolder scratch;
  TFakeClock botClock{1000};
};

TEST_F(WindowFrameSound, TheDemoBotsFootstepsPlayWhileForwardIsHeld)
{
  const auto printed = Run("LoadBot('bots/robot/robot.bot')");
  EXPECT_THAT(printed, Contains("Sound collection " + platform::ExeDir() +
                                "bots/robot/robot.snd precached"));
  ASSERT_TRUE(form->Bots().Bot().Active());
  ASSERT_NE(form->Bots().Bot().SoundManager, nullptr);
  if (!form->Sounds().Sound().Initialized())
    GTEST_SKIP() << "no sound device (run with ALSOFT_DRIVERS=null)";

  Frame();  // enters state 0, from which forward leads to Run
  form->FormKeyDown(platform::VK_UP);
  int frames = 0;
  while (Voices("footstep") == 0 && frames < 2000) {
    Frame();
    ++frames;
  }
  ASSERT_EQ(Voices("footstep"), 1)
      << "no footstep after " << frames << " frames; state "
      << form->Bots().Bot().Automata().Current() << " frame " << BotFrame() << " initialized "
      << form->Sounds().WaveList().Items().Initialized() << " count "
      << form->Sounds().WaveList().Items().Count();
  EXPECT_EQ(form->Bots().Bot().Automata().Current(), 1);  // Run
  EXPECT_EQ(BotFrame(), 41);
  EXPECT_EQ(Voices("shot"), 0);
  EXPECT_EQ(Voices("jump"), 0);
}

// LoadBot again while the first bot's footsteps are still sounding: the set is read again, the
// playing voices go with the old items, and the new bot's footsteps play from the new ones.
TEST_F(WindowFrameSound, ReloadingTheBotWhileItsSoundsPlayStartsAFreshSet)
{
  if (!form->Sounds().Sound().Initialized()) GTEST_SKIP() << "no sound device";
  for (int load = 0; load < 2; ++load) {
    Run("LoadBot('bots/robot/robot.bot')");
    ASSERT_TRUE(form->Bots().Bot().Active());
    EXPECT_EQ(Voices("footstep"), 0) << "load " << load;
    Frame();
    form->FormKeyDown(platform::VK_UP);
    for (int n = 0; n < 2000 && Voices("footstep") == 0; ++n) Frame();
    EXPECT_EQ(Voices("footstep"), 1) << "load " << load;
    form->FormKeyUp(platform::VK_UP);
  }
}

TEST_F(WindowFrameSound, AMissingWaveEndsItsFrameWithTheErrorAndTheNextFramesRun)
{
  const std::string bot = scratch.Write("step.bot", RunningRobot() +
                                                        "PrecacheSet('bots/robot/robot.snd');\r\n"
                                                        "SetSound(45, 'step', false);\r\n");
  const auto printed = Run("LoadBot('" + bot + "')");
  EXPECT_EQ(printed.back(), "Bot file step.bot compiled");
  ASSERT_TRUE(form->Bots().Bot().Active());

  int raised = 0;
  int framesAfterError = 0;
  for (int n = 0; n < 400; ++n) {
    const int32_t before = BotFrame();
    try {
      Frame();
      if (raised > 0) ++framesAfterError;
    } catch (const std::exception& error) {
      EXPECT_STREQ(error.what(), "Wave 'step' not found");
      EXPECT_EQ(BotFrame(), RunLast);
      EXPECT_NE(before, RunLast);
      ++raised;
    }
  }
  EXPECT_GE(raised, 5) << "the error recurs each time frame 45 is reached";
  EXPECT_GT(framesAfterError, 300);
  EXPECT_TRUE(form->Bots().Bot().Active());
}

}  // namespace
}  // namespace quarn::test
