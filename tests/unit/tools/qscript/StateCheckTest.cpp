// qscript --bot --strict's warnings about a bot's states.
#include <gtest/gtest.h>

#include "StateCheck.h"

namespace quarn::qscript {
namespace {

struct TStateSpec {
  int32_t Id;
  const char* Name;
  std::vector<int32_t> Next;
};

struct TCase {
  const char* Title;
  std::vector<TStateSpec> States;
  std::vector<TNextStateCall> Calls;
  std::vector<std::string> Expected;
};

// The calls are those that made the states' next states, plus the ones the bot dropped.
bots::TStateArray States(const std::vector<TStateSpec>& specs)
{
  bots::TStateArray states;
  for (const TStateSpec& spec : specs) {
    bots::TState state;
    state.Id = spec.Id;
    state.Name = spec.Name;
    state.NextStates = spec.Next;
    states.push_back(state);
  }
  return states;
}

TEST(StateWarnings, NameMissingAndUnreachableStates)
{
  const TCase cases[] = {
      {"no states", {}, {}, {}},
      {"a cycle through every state",
       {{0, "Idle", {1}}, {1, "Run", {2}}, {2, "Jump", {0}}},
       {{0, 1}, {1, 2}, {2, 0}},
       {}},
      {"a state only reached through a later one",
       {{0, "Idle", {2}}, {1, "Crawl", {}}, {2, "Crouch", {1}}},
       {{0, 2}, {2, 1}},
       {}},
      {"a next state that was never added",
       {{0, "Idle", {5}}},
       {{0, 5}},
       {"AddNextState(0, 5) names state 5, which does not exist"}},
      {"a first state that was never added (the bot drops the call)",
       {{0, "Idle", {}}},
       {{4, 0}, {4, 4}},
       {"AddNextState(4, 0) names state 4, which does not exist",
        "AddNextState(4, 4) names state 4, which does not exist"}},
      {"states leading out of 0 but not into it",
       {{0, "Idle", {}}, {1, "Run", {0}}, {2, "", {1}}},
       {{1, 0}, {2, 1}},
       {"state 1 Run cannot be reached from state 0", "state 2 cannot be reached from state 0"}},
      {"no state 0: the bot starts nowhere",
       {{1, "Run", {2}}, {2, "Back", {1}}},
       {{1, 2}, {2, 1}},
       {"state 1 Run cannot be reached from state 0",
        "state 2 Back cannot be reached from state 0"}},
      {"a second state with an id taken",
       {{0, "Idle", {1}}, {1, "Run", {0}}, {1, "Walk", {0}}},
       {{0, 1}, {1, 0}},
       {"state 1 Walk is never entered: an earlier state has id 1"}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(StateWarnings(States(c.States), c.Calls), c.Expected) << c.Title;
}

}  // namespace
}  // namespace quarn::qscript
