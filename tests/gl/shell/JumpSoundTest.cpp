// The demo robot's jump sound plays at take-off, not when the jump lands.
#include <cstdlib>

#include "BotSoundFixture.h"
#include "MainFormFixture.h"
#include "platform/VirtualKeys.h"

namespace quarn::test {
namespace {

const bool gSilentDevice = (setenv("ALSOFT_DRIVERS", "null", 0), true);

uint32_t gJumpNow = 0;
uint32_t JumpClock() { return gJumpNow; }

using JumpSound = MainFormTest;

TEST_F(JumpSound, TheDemoRobotsJumpSoundsAtTakeOff)
{
  Run("LoadBot('bots/robot/robot.bot')");
  ASSERT_TRUE(form->Bots().Bot().Active());
  if (!form->Sounds().Sound().Initialized()) GTEST_SKIP() << "no sound device";
  gJumpNow = 1000;
  form->Bots().TickClock = JumpClock;
  auto frame = [&] {
    gJumpNow += 10;
    bool done = true;
    form->GLTimer().AppIdle(done);
  };
  auto voices = [&] { return form->Sounds().WaveList().Items().Find("jump").VoiceCount(); };

  frame();
  form->FormKeyDown(platform::VK_SPACE);
  int frames = 0;
  while (form->Bots().Bot().Automata().Current() != 3 && frames++ < 500) frame();
  ASSERT_EQ(form->Bots().Bot().Automata().Current(), 3);  // Jump
  const int32_t first = form->Bots().Bot().Model().CurrentFrame;
  while (voices() == 0 && frames++ < 2000) frame();
  ASSERT_EQ(voices(), 1);
  EXPECT_EQ(form->Bots().Bot().Model().CurrentFrame, first + 1)
      << "the first keyframe after take-off";
}

}  // namespace
}  // namespace quarn::test
