#include "bots/FiniteAutomata.h"

namespace quarn::bots {

int32_t TFiniteAutomata::IndexOf(int32_t id) const
{
  for (size_t i = 0; i < FStates.size(); ++i)
    if (FStates[i].Id == id) return static_cast<int32_t>(i);
  return -1;
}

const TState* TFiniteAutomata::Find(int32_t id) const
{
  const int32_t index = IndexOf(id);
  return index < 0 ? nullptr : &FStates[static_cast<size_t>(index)];
}

void TFiniteAutomata::AddState(int32_t id, const std::string& name, int32_t keys, int32_t animation,
                               bool interruptible)
{
  TState state;
  state.Id = id;
  state.Name = name;
  state.Keys = static_cast<uint16_t>(keys);
  state.Animation = static_cast<uint16_t>(animation);
  state.Interruptible = interruptible;
  FStates.push_back(std::move(state));
  ++FCount;
}

void TFiniteAutomata::AddNextState(int32_t fromId, int32_t nextState)
{
  const int32_t index = IndexOf(fromId);
  if (index >= 0) FStates[static_cast<size_t>(index)].NextStates.push_back(nextState);
}

void TFiniteAutomata::SelectByKeys(uint16_t mask)
{
  const TState* current = Find(FCurrent);
  if (!current) return;
  for (int32_t next : current->NextStates) {
    const TState* candidate = Find(next);
    if (candidate && candidate->Keys == mask) Request(candidate->Id);
  }
}

void TFiniteAutomata::Update()
{
  const int32_t a = IndexOf(FRequested);
  if (FStates.empty() || !FCanChange) return;
  if (a != -1 && FStates[static_cast<size_t>(a)].Id == FCurrent) return;
  if (FRequested == -1 || a == -1) {
    // The request names no state: fall through to the current state's first next state, if
    // that names a state.
    const TState* current = Find(FCurrent);
    if (current && !current->NextStates.empty() && Find(current->NextStates.front())) {
      FCurrent = current->NextStates.front();
      if (OnStateChange) OnStateChange(FCurrent);
    }
    return;
  }
  // Copied first: the handler may add states and move the array.
  const bool interruptible = FStates[static_cast<size_t>(a)].Interruptible;
  FCurrent = FStates[static_cast<size_t>(a)].Id;
  if (OnStateChange) OnStateChange(FCurrent);
  FCanChange = interruptible;
}

}  // namespace quarn::bots
