// The switch that chooses typed nodes, and the block and branch nodes.
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "script/Builtins.h"
#include "script/Nodes.h"
#include "script/RunState.h"

namespace quarn::script {

namespace {

bool& Specialise()
{
  static bool value = [] {
    const char* general = std::getenv("QUARN_SCRIPT_GENERAL");
    return !(general && std::string_view(general) == "1");
  }();
  return value;
}

// A statement node the general call passes unevaluated (a FUNC parameter taking ALL).
bool IsStatementNode(const TExpr& arg)
{
  return arg.NodeKind() == TExprKind::Func && (arg.GetType() & TypeAll);
}

}  // namespace

bool SpecialiseNodes() { return Specialise(); }

void SetSpecialiseNodes(bool value) { Specialise() = value; }

std::unique_ptr<TFuncExpr> MakeBlock(std::unique_ptr<TFuncExpr> call)
{
  if (!SpecialiseNodes() || BuiltinEntry(call->Func()) != EvalBegin) return call;
  const std::span<TExpr* const> args = call->Args();
  if (!std::all_of(args.begin(), args.end(), [](TExpr* arg) { return IsStatementNode(*arg); }))
    return call;
  return std::make_unique<TBlockNode>(*call);
}

std::unique_ptr<TFuncExpr> MakeBranch(std::unique_ptr<TFuncExpr> call)
{
  if (!SpecialiseNodes()) return call;
  // IF with its statement, ELSE with both: a missing branch shifts the arguments to another
  // pattern, left to the general call
  const TEvalEntry entry = BuiltinEntry(call->Func());
  if (!(entry == EvalIf && call->ArgCount() == 2) &&
      !(entry == EvalIfElse && call->ArgCount() == 3))
    return call;
  const TExpr& condition = *call->Arg(0);
  const bool conditionReady =
      (condition.NodeKind() == TExprKind::Func && condition.GetType() == TypeBoolean) ||
      (condition.NodeKind() == TExprKind::Const &&
       static_cast<const TConstExpr&>(condition).Value().IsBoolean()) ||
      LeafTruthInPlace(condition);
  const std::span<TExpr* const> branches = call->Args().subspan(1);
  if (!conditionReady || !std::all_of(branches.begin(), branches.end(),
                                      [](TExpr* arg) { return IsStatementNode(*arg); }))
    return call;
  return std::make_unique<TBranchNode>(*call);
}

// The statements' results are discarded, into the block's result.
void TBlockNode::Eval(Variant& result)
{
  RunSequence(FArgs, *FState, result);
  result.Discard();
  FState->PumpMessages();
}

TBranchNode::TBranchNode(TFuncExpr& call)
    : TFuncExpr(call), FTruthWay(TruthWayOf(*FArgs[0])), FLeafCondition(LeafTruthInPlace(*FArgs[0]))
{
}

// The condition is a constant or a BOOLEAN call (whose result the call checks), or a leaf
// read in place, so reading its truth raises nothing: like a block, the branch needs no
// handler of its own.
void TBranchNode::Eval(Variant& result)
{
  bool truth;
  if (FArgs[0]->NodeKind() == TExprKind::Const) {
    truth = Truth(static_cast<TConstExpr&>(*FArgs[0]).Value());
  } else if (FLeafCondition) {
    if (!LeafTruth(*FArgs[0], truth)) {
      EvalCall(result);
      return;
    }
  } else if (!DirectTruth(FTruthWay, *FArgs[0], truth)) {
    FArgs[0]->Eval(result);
    if (FState->PendingJump != TJump::None) return;
    truth = Truth(result);
  }
  RunBranch(truth, FArgs[1], FArgs.size() == 3 ? FArgs[2] : nullptr, result);
  result.Discard();
}

}  // namespace quarn::script
