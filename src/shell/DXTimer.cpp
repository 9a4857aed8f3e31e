#include "shell/DXTimer.h"

#include <algorithm>
#include <cmath>

#include "script/Rounding.h"

namespace quarn::shell {

TDXTimer::TDXTimer(platform::TApplication& application, platform::ClockFunc clock)
    : FApplication(application), FClock(clock)
{
  FHookId = FApplication.AddActivationHook([this](bool active) { AppActivation(active); });
}

TDXTimer::~TDXTimer()
{
  Stop();
  FApplication.RemoveActivationHook(FHookId);
}

void TDXTimer::SetEnabled(bool value)
{
  if (value == FEnabled) return;
  FEnabled = value;
  if (Loading) return;
  if (value)
    Start();
  else
    Stop();
}

void TDXTimer::SetInterval(uint32_t value)
{
  FInterval = value;
  FEffectiveInterval = std::max<uint32_t>(value, 1);
}

void TDXTimer::Loaded()
{
  Loading = false;
  if (FEnabled) Start();
}

void TDXTimer::Start()
{
  Stop();
  if (!ActiveOnly || FApplication.Active()) Attach();
  FStarted = true;
}

void TDXTimer::Stop()
{
  if (!FStarted) return;
  Detach();
  FStarted = false;
}

void TDXTimer::Attach()
{
  FLastTick = FClock();
  FWindowStart = FClock();
  FApplication.OnIdle = [this](bool& done) { AppIdle(done); };
}

void TDXTimer::Detach() { FApplication.OnIdle = nullptr; }

void TDXTimer::AppActivation(bool active)
{
  if (active) {
    if (OnActivate) OnActivate(*this);
    if (FStarted && ActiveOnly) Attach();
  } else {
    if (OnDeactivate) OnDeactivate(*this);
    if (FStarted && ActiveOnly) Detach();
  }
}

void TDXTimer::AppIdle(bool& done)
{
  done = false;  // stays so even if OnTimer throws: ticking goes on with the next pass
  const uint32_t t = FClock();
  const uint32_t sinceLast = t - FLastTick;  // modulo 2^32: correct across the clock's wrap
  if (sinceLast < FInterval) return;

  int32_t lagCount = static_cast<int32_t>(sinceLast / FEffectiveInterval);
  FLastTick = t;
  if (lagCount < 1) lagCount = 1;

  ++FFrameCount;
  const int32_t elapsed = std::max(static_cast<int32_t>(t - FWindowStart), 1);
  if (elapsed >= 1000) {
    FFrameRate =
        static_cast<int32_t>(script::RoundHalfEven(double(FFrameCount) * 1000.0 / elapsed));
    FFrameCount = 0;
    FWindowStart = t;
  }
  if (OnTimer) OnTimer(*this, lagCount);
}

}  // namespace quarn::shell
