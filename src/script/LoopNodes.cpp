// The loop nodes: while, repeat and for, run without the general call's argument matching.
#include <algorithm>

#include "script/Builtins.h"
#include "script/Loops.h"
#include "script/Nodes.h"
#include "script/RunState.h"

namespace quarn::script {

namespace {

bool IsStatementNode(const TExpr& arg)
{
  return arg.NodeKind() == TExprKind::Func && (arg.GetType() & TypeAll);
}

// A condition the general call passes as its own node: a BOOLEAN call, or a BOOLEAN constant.
bool ConditionReady(const TExpr& condition)
{
  return (condition.NodeKind() == TExprKind::Func && condition.GetType() == TypeBoolean) ||
         (condition.NodeKind() == TExprKind::Const &&
          static_cast<const TConstExpr&>(condition).Value().IsBoolean());
}

// A bound that can be read without evaluating anything.
bool BoundReady(const TExpr& bound)
{
  if (bound.NodeKind() == TExprKind::Const || bound.NodeKind() == TExprKind::Var) return true;
  const auto* op = dynamic_cast<const TOperatorNode*>(&bound);
  return op && op->NumberValued();
}

// The bound's value when it is an INTEGER; false otherwise, having changed nothing.
bool ReadBound(const TExpr& bound, int32_t& value)
{
  const Variant* held = nullptr;
  if (bound.NodeKind() == TExprKind::Const)
    held = &static_cast<const TConstExpr&>(bound).Value();
  else if (bound.NodeKind() == TExprKind::Var)
    held = &static_cast<const TVarExpr&>(bound).Item().Value();
  else if (TNumber number;
           static_cast<const TOperatorNode&>(bound).NumberResult(number) && !number.IsFloat) {
    value = number.Int;
    return true;
  } else {
    return false;
  }
  if (!held->IsInteger()) return false;
  value = held->AsInteger();
  return true;
}

}  // namespace

std::unique_ptr<TFuncExpr> MakeLoop(std::unique_ptr<TFuncExpr> call)
{
  if (!SpecialiseNodes()) return call;
  const TEvalEntry entry = BuiltinEntry(call->Func());
  const std::span<TExpr* const> args = call->Args();
  const auto statements = [](std::span<TExpr* const> body) {
    return std::all_of(body.begin(), body.end(), [](TExpr* arg) { return IsStatementNode(*arg); });
  };
  TLoopNode::TKind kind;
  if (entry == EvalWhile || entry == EvalRepeat) {
    if (args.empty() || !ConditionReady(*args[0]) || !statements(args.subspan(1))) return call;
    kind = entry == EvalWhile ? TLoopNode::TKind::While : TLoopNode::TKind::Repeat;
  } else if (entry == EvalFor) {
    if (args.size() < 4 || args[0]->NodeKind() != TExprKind::Var || !BoundReady(*args[1]) ||
        !BoundReady(*args[2]) || args[3]->NodeKind() != TExprKind::Const ||
        !statements(args.subspan(4)))
      return call;
    kind = TLoopNode::TKind::For;
  } else {
    return call;
  }
  return std::make_unique<TLoopNode>(*call, kind);
}

TLoopNode::TLoopNode(TFuncExpr& call, TKind kind)
    : TFuncExpr(call),
      FLoop(kind),
      FTruthWay(kind != TKind::For ? TruthWayOf(*FArgs[0]) : TTruthWay::None),
      FBody(std::span(FArgs).subspan(kind == TKind::For ? 4 : 1))
{
  if (FBody.size() == 1)
    if (const auto* block = dynamic_cast<const TBlockNode*>(FBody[0])) FBody = block->Args();
}

// Like the general call: a stop check, the loop, an empty result and the message pump.
void TLoopNode::Eval(Variant& result) { DirectlyOrCall(&TLoopNode::RunDirectly, result); }

bool TLoopNode::RunDirectly(Variant& result)
{
  TRunState& state = *FState;
  if (FLoop == TKind::For) {
    const TDataItem& item = static_cast<const TVarExpr&>(*FArgs[0]).Item();
    int32_t start, end;
    const TType kind = item.ValueType() & ~TypeVar;
    if (!item.IsVariable() || (kind != TypeVoid && kind != TypeInteger) ||
        !ReadBound(*FArgs[1], start) || !ReadBound(*FArgs[2], end))
      return false;
    const Variant& step = static_cast<const TConstExpr&>(*FArgs[3]).Value();
    if (!step.IsInteger()) return false;
    state.CheckStop();
    RunFor(*FArgs[0], start, end, step.AsInteger(), FBody, state, result);
  } else {
    state.CheckStop();
    if (FLoop == TKind::While)
      RunWhile(*FArgs[0], FTruthWay, FBody, state, result);
    else
      RunRepeat(*FArgs[0], FTruthWay, FBody, state, result);
  }
  result.Clear();
  state.PumpMessages();
  return true;
}

}  // namespace quarn::script
