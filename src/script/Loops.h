// What the loop built-ins and the loop nodes do alike: the turns of while, repeat and for.
// Every turn checks for a stop request, so even a loop that makes no call can be stopped.
#pragma once

#include <cstdint>
#include <span>

#include "script/Builtins.h"
#include "script/Expr.h"
#include "script/Nodes.h"
#include "script/RunState.h"

namespace quarn::script {

enum class TBodyEnd { Completed, Broken };

// Runs the statements of a loop body: break ends the loop, continue ends the turn, anything
// else passes out.
inline TBodyEnd TakeJump(TRunState& state)
{
  const TJump jump = state.PendingJump;
  state.PendingJump = TJump::None;
  return jump == TJump::Break ? TBodyEnd::Broken : TBodyEnd::Completed;
}
inline TBodyEnd RunBody(std::span<TExpr* const> body, TRunState& state, Variant& scratch)
{
  if (body.size() == 1) {  // the usual body: one statement, or a block
    body[0]->Eval(scratch);
    if (state.PendingJump != TJump::None) [[unlikely]]
      return TakeJump(state);
    return TBodyEnd::Completed;
  }
  for (TExpr* statement : body) {
    statement->Eval(scratch);
    if (state.PendingJump != TJump::None) [[unlikely]]
      return TakeJump(state);
  }
  return TBodyEnd::Completed;
}

// A condition's truth, read directly the way given when it can be.
inline bool EvalCondition(TExpr& node, TTruthWay way, Variant& scratch)
{
  bool truth;
  if (DirectTruth(way, node, truth)) return truth;
  node.Eval(scratch);
  return Truth(scratch);
}

// A condition that is a call node is evaluated before every test; one that is a value was
// computed once before the loop.
inline void RunWhile(TExpr& condition, TTruthWay way, std::span<TExpr* const> body,
                     TRunState& state, Variant& scratch)
{
  for (;;) {
    state.CheckStop();
    if (!EvalCondition(condition, way, scratch)) return;
    if (RunBody(body, state, scratch) == TBodyEnd::Broken) return;
  }
}

inline void RunRepeat(TExpr& condition, TTruthWay way, std::span<TExpr* const> body,
                      TRunState& state, Variant& scratch)
{
  for (;;) {
    state.CheckStop();
    if (RunBody(body, state, scratch) == TBodyEnd::Broken) return;
    if (EvalCondition(condition, way, scratch)) return;
  }
}

// The variable runs from start to end by step (1 or -1) while it stays between the two.
inline void RunFor(TExpr& variable, int32_t start, int32_t end, int32_t stepBy,
                   std::span<TExpr* const> body, TRunState& state, Variant& current)
{
  const Variant step(stepBy);
  const bool up = stepBy >= 1;
  variable.Assign(Variant(start));
  // A plain variable holding an integer is read and stepped in place; anything else (an
  // element, a value the body changed to another kind, a step leaving 32 bits) goes through
  // Eval, the value library's addition and Assign.
  TVariable* plain = nullptr;
  if (variable.NodeKind() == TExprKind::Var) {
    TDataItem& item = static_cast<TVarExpr&>(variable).Item();
    if (item.IsVariable()) plain = static_cast<TVariable*>(&item);
  }
  const int32_t low = up ? start : end, high = up ? end : start;
  // after a step in place the variable holds value, and is not read again
  bool known = false;
  int32_t value = 0;
  for (;;) {
    state.CheckStop();
    if (!known) {
      if (plain && plain->Value().IsInteger()) {
        value = plain->Value().AsInteger();
      } else {
        variable.Eval(current);
        value = current.ToInteger();
      }
    }
    if (value < low || value > high) return;
    if (RunBody(body, state, current) == TBodyEnd::Broken) return;
    if (plain && plain->Value().IsInteger()) {
      const int64_t next = int64_t{plain->Value().AsInteger()} + stepBy;
      if (next >= INT32_MIN && next <= INT32_MAX) {
        value = static_cast<int32_t>(next);
        plain->MutableValue().SetInteger(value);
        known = true;
        continue;
      }
    }
    known = false;
    variable.Eval(current);
    VarAdd(current, step, current);
    variable.Assign(current);
  }
}

}  // namespace quarn::script
