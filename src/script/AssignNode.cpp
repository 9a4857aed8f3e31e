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
  if (const TOperatorNode* source = TAssignNode::NumberSource(*call)) {
    switch (source->Operator()) {
      case TBinaryOperator::Add: return std::make_unique<TAssignOf<TBinaryOperator::Add>>(*call);
      case TBinaryOperator::Sub: return std::make_unique<TAssignOf<TBinaryOperator::Sub>>(*call);
      case TBinaryOperator::Mul: return std::make_unique<TAssignOf<TBinaryOperator::Mul>>(*call);
      case TBinaryOperator::Div: return std::make_unique<TAssignOf<TBinaryOperator::Div>>(*call);
      case TBinaryOperator::Mod: return std::make_unique<TAssignOf<TBinaryOperator::Mod>>(*call);
      case TBinaryOperator::Divide:
        return std::make_unique<TAssignOf<TBinaryOperator::Divide>>(*call);
      case TBinaryOperator::Negate:
        return std::make_unique<TAssignOf<TBinaryOperator::Negate>>(*call);
      default: break;
    }
  }
  return std::make_unique<TAssignNode>(*call);
}

// A number operator's value into a plain variable or an element with its indices in place.
const TOperatorNode* TAssignNode::NumberSource(const TFuncExpr& call)
{
  const TExpr& target = *call.Arg(0);
  const auto* source = dynamic_cast<const TOperatorNode*>(call.Arg(1));
  if (!source || !source->NumberValued()) return nullptr;
  if (target.NodeKind() == TExprKind::Var)
    return static_cast<const TVarExpr&>(target).Item().IsVariable() ? source : nullptr;
  return static_cast<const TArrayExpr&>(target).IndicesInPlace() ? source : nullptr;
}

namespace {

// Two nodes read in place that always read the same: equal constants, one variable, or
// operators and elements over such.
bool SameInPlace(const TExpr& a, const TExpr& b)
{
  if (a.NodeKind() != b.NodeKind()) return false;
  switch (a.NodeKind()) {
    case TExprKind::Const: {
      const Variant& x = static_cast<const TConstExpr&>(a).Value();
      const Variant& y = static_cast<const TConstExpr&>(b).Value();
      return (x.IsInteger() && y.IsInteger() && x.AsInteger() == y.AsInteger()) ||
             (x.IsFloat() && y.IsFloat() && x.AsFloat() == y.AsFloat());
    }
    case TExprKind::Var:
      return &static_cast<const TVarExpr&>(a).Item() == &static_cast<const TVarExpr&>(b).Item();
    case TExprKind::Array: {
      const auto& x = static_cast<const TArrayExpr&>(a);
      const auto& y = static_cast<const TArrayExpr&>(b);
      if (&x.Item() != &y.Item() || x.IndexCount() != y.IndexCount() || !x.IndicesInPlace() ||
          !y.IndicesInPlace())
        return false;
      for (int k = 0; k < x.IndexCount(); ++k)
        if (!SameInPlace(x.Index(k), y.Index(k))) return false;
      return true;
    }
    case TExprKind::Func: {
      const auto* x = dynamic_cast<const TOperatorNode*>(&a);
      const auto* y = dynamic_cast<const TOperatorNode*>(&b);
      if (!x || !y || x->Operator() != y->Operator() || !x->NumberValued() || !y->NumberValued() ||
          x->ArgCount() != y->ArgCount())
        return false;
      for (int k = 0; k < x->ArgCount(); ++k)
        if (!SameInPlace(*x->Arg(k), *y->Arg(k))) return false;
      return true;
    }
  }
  return false;
}

}  // namespace

TAssignNode::TAssignNode(TFuncExpr& call) : TFuncExpr(call)
{
  FSource = NumberSource(*this);
  if (FSource && FArgs[0]->NodeKind() == TExprKind::Array) {
    for (int k = 0; k < FSource->ArgCount(); ++k)
      if (SameInPlace(*FArgs[0], *FSource->Arg(k))) {
        FUpdatedOperand = static_cast<int8_t>(k);
        break;
      }
  }
  const TExpr& source = *FArgs[1];
  const TExpr& target = *FArgs[0];
  FTruthWay = TruthWayOf(source);
  FLeafSource = source.NodeKind() == TExprKind::Const || source.NodeKind() == TExprKind::Var ||
                (source.NodeKind() == TExprKind::Array &&
                 static_cast<const TArrayExpr&>(source).IndicesInPlace()) ||
                FTruthWay != TTruthWay::None;
  if (target.NodeKind() == TExprKind::Var) {
    TDataItem& item = static_cast<const TVarExpr&>(target).Item();
    if (item.IsVariable())
      FTarget = &static_cast<TVariable&>(item).MutableValue();
    else
      FLeafSource = false;
  } else if (!static_cast<const TArrayExpr&>(target).IndicesInPlace()) {
    FLeafSource = false;
  }
}

bool TAssignNode::AssignLeaf()
{
  const TExpr& source = *FArgs[1];
  TNumber value;
  if (bool truth; FTruthWay != TTruthWay::None) {
    return DirectTruth(FTruthWay, source, truth) && StoreBoolean(truth);
  } else if (source.NodeKind() == TExprKind::Array) {
    size_t index;
    const TArray* array = static_cast<const TArrayExpr&>(source).ElementInPlace(index);
    if (!array) return false;
    switch (array->ElementType()) {
      case TypeBoolean: return StoreBoolean(array->BooleanAt(index));
      case TypeString: return StoreText(array->StringAt(index));
      case TypeInteger:
        value.Int = array->IntegerAt(index);
        value.IsFloat = false;
        break;
      case TypeFloat:
        value.Real = array->FloatAt(index);
        value.IsFloat = true;
        break;
      default: return false;
    }
  } else {
    const Variant& held = source.NodeKind() == TExprKind::Const
                              ? static_cast<const TConstExpr&>(source).Value()
                              : static_cast<const TVarExpr&>(source).Item().Value();
    switch (held.Kind()) {
      case TValueKind::Integer:
        value.Int = held.AsInteger();
        value.IsFloat = false;
        break;
      case TValueKind::Float:
        value.Real = held.AsFloat();
        value.IsFloat = true;
        break;
      case TValueKind::Boolean: return StoreBoolean(held.AsBoolean());
      case TValueKind::String: return StoreText(held.AsString());
      default: return false;
    }
  }
  return StoreNumber(value);
}

bool TAssignNode::StoreBoolean(bool value)
{
  if (FTarget) {
    if (!FTarget->IsBoolean()) return false;
    FTarget->SetBoolean(value);
    return true;
  }
  size_t index;
  TArray* array = static_cast<TArrayExpr&>(*FArgs[0]).MutableElementInPlace(index);
  if (!array || array->ElementType() != TypeBoolean) return false;
  array->SetBooleanAt(index, value);
  return true;
}

// Copying text is charged to the memory budget, which may fail as the general call would.
bool TAssignNode::StoreText(const std::string& text)
{
  try {
    if (FTarget) {
      if (!FTarget->IsString()) return false;
      FTarget->SetString(text);
      return true;
    }
    size_t index;
    TArray* array = static_cast<TArrayExpr&>(*FArgs[0]).MutableElementInPlace(index);
    if (!array || array->ElementType() != TypeString) return false;
    array->SetStringAt(index, text);
    return true;
  } catch (...) {
    RaiseHere();
  }
}

bool TAssignNode::StoreElement(const TNumber& value)
{
  size_t index;
  TArray* array = static_cast<TArrayExpr&>(*FArgs[0]).MutableElementInPlace(index);
  return array && StoreElementAt(*array, index, value);
}

bool TAssignNode::StoreElementAt(TArray& array, size_t index, const TNumber& value)
{
  if (array.ElementType() != (value.IsFloat ? TypeFloat : TypeInteger)) return false;
  if (value.IsFloat)
    array.SetFloatAt(index, value.Real);
  else
    array.SetIntegerAt(index, value.Int);
  return true;
}

bool TAssignNode::ElementNumber(const TArray& array, size_t index, TNumber& value)
{
  if (array.ElementType() == TypeInteger) {
    value.Int = array.IntegerAt(index);
    value.IsFloat = false;
    return true;
  }
  if (array.ElementType() != TypeFloat) return false;
  value.Real = array.FloatAt(index);
  value.IsFloat = true;
  return true;
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
