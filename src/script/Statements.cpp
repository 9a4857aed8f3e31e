// The statement built-ins: blocks, assignment, array creation, branches, loops and the three
// control statements. Statement results are discarded; each leaves its own result empty.
#include <cstdint>
#include <span>
#include <vector>

#include "script/Builtins.h"
#include "script/Errors.h"

namespace quarn::script {

namespace {

bool EvalCondition(TExpr& node, Variant& scratch)
{
  node.Eval(scratch);
  return Truth(scratch);
}

enum class TBodyEnd { Completed, Broken };

// Runs the statements of a loop body: break ends the loop, continue ends the iteration,
// anything else passes out.
inline TBodyEnd RunBody(std::span<TExpr* const> body, TRunState& state, Variant& scratch)
{
  for (TExpr* statement : body) {
    statement->Eval(scratch);
    TJump& pending = state.PendingJump;
    if (pending != TJump::None) {
      const TJump jump = pending;
      pending = TJump::None;
      return jump == TJump::Break ? TBodyEnd::Broken : TBodyEnd::Completed;
    }
  }
  return TBodyEnd::Completed;
}

}  // namespace

void EvalBegin(TFunction&, int, const TArgList& args, Variant&)
{
  Variant discarded;
  RunSequence(args.Nodes(), args.State(), discarded);
}

void EvalSet(TFunction&, int, const TArgList& args, Variant&)
{
  args.Items(0)->Assign(args.Value(1));
}

void EvalSetArray(TFunction&, int pattern, const TArgList& args, Variant&)
{
  if (pattern == 1) {
    static_cast<TVarExpr*>(args.Items(0))->Resize(args.Value(1).ToInteger());
    return;
  }
  const int32_t code = args.Value(1).ToInteger();
  std::vector<int32_t> counts;
  counts.reserve(static_cast<size_t>(args.Count() - 2));
  for (int i = 2; i < args.Count(); ++i) counts.push_back(args.Value(i).ToInteger());
  if (code != TypeBoolean && code != TypeInteger && code != TypeFloat && code != TypeString)
    throw ERTE(FormatMessage(msg::BadArrayType, TypeName(code).c_str()));
  args.Items(0)->Assign(Variant(TArray(code, counts)));
}

void EvalType(TFunction&, int, const TArgList& args, Variant& result)
{
  result.SetInteger(args.Items(0)->GetType());
}

void EvalExit(TFunction&, int, const TArgList&, Variant&) { throw EExit(); }
void EvalBreak(TFunction&, int, const TArgList& args, Variant&)
{
  args.State().PendingJump = TJump::Break;
}
void EvalContinue(TFunction&, int, const TArgList& args, Variant&)
{
  args.State().PendingJump = TJump::Continue;
}

// IF without a statement (pattern 1) and ELSE without its else statement (pattern 1) are
// told apart by the pattern: a missing statement shifts the others.
void EvalIf(TFunction&, int pattern, const TArgList& args, Variant&)
{
  if (pattern != 0) return;
  Variant discarded;
  RunBranch(Truth(args.Value(0)), args.Items(1), nullptr, discarded);
}

void EvalIfElse(TFunction&, int pattern, const TArgList& args, Variant&)
{
  Variant discarded;
  RunBranch(Truth(args.Value(0)), args.Items(1), pattern == 0 ? args.Items(2) : nullptr,
            discarded);
}

// A condition that is a call node is evaluated before every test; one that is a value was
// computed once before the loop. Every iteration checks for a stop request, so even a loop
// that makes no call can be stopped.
void EvalWhile(TFunction& self, int, const TArgList& args, Variant&)
{
  Variant scratch;
  TExpr& condition = *args.Items(0);
  for (;;) {
    args.State().CheckStop();
    if (!EvalCondition(condition, scratch)) return;
    if (RunBody(args.Nodes().subspan(1), args.State(), scratch) == TBodyEnd::Broken) return;
  }
}

void EvalRepeat(TFunction& self, int, const TArgList& args, Variant&)
{
  Variant scratch;
  TExpr& condition = *args.Items(0);
  for (;;) {
    args.State().CheckStop();
    if (RunBody(args.Nodes().subspan(1), args.State(), scratch) == TBodyEnd::Broken) return;
    if (EvalCondition(condition, scratch)) return;
  }
}

void EvalFor(TFunction& self, int, const TArgList& args, Variant&)
{
  TExpr& variable = *args.Items(0);
  const int32_t start = args.Value(1).ToInteger();
  const int32_t end = args.Value(2).ToInteger();
  const Variant step(args.Value(3).ToInteger());
  const bool up = step.AsInteger() >= 1;
  variable.Assign(Variant(start));
  // A plain variable holding an integer is read and stepped in place; anything else (an
  // element, a value the body changed to another kind, a step leaving 32 bits) goes through
  // Eval, the value library's addition and Assign.
  TVariable* plain = nullptr;
  if (variable.NodeKind() == TExprKind::Var) {
    TDataItem& item = static_cast<TVarExpr&>(variable).Item();
    if (item.IsVariable()) plain = static_cast<TVariable*>(&item);
  }
  // the loop runs while the variable is between start and end
  const int32_t low = up ? start : end, high = up ? end : start;
  const std::span<TExpr* const> body = args.Nodes().subspan(4);
  TRunState& state = args.State();
  Variant current;
  for (;;) {
    state.CheckStop();
    int32_t value;
    if (plain && plain->Value().IsInteger()) {
      value = plain->Value().AsInteger();
    } else {
      variable.Eval(current);
      value = current.ToInteger();
    }
    if (value < low || value > high) return;
    if (RunBody(body, state, current) == TBodyEnd::Broken) return;
    if (plain && plain->Value().IsInteger()) {
      const int64_t next = int64_t{plain->Value().AsInteger()} + step.AsInteger();
      if (next >= INT32_MIN && next <= INT32_MAX) {
        plain->MutableValue().SetInteger(static_cast<int32_t>(next));
        continue;
      }
    }
    variable.Eval(current);
    VarAdd(current, step, current);
    variable.Assign(current);
  }
}

}  // namespace quarn::script
