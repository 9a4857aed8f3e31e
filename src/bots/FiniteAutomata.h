#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quarn::bots {

// One animation state of a bot.
struct TState {
  int32_t Id = 0;
  std::string Name;                 // for reference only
  bool Interruptible = true;        // false: left only after the model finishes its cycle
  std::vector<int32_t> NextStates;  // ids of the states this one may move to, in added order
  uint16_t Keys = 0;                // the exact movement mask that selects this state
  int32_t Animation = 0;            // built-in animation number (low 16 bits of the given value)
};

using TStateArray = std::vector<TState>;

// The state machine choosing a bot's animation. Bot files add states with ids 0, 1, 2, ... so
// that a state's id is its position; ids are looked up with IndexOf wherever a state is read,
// so states added with other ids, next states naming no state and requests for unknown ids are
// ignored instead of indexing outside the array.
class TFiniteAutomata {
public:
  using TStateChange = std::function<void(int32_t newState)>;

  int32_t IndexOf(int32_t id) const;
  void AddState(int32_t id, const std::string& name, int32_t keys, int32_t animation,
                bool interruptible);
  void AddNextState(int32_t fromId, int32_t nextState);  // ignored when fromId names no state
  void Request(int32_t id) { FRequested = id; }
  // Requests the last next state of the current state whose Keys equal mask exactly.
  void SelectByKeys(uint16_t mask);
  // Carries out the requested change when changes are allowed.
  void Update();

  const TStateArray& States() const { return FStates; }
  int32_t Count() const { return FCount; }
  int32_t Requested() const { return FRequested; }
  int32_t Current() const { return FCurrent; }

  bool FCanChange = false;  // set from outside: after loading and at every cycle end
  TStateChange OnStateChange;

private:
  const TState* Find(int32_t id) const;

  TStateArray FStates;
  int32_t FCount = 0;
  int32_t FRequested = 0;
  int32_t FCurrent = -1;  // -1: no state yet
};

}  // namespace quarn::bots
