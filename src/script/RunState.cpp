#include "script/RunState.h"

#include "script/Errors.h"
#include "script/Functions.h"
#include "script/MemoryBudget.h"

namespace quarn::script {

TRunState::TRunState() = default;
TRunState::~TRunState() = default;

TCallPlan& TRunState::DepthPlan(size_t depth)
{
  while (FDepthPlans.size() <= depth) FDepthPlans.push_back(std::make_unique<TCallPlan>());
  return *FDepthPlans[depth];
}

void TRunState::PollStop()
{
  ChargeSteps(HostPollInterval);  // the checks since the last poll
  // Escape, a closed window and a termination signal reach the application as events: a
  // loop that makes no call pumps nowhere else.
  if (!FPumpedSincePoll) PumpMessages();
  FPumpedSincePoll = false;
  if (FStopRequested || ScriptHost().Terminating()) {
    FChecksToPoll = 1;  // every later check of this run stops too
    throw EStop();
  }
  FChecksToPoll = HostPollInterval;
}

}  // namespace quarn::script
