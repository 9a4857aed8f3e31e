#include <gtest/gtest.h>

#include <vector>

#include "shell/DXTimer.h"
#include "support/FakeClock.h"

using quarn::platform::TApplication;
using quarn::shell::TDXTimer;

namespace {

using quarn::test::TFakeClock;

// A started timer on its own application, recording every tick's lag count.
struct TimerRig {
  TApplication app;
  TDXTimer timer{app, TFakeClock::Ticks};
  std::vector<int32_t> lags;

  explicit TimerRig(uint32_t interval, uint32_t start = 0)
  {
    TFakeClock::Now = start;
    timer.SetInterval(interval);
    timer.OnTimer = [this](TDXTimer&, int32_t lag) { lags.push_back(lag); };
    timer.Loaded();  // enabled after construction: starts and attaches
  }
  void Idle()
  {
    bool done = true;
    ASSERT_TRUE(app.OnIdle) << "timer is not attached";
    app.OnIdle(done);
    EXPECT_FALSE(done) << "idle work must never report finished";
  }
};

TEST(DXTimer, ConstructionDefaultsAndNoStartBeforeLoading)
{
  TApplication app;
  TDXTimer timer(app, TFakeClock::Ticks);
  EXPECT_TRUE(timer.ActiveOnly);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_EQ(timer.FrameRate(), 0);
  EXPECT_FALSE(app.OnIdle);
}

TEST(DXTimer, IntervalZeroTicksOnEveryPassWithLagAtLeastOne)
{
  TimerRig rig(0, 500);
  rig.Idle();
  rig.Idle();  // same millisecond
  TFakeClock::Now += 7;
  rig.Idle();
  EXPECT_EQ(rig.lags, (std::vector<int32_t>{1, 1, 7}));
}

TEST(DXTimer, LagCountsWholeIntervalsAndRestartsFromThisTick)
{
  TimerRig rig(40, 1000);
  TFakeClock::Now = 1039;
  rig.Idle();
  EXPECT_TRUE(rig.lags.empty());
  TFakeClock::Now = 1130;
  rig.Idle();
  TFakeClock::Now = 1169;  // 39 ms after the previous tick, not after a multiple of 40
  rig.Idle();
  TFakeClock::Now = 1170;
  rig.Idle();
  EXPECT_EQ(rig.lags, (std::vector<int32_t>{3, 1}));
}

TEST(DXTimer, ClockWrapKeepsTheUnsignedDifference)
{
  TimerRig rig(10, 0xFFFFFFF0u);
  TFakeClock::Now = 0x00000014u;  // 36 ms later, past 2^32
  rig.Idle();
  EXPECT_EQ(rig.lags, (std::vector<int32_t>{3}));
}

TEST(DXTimer, FrameRateIsZeroForTheFirstSecondThenTicksPerSecond)
{
  TimerRig rig(0, 0);
  for (int i = 1; i <= 99; ++i) {
    TFakeClock::Now = static_cast<uint32_t>(i * 10);  // every 10 ms
    rig.Idle();
    EXPECT_EQ(rig.timer.FrameRate(), 0);
  }
  TFakeClock::Now = 1000;
  rig.Idle();  // the 100th tick closes the one-second window
  EXPECT_EQ(rig.timer.FrameRate(), 100);
  TFakeClock::Now = 1000 + 1600;
  rig.Idle();  // 1 tick in 1.6 s: 0.625 rounds to 1
  EXPECT_EQ(rig.timer.FrameRate(), 1);
}

TEST(DXTimer, FrameRateRoundsHalvesToEven)
{
  TimerRig rig(0, 0);
  TFakeClock::Now = 2000;
  rig.Idle();  // 1 tick over 2000 ms = 0.5 -> 0
  EXPECT_EQ(rig.timer.FrameRate(), 0);
  TFakeClock::Now = 2000 + 1000;
  rig.Idle();
  TFakeClock::Now = 2000 + 3000;  // not yet: the window restarted at 2000
  EXPECT_EQ(rig.timer.FrameRate(), 1);
}

TEST(DXTimer, ActiveOnlyDetachesWhileInactiveAndRestartsTheWindowOnReturn)
{
  TimerRig rig(0, 100);
  int activations = 0, deactivations = 0;
  rig.timer.OnActivate = [&](TDXTimer&) { ++activations; };
  rig.timer.OnDeactivate = [&](TDXTimer&) { ++deactivations; };

  rig.app.SetActive(false);
  EXPECT_FALSE(rig.app.OnIdle);
  TFakeClock::Now = 5000;
  rig.app.SetActive(true);
  ASSERT_TRUE(rig.app.OnIdle);
  TFakeClock::Now = 5002;
  rig.Idle();
  EXPECT_EQ(rig.lags, (std::vector<int32_t>{2}));  // measured from the reactivation
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(deactivations, 1);
}

TEST(DXTimer, StartingWhileInactiveWaitsForActivation)
{
  TApplication app;
  app.SetActive(false);
  TDXTimer timer(app, TFakeClock::Ticks);
  timer.Loaded();
  EXPECT_FALSE(app.OnIdle);
  app.SetActive(true);
  EXPECT_TRUE(app.OnIdle);

  timer.ActiveOnly = false;
  timer.SetEnabled(false);
  EXPECT_FALSE(app.OnIdle);
  app.SetActive(false);
  timer.SetEnabled(true);
  EXPECT_TRUE(app.OnIdle) << "a timer that is not ActiveOnly runs while inactive";
}

TEST(DXTimer, EnabledWhileLoadingOnlyStoresAndDestructionDetaches)
{
  TApplication app;
  {
    TDXTimer timer(app, TFakeClock::Ticks);
    timer.Loading = true;
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_FALSE(app.OnIdle);
    timer.Loaded();
    EXPECT_TRUE(app.OnIdle);
  }
  EXPECT_FALSE(app.OnIdle);
  app.SetActive(false);  // the destroyed timer's hook is gone: nothing to call
}

TEST(DXTimer, AnExceptionFromOnTimerLeavesIdleNotFinished)
{
  TimerRig rig(0, 0);
  rig.timer.OnTimer = [](TDXTimer&, int32_t) { throw std::runtime_error("frame failed"); };
  bool done = true;
  EXPECT_THROW(rig.app.OnIdle(done), std::runtime_error);
  EXPECT_FALSE(done);
}

}  // namespace
