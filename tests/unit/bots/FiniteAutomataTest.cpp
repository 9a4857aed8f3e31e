#include <gtest/gtest.h>

#include <vector>

#include "bots/FiniteAutomata.h"

namespace quarn::bots {
namespace {

constexpr int32_t KeyForward = 1, KeyJump = 128;

// Idle (0) <-> Run (1); Run -> Jump (2) and back to Idle.
class Automata : public ::testing::Test {
protected:
  void SetUp() override
  {
    Machine.AddState(0, "Idle", 0, 0, true);
    Machine.AddState(1, "Run", KeyForward, 1, true);
    Machine.AddState(2, "Jump", KeyForward | KeyJump, 4, false);
    Machine.AddNextState(0, 1);
    Machine.AddNextState(1, 0);
    Machine.AddNextState(1, 2);
    Machine.AddNextState(2, 0);
    Machine.OnStateChange = [this](int32_t id) { Entered.push_back(id); };
  }

  void Start()
  {
    Machine.FCanChange = true;
    Machine.Request(0);
    Machine.Update();
  }

  TFiniteAutomata Machine;
  std::vector<int32_t> Entered;
};

TEST(AutomataConstruction, StartsEmptyWithNoCurrentState)
{
  TFiniteAutomata machine;
  EXPECT_EQ(machine.Count(), 0);
  EXPECT_EQ(machine.Requested(), 0);
  EXPECT_EQ(machine.Current(), -1);
  EXPECT_FALSE(machine.FCanChange);
  machine.FCanChange = true;
  machine.Update();  // no states: nothing happens
  EXPECT_EQ(machine.Current(), -1);
}

TEST(AutomataConstruction, AddNextStateBeforeAnyStateIsIgnored)
{
  TFiniteAutomata machine;
  machine.AddNextState(0, 1);
  machine.AddState(0, "Idle", 0, 0, true);
  EXPECT_TRUE(machine.States()[0].NextStates.empty());
}

TEST(AutomataConstruction, KeysAndAnimationKeepTheirLow16Bits)
{
  TFiniteAutomata machine;
  machine.AddState(0, "Wide", 0x10201, 0x30012, true);
  EXPECT_EQ(machine.States()[0].Keys, 0x0201);
  EXPECT_EQ(machine.States()[0].Animation, 0x12);
  EXPECT_EQ(machine.IndexOf(0), 0);
  EXPECT_EQ(machine.IndexOf(1), -1);
}

TEST_F(Automata, FirstUpdateEntersStateZeroOnceOnly)
{
  Start();
  Machine.Update();
  Machine.Update();
  EXPECT_EQ(Entered, std::vector<int32_t>{0});
  EXPECT_EQ(Machine.Current(), 0);
}

TEST_F(Automata, KeysSelectAmongTheCurrentStatesNextStatesByExactMask)
{
  Start();
  Machine.SelectByKeys(KeyJump);  // no next state of Idle has it
  EXPECT_EQ(Machine.Requested(), 0);
  Machine.SelectByKeys(KeyForward);
  Machine.Update();
  Machine.SelectByKeys(KeyForward | KeyJump);
  Machine.Update();
  EXPECT_EQ(Entered, (std::vector<int32_t>{0, 1, 2}));
}

TEST_F(Automata, UnmatchedMaskKeepsThePendingRequest)
{
  Start();
  Machine.SelectByKeys(KeyForward);
  Machine.SelectByKeys(0x4000);
  EXPECT_EQ(Machine.Requested(), 1);
}

TEST_F(Automata, LaterNextStateWithTheSameKeysWins)
{
  Machine.AddState(3, "Sprint", KeyForward, 5, true);
  Machine.AddNextState(0, 3);
  Start();
  Machine.SelectByKeys(KeyForward);
  EXPECT_EQ(Machine.Requested(), 3);
}

TEST_F(Automata, NonInterruptibleStateWaitsForTheCycleEnd)
{
  Start();
  Machine.Request(2);
  Machine.Update();
  EXPECT_FALSE(Machine.FCanChange);
  Machine.Request(1);
  Machine.Request(0);  // only the last request counts
  Machine.Update();
  EXPECT_EQ(Machine.Current(), 2);
  Machine.FCanChange = true;  // the model finished its cycle
  Machine.Update();
  EXPECT_EQ(Entered, (std::vector<int32_t>{0, 2, 0}));
  EXPECT_TRUE(Machine.FCanChange);
}

TEST_F(Automata, RequestForTheCurrentStateKeepsChangesAllowed)
{
  Start();
  Machine.Request(2);
  Machine.Update();
  Machine.FCanChange = true;
  Machine.Update();  // still requesting 2, which is current
  EXPECT_EQ(Entered, (std::vector<int32_t>{0, 2}));
  EXPECT_TRUE(Machine.FCanChange);
}

TEST_F(Automata, RequestNamingNoStateMovesToTheFirstNextState)
{
  Start();
  for (int32_t unknown : {-1, 42}) {
    Machine.Request(unknown);
    Machine.Update();
  }
  EXPECT_EQ(Entered, (std::vector<int32_t>{0, 1, 0}));
}

TEST_F(Automata, OutsideIdsAreIgnoredNeverIndexed)
{
  Machine.AddNextState(0, 99);  // names no state
  Machine.AddNextState(7, 1);   // from no state
  Machine.AddState(500, "Far", 0x800, 2, true);
  Machine.AddNextState(500, 2);
  Machine.AddNextState(2, 500);
  Start();
  Machine.SelectByKeys(0x8000);  // 99 has no keys to compare
  EXPECT_EQ(Machine.Requested(), 0);
  Machine.Request(2);
  Machine.Update();
  Machine.FCanChange = true;
  Machine.SelectByKeys(0x800);  // a state whose id (500) is not its position (3)
  Machine.Update();
  EXPECT_EQ(Machine.Current(), 500);
  Machine.Request(-1);  // first next state of 500 is 2
  Machine.Update();
  EXPECT_EQ(Entered, (std::vector<int32_t>{0, 2, 500, 2}));
}

TEST(AutomataBroken, FirstNextStateNamingNoStateIsNotEntered)
{
  TFiniteAutomata machine;
  machine.AddState(0, "Only", 0, 0, true);
  machine.AddNextState(0, 5);
  std::vector<int32_t> entered;
  machine.OnStateChange = [&](int32_t id) { entered.push_back(id); };
  machine.FCanChange = true;
  machine.Update();  // request 0: enter it
  machine.Request(9);
  machine.Update();
  EXPECT_EQ(entered, std::vector<int32_t>{0});
  EXPECT_EQ(machine.Current(), 0);
}

TEST(AutomataBroken, HandlerMayAddStatesWhileEnteringOne)
{
  TFiniteAutomata machine;
  machine.AddState(0, "A", 0, 0, false);
  machine.OnStateChange = [&](int32_t) {
    for (int i = 1; i < 64; ++i) machine.AddState(i, "More", 0, 0, true);
  };
  machine.FCanChange = true;
  machine.Update();
  EXPECT_FALSE(machine.FCanChange);
  EXPECT_EQ(machine.Count(), 64);
}

}  // namespace
}  // namespace quarn::bots
