// What a script's run changes as it goes: the pending jump, the call plans of nested calls,
// the stop request and the blocking flag. Each TScript owns one, so a script run by a host
// function (a bot file loaded from a console line), or a second engine in the process, never
// sees another script's state.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "script/Host.h"

namespace quarn::script {

struct TCallPlan;

// A break or continue that has been executed and not yet reached its loop: nodes that
// evaluate a sequence stop at once while one is pending, and the loop takes it.
enum class TJump : uint8_t { None, Break, Continue };

// Stop checks between two questions to the host whether the application is terminating: a
// check is then one counter step, and a terminating application still ends a run within
// microseconds. The checks are taken where a script can go on for long: at every turn of a
// loop and at every call of a function (operators, assignments, blocks and branches take
// none), and by the compiler as it builds the tree.
inline constexpr uint32_t HostPollInterval = 64;

class TRunState {
public:
  TRunState();
  ~TRunState();
  TRunState(const TRunState&) = delete;
  TRunState& operator=(const TRunState&) = delete;

  TJump PendingJump = TJump::None;
  bool Blocking = false;  // when false, window messages are pumped after every call
  size_t CallDepth = 0;

  // Raises EStop once the run was asked to stop or the host reports that the application is
  // terminating. The host is asked at the first check of a run, at the first check after a
  // host function and at every HostPollInterval-th check in between; its messages are pumped
  // then too, unless a call pumped them since the last time it was asked.
  void CheckStop()
  {
    if (--FChecksToPoll == 0) PollStop();
  }
  // The next check raises EStop.
  void RequestStop()
  {
    FStopRequested = true;
    FChecksToPoll = 1;
  }
  bool StopRequested() const { return FStopRequested; }
  // The next check asks the host (something may have told the application to terminate).
  void PollHostNext() { FChecksToPoll = 1; }
  // A new compile or run: no stop requested, and the first check asks the host.
  void ResetStop()
  {
    FStopRequested = false;
    FChecksToPoll = 1;
    FPumpedSincePoll = true;  // the host handled its messages before starting the run
  }
  void PumpMessages()
  {
    if (!Blocking) ScriptHost().PumpMessages();
    FPumpedSincePoll = true;
  }

  // The plan of the calls made at a nesting depth without one of their own: calls from host
  // code, and a call site entered again inside its own call.
  TCallPlan& DepthPlan(size_t depth);

private:
  void PollStop();

  bool FStopRequested = false;
  bool FPumpedSincePoll = true;
  uint32_t FChecksToPoll = 1;
  std::vector<std::unique_ptr<TCallPlan>> FDepthPlans;
};

}  // namespace quarn::script
