#include "script/Builtins.h"
#include "script/Nodes.h"
#include "script/RunState.h"

namespace quarn::script {

std::unique_ptr<TFuncExpr> MakeAssignment(std::unique_ptr<TFuncExpr> call)
{
  if (!SpecialiseNodes() || BuiltinEntry(call->Func()) != EvalSet || call->ArgCount() != 2)
    return call;
  const TExprKind target = call->Arg(0)->NodeKind();
  if (target != TExprKind::Var && target != TExprKind::Array) return call;
  return std::make_unique<TAssignNode>(*call);
}

// An integer operator's value into a plain variable or an element with its index in place.
TAssignNode::TAssignNode(TFuncExpr& call) : TFuncExpr(call), FIntegerSource(false)
{
  const TExpr& target = *FArgs[0];
  const auto* source = dynamic_cast<const TOperatorNode*>(FArgs[1]);
  if (!source || !source->IntegerValued()) return;
  if (target.NodeKind() == TExprKind::Var) {
    TDataItem& item = static_cast<const TVarExpr&>(target).Item();
    if (!item.IsVariable()) return;
    FTarget = &static_cast<TVariable&>(item).MutableValue();
  } else if (!static_cast<const TArrayExpr&>(target).IndexInPlace()) {
    return;
  }
  FIntegerSource = true;
  FSource = source;
}

void TAssignNode::Eval(Variant& result)
{
  if (FIntegerSource) {
    int32_t value;
    if (FTarget) {
      if (FTarget->IsInteger() && FSource->IntegerResult(value)) {
        FTarget->SetInteger(value);
        result.Discard();
        return;
      }
    } else if (int32_t* element = static_cast<TArrayExpr&>(*FArgs[0]).IntegerElementInPlace();
               element && FSource->IntegerResult(value)) {
      *element = value;
      result.Discard();
      return;
    }
  }
  EvalAssign(result);
}

[[gnu::noinline]] void TAssignNode::EvalAssign(Variant& result)
{
  DirectlyOrCall(&TAssignNode::AssignDirectly, result);
}

bool TAssignNode::AssignDirectly(Variant& result)
{
  constexpr size_t ShortText = 64;
  TExpr& source = *FArgs[1];
  if (!(source.GetType() & TypeAll)) return false;
  TExpr& target = *FArgs[0];
  if (source.NodeKind() == TExprKind::Const) {
    result.Clear();
    target.Assign(static_cast<TConstExpr&>(source).Value());
    return true;
  }
  // An assignment's result is empty: the value is computed into it, which nothing evaluated
  // meanwhile reaches, and it is emptied once stored.
  source.Eval(result);
  if (FState->PendingJump != TJump::None) return true;
  if (result.IsString() && target.NodeKind() == TExprKind::Var) {
    // a string into a variable holding a string: the computed text moves in, as Assign would
    // copy it (same kind, same type word); a short one is copied into the variable's buffer,
    // which keeps it
    TDataItem& item = static_cast<TVarExpr&>(target).Item();
    if (item.IsVariable() && item.Value().IsString()) {
      std::string& text = static_cast<TVariable&>(item).MutableValue().AsString();
      std::string& computed = result.AsString();
      if (computed.size() <= ShortText && computed.size() <= text.capacity()) {
        text.clear();
        text.append(computed);
      } else {
        text.swap(computed);
      }
    } else {
      target.Assign(result);
    }
  } else {
    target.Assign(result);
  }
  // as the call's temporaries: no array or large text kept between assignments
  if (result.IsString() && result.AsString().capacity() > MaxKeptTemporaryBytes) result = Variant();
  result.Clear();
  return true;
}

}  // namespace quarn::script
