// The recorded demo, anims/demo.anim on the demo robot, can be watched: it lasts several
// seconds and shows each motion for at least a whole cycle.
#include <map>

#include "BotHostingFixture.h"

namespace {

TEST_F(BotHostingTest, TheDemoAnimationShowsEachMotionForAWholeCycle)
{
  LoadBot("bots/robot/robot.bot");
  ASSERT_TRUE(form->Bots().Bot().Active());
  Frame();
  Run("LoadAnimationFile('" + quarn::platform::ExeDir() + "anims/demo.anim')");
  ASSERT_TRUE(form->Bots().AnimPlaying());

  const uint32_t start = quarn::test::TFakeClock::Now;
  std::map<int32_t, uint32_t> shortestVisit;  // state -> ms
  int32_t state = State();
  uint32_t entered = quarn::test::TFakeClock::Now;
  auto leave = [&] {
    const uint32_t stay = quarn::test::TFakeClock::Now - entered;
    auto [it, added] = shortestVisit.emplace(state, stay);
    if (!added && stay < it->second) it->second = stay;
  };
  for (int n = 0; n < 6000 && form->Bots().AnimPlaying(); ++n) {
    Frame();
    if (State() != state) {
      leave();
      state = State();
      entered = quarn::test::TFakeClock::Now;
    }
  }
  EXPECT_FALSE(form->Bots().AnimPlaying());
  EXPECT_GE(quarn::test::TFakeClock::Now - start, 5000u) << "the demo is over too soon";
  for (const auto& [visited, ms] : shortestVisit) {
    if (visited != 0) {
      EXPECT_GE(ms, 400u) << "state " << visited << " shown for " << ms << " ms";
    }
  }
  for (int32_t motion : {8, 9, 10, 11})
    EXPECT_TRUE(shortestVisit.count(motion)) << "state " << motion;
}

}  // namespace
