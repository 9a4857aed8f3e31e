// qscript --bot --strict: what a bot file's state machine cannot do, found once it has loaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bots/FiniteAutomata.h"

namespace quarn::qscript {

// One AddNextState call of a bot file, as written.
struct TNextStateCall {
  int32_t From;
  int32_t To;
};

// The warning lines (without "Warning: ") for the states of a loaded bot and the AddNextState
// calls its file made, in this order: each call naming a state that does not exist, then each
// state that no chain of next states leads to from state 0, where the bot starts. A state is
// found by its id as the bot finds it: the first state added with that id.
std::vector<std::string> StateWarnings(const bots::TStateArray& states,
                                       const std::vector<TNextStateCall>& calls);

}  // namespace quarn::qscript
