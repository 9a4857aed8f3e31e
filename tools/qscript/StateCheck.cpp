#include "StateCheck.h"

#include <unordered_map>

namespace quarn::qscript {

namespace {

std::string StateText(const bots::TState& state)
{
  return "state " + std::to_string(state.Id) + (state.Name.empty() ? "" : " " + state.Name);
}

}  // namespace

std::vector<std::string> StateWarnings(const bots::TStateArray& states,
                                       const std::vector<TNextStateCall>& calls)
{
  std::unordered_map<int32_t, size_t> indexOf;  // the first state of each id
  for (size_t i = 0; i < states.size(); ++i) indexOf.try_emplace(states[i].Id, i);

  std::vector<std::string> warnings;
  for (const TNextStateCall& call : calls) {
    const bool hasFrom = indexOf.contains(call.From), hasTo = indexOf.contains(call.To);
    if (!hasFrom)
      warnings.push_back("AddNextState(" + std::to_string(call.From) + ", " +
                         std::to_string(call.To) + ") names state " + std::to_string(call.From) +
                         ", which does not exist");
    if (!hasTo && call.To != call.From)
      warnings.push_back("AddNextState(" + std::to_string(call.From) + ", " +
                         std::to_string(call.To) + ") names state " + std::to_string(call.To) +
                         ", which does not exist");
  }

  // The states reachable from state 0 through next states, walked without recursion.
  std::vector<bool> reached(states.size(), false);
  std::vector<size_t> pending;
  if (const auto start = indexOf.find(0); start != indexOf.end()) {
    reached[start->second] = true;
    pending.push_back(start->second);
  }
  while (!pending.empty()) {
    const bots::TState& state = states[pending.back()];
    pending.pop_back();
    for (const int32_t next : state.NextStates) {
      const auto found = indexOf.find(next);
      if (found == indexOf.end() || reached[found->second]) continue;
      reached[found->second] = true;
      pending.push_back(found->second);
    }
  }
  for (size_t i = 0; i < states.size(); ++i) {
    if (reached[i]) continue;
    if (indexOf.at(states[i].Id) != i)
      warnings.push_back(StateText(states[i]) + " is never entered: an earlier state has id " +
                         std::to_string(states[i].Id));
    else
      warnings.push_back(StateText(states[i]) + " cannot be reached from state 0");
  }
  return warnings;
}

}  // namespace quarn::qscript
