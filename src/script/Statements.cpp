// The statement built-ins: blocks, assignment, array creation, branches, loops and the three
// control statements. Statement results are discarded; each leaves its own result empty.
#include <cstdint>
#include <span>
#include <vector>

#include "script/Builtins.h"
#include "script/Errors.h"
#include "script/Loops.h"

namespace quarn::script {

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

void EvalWhile(TFunction&, int, const TArgList& args, Variant&)
{
  Variant scratch;
  RunWhile(*args.Items(0), TTruthWay::None, args.Nodes().subspan(1), args.State(), scratch);
}

void EvalRepeat(TFunction&, int, const TArgList& args, Variant&)
{
  Variant scratch;
  RunRepeat(*args.Items(0), TTruthWay::None, args.Nodes().subspan(1), args.State(), scratch);
}

void EvalFor(TFunction&, int, const TArgList& args, Variant&)
{
  const int32_t start = args.Value(1).ToInteger();
  const int32_t end = args.Value(2).ToInteger();
  const int32_t step = args.Value(3).ToInteger();
  Variant current;
  RunFor(*args.Items(0), start, end, step, args.Nodes().subspan(4), args.State(), current);
}

}  // namespace quarn::script
