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

// A number operator's value into a plain variable or an element with its indices in place.
TAssignNode::TAssignNode(TFuncExpr& call) : TFuncExpr(call), FNumberSource(false)
{
  const TExpr& target = *FArgs[0];
  const auto* source = dynamic_cast<const TOperatorNode*>(FArgs[1]);
  if (!source || !source->NumberValued()) return;
  if (target.NodeKind() == TExprKind::Var) {
    TDataItem& item = static_cast<const TVarExpr&>(target).Item();
    if (!item.IsVariable()) return;
    FTarget = &static_cast<TVariable&>(item).MutableValue();
  } else if (!static_cast<const TArrayExpr&>(target).IndicesInPlace()) {
    return;
  }
  FNumberSource = true;
  FSource = source;
}

// A number is stored where it is of the kind the target holds, as Assign would store it;
// anything else is left to Assign, with the value computed again (nothing was evaluated).
void TAssignNode::Eval(Variant& result)
{
  if (FNumberSource) {
    TNumber value;
    if (FTarget) {
      if ((FTarget->IsInteger() || FTarget->IsFloat()) && FSource->NumberResult(value) &&
          value.IsFloat == FTarget->IsFloat()) {
        if (value.IsFloat)
          FTarget->SetFloat(value.Real);
        else
          FTarget->SetInteger(value.Int);
        result.Discard();
        return;
      }
    } else if (size_t index;
               TArray* array = static_cast<TArrayExpr&>(*FArgs[0]).MutableElementInPlace(index)) {
      const TType kind = array->ElementType();
      if ((kind == TypeInteger || kind == TypeFloat) && FSource->NumberResult(value) &&
          value.IsFloat == (kind == TypeFloat)) {
        if (value.IsFloat)
          array->SetFloatAt(index, value.Real);
        else
          array->SetIntegerAt(index, value.Int);
        result.Discard();
        return;
      }
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
