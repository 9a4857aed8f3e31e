#pragma once
#include <cstdint>
#include <functional>

#include "platform/Application.h"
#include "platform/Clock.h"

namespace quarn::shell {

// The frame timer. Not a periodic system timer: it is the application's idle handler and asks
// to be called again at once, so the loop alternates between pending events and ticks. A tick
// fires when at least Interval ms have passed; LagCount is the number of intervals that passed.
class TDXTimer {
public:
  using TNotifyEvent = std::function<void(TDXTimer& sender)>;
  using TDXTimerEvent = std::function<void(TDXTimer& sender, int32_t lagCount)>;

  explicit TDXTimer(platform::TApplication& application = platform::Application(),
                    platform::ClockFunc clock = platform::TimeGetTime);
  ~TDXTimer();
  TDXTimer(const TDXTimer&) = delete;
  TDXTimer& operator=(const TDXTimer&) = delete;

  bool ActiveOnly = true;  // tick only while the application is active

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t value);
  int32_t FrameRate() const { return FFrameRate; }  // ticks per second of the last window

  // While true, SetEnabled only stores the value; Loaded() then starts an enabled timer.
  bool Loading = false;
  void Loaded();

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TDXTimerEvent OnTimer;

  // The idle handler (public so tests can drive it without an event loop).
  void AppIdle(bool& done);

private:
  void Start();
  void Stop();
  void Attach();
  void Detach();
  void AppActivation(bool active);

  platform::TApplication& FApplication;
  platform::ClockFunc FClock;
  int FHookId = 0;
  bool FEnabled = true;
  uint32_t FInterval = 1000;
  bool FStarted = false;
  uint32_t FEffectiveInterval = 1000;  // max(Interval, 1): divisor of the lag count
  uint32_t FLastTick = 0;
  int32_t FFrameCount = 0;
  uint32_t FWindowStart = 0;
  int32_t FFrameRate = 0;
};

}  // namespace quarn::shell
