#include <algorithm>

#include "script/Builtins.h"
#include "script/Library.h"
#include "script/Nodes.h"
#include "script/RunState.h"

namespace quarn::script {

namespace {

bool ArithmeticOperator(TBinaryOperator op)
{
  TNumber value;
  return NumberArithmetic(op, {0, 1, false}, {0, 1, false}, value);
}

bool RelationOperator(TBinaryOperator op)
{
  bool truth;
  return IntegerRelation(op, 0, 0, truth);
}

// The logic built-ins by their entries.
struct TLogicEntry {
  TEvalEntry Entry;
  TLogicNode::TLogic Logic;
  int Operands;
};
constexpr TLogicEntry LogicEntries[] = {
    {EvalAnd, TLogicNode::TLogic::And, 2},
    {EvalOr, TLogicNode::TLogic::Or, 2},
    {EvalXor, TLogicNode::TLogic::Xor, 2},
    {EvalNot, TLogicNode::TLogic::Not, 1},
};

// An operand a logic node reads as a truth without evaluating anything.
bool TruthInPlace(const TExpr& operand)
{
  switch (operand.NodeKind()) {
    case TExprKind::Const: return static_cast<const TConstExpr&>(operand).Value().IsBoolean();
    case TExprKind::Var:
    case TExprKind::Array: return LeafTruthInPlace(operand);
    case TExprKind::Func: return TruthWayOf(operand) != TTruthWay::None;
  }
  return false;
}

bool OperandTruth(const TExpr& operand, TTruthWay way, bool& truth)
{
  if (operand.NodeKind() == TExprKind::Func) return DirectTruth(way, operand, truth);
  return LeafTruth(operand, truth);
}

// An operator index whose integers are not read at once, out of line.
[[gnu::noinline]] bool OperatorIndex(const TOperatorNode& op, int32_t& value)
{
  TNumber number;
  if (!op.NumberResult(number) || number.IsFloat) return false;
  value = number.Int;
  return true;
}

// A number read in place as an index: an INTEGER (a FLOAT index is rounded by the general way).
inline bool IndexValue(const TExpr& index, int32_t& value)
{
  const Variant* held;
  switch (index.NodeKind()) {
    case TExprKind::Const: held = &static_cast<const TConstExpr&>(index).Value(); break;
    case TExprKind::Var: held = &static_cast<const TVarExpr&>(index).Item().Value(); break;
    default: {
      const auto& op = static_cast<const TOperatorNode&>(index);
      return op.IntegerResult(value) || OperatorIndex(op, value);
    }
  }
  if (!held->IsInteger()) return false;
  value = held->AsInteger();
  return true;
}

bool InPlace(const TExpr& node)
{
  return node.NodeKind() == TExprKind::Const || node.NodeKind() == TExprKind::Var;
}

// The value kinds an operator's number pattern takes, as a bit per TValueKind.
constexpr uint32_t IntegerKind = 1u << static_cast<int>(TValueKind::Integer);
constexpr uint32_t NumberKinds = IntegerKind | 1u << static_cast<int>(TValueKind::Float);

}  // namespace

// A constant or call that the operator's number pattern does not take whatever happens
// leaves the call to the general call for good.
std::unique_ptr<TFuncExpr> MakeOperator(std::unique_ptr<TFuncExpr> call)
{
  if (!SpecialiseNodes()) return call;
  const TEvalEntry entry = BuiltinEntry(call->Func());
  for (const TLogicEntry& logic : LogicEntries) {
    if (logic.Entry != entry) continue;
    const std::span<TExpr* const> args = call->Args();
    if (call->ArgCount() != logic.Operands ||
        !std::all_of(args.begin(), args.end(), [](TExpr* arg) { return TruthInPlace(*arg); }))
      return call;
    return std::make_unique<TLogicNode>(*call, logic.Logic);
  }
  TBinaryOperator op;
  if (!FindBinaryOperator(entry, op) || call->ArgCount() != (op == TBinaryOperator::Negate ? 1 : 2))
    return call;
  const bool integers = op == TBinaryOperator::Div || op == TBinaryOperator::Mod;
  for (TExpr* arg : call->Args()) {
    if (arg->NodeKind() == TExprKind::Const) {
      const Variant& value = static_cast<const TConstExpr&>(*arg).Value();
      if (!(((integers ? IntegerKind : NumberKinds) >> static_cast<int>(value.Kind())) & 1u))
        return call;
    } else if (arg->NodeKind() == TExprKind::Func) {
      // matching takes a call whose declared result shares a kind with the parameter, and
      // the operators compute from the values alone, whichever pattern matched
      if ((arg->GetType() & (integers ? TypeInteger : TypeMult)) == 0) return call;
    }
  }
  switch (op) {
    case TBinaryOperator::Add: return std::make_unique<TOperatorOf<TBinaryOperator::Add>>(*call);
    case TBinaryOperator::Sub: return std::make_unique<TOperatorOf<TBinaryOperator::Sub>>(*call);
    case TBinaryOperator::Mul: return std::make_unique<TOperatorOf<TBinaryOperator::Mul>>(*call);
    case TBinaryOperator::Div: return std::make_unique<TOperatorOf<TBinaryOperator::Div>>(*call);
    case TBinaryOperator::Mod: return std::make_unique<TOperatorOf<TBinaryOperator::Mod>>(*call);
    case TBinaryOperator::Greater:
      return std::make_unique<TOperatorOf<TBinaryOperator::Greater>>(*call);
    case TBinaryOperator::Less: return std::make_unique<TOperatorOf<TBinaryOperator::Less>>(*call);
    case TBinaryOperator::Equal:
      return std::make_unique<TOperatorOf<TBinaryOperator::Equal>>(*call);
    case TBinaryOperator::UnEqual:
      return std::make_unique<TOperatorOf<TBinaryOperator::UnEqual>>(*call);
    case TBinaryOperator::GreaterEqual:
      return std::make_unique<TOperatorOf<TBinaryOperator::GreaterEqual>>(*call);
    case TBinaryOperator::LessEqual:
      return std::make_unique<TOperatorOf<TBinaryOperator::LessEqual>>(*call);
    case TBinaryOperator::Divide:
      return std::make_unique<TOperatorOf<TBinaryOperator::Divide>>(*call);
    case TBinaryOperator::Negate:
      return std::make_unique<TOperatorOf<TBinaryOperator::Negate>>(*call);
  }
  return call;
}

TOperatorNode::TOperatorNode(TFuncExpr& call, TBinaryOperator op)
    : TFuncExpr(call),
      FOp(op),
      FIntegerOperands(op == TBinaryOperator::Div || op == TBinaryOperator::Mod),
      FNumberTree(true),
      FInPlace(0),
      FChildren(0),
      FElements(0),
      FReady{TReady::Always, TReady::Always},
      FSlots{nullptr, nullptr}
{
  for (size_t i = 0; i < FArgs.size(); ++i) {
    const TExpr& arg = *FArgs[i];
    switch (arg.NodeKind()) {
      case TExprKind::Const:
        FSlots[i] = &static_cast<const TConstExpr&>(arg).Value();
        FInPlace |= 1u << i;
        if (!static_cast<const TConstExpr&>(arg).Value().IsInteger() &&
            !static_cast<const TConstExpr&>(arg).Value().IsFloat())
          FNumberTree = false;
        break;
      case TExprKind::Var:
        FSlots[i] = &static_cast<const TVarExpr&>(arg).Item().Value();
        FReady[i] = TReady::ValueKind;
        // nothing evaluated after it can change it
        if (i + 1 == FArgs.size() || InPlace(*FArgs[1])) FInPlace |= 1u << i;
        break;
      case TExprKind::Array:
        FReady[i] = TReady::ElementKinds;
        if (static_cast<const TArrayExpr&>(arg).IndicesInPlace())
          FElements |= 1u << i;
        else
          FNumberTree = false;
        break;
      case TExprKind::Func: {
        const auto* child = dynamic_cast<const TOperatorNode*>(&arg);
        if (child && child->NumberValued())
          FChildren |= 1u << i;
        else
          FNumberTree = false;
        break;
      }
    }
  }
}

bool TOperatorNode::NumberValued() const { return FNumberTree && ArithmeticOperator(FOp); }

bool TOperatorNode::NumberComparison() const { return FNumberTree && RelationOperator(FOp); }

TOperatorNode::TOperandKind TOperatorNode::ElementOperand(size_t index, TNumber& number,
                                                          const std::string*& text) const
{
  size_t position;
  const TArray* array = static_cast<const TArrayExpr&>(*FArgs[index]).ElementInPlace(position);
  if (!array) return TOperandKind::None;
  switch (array->ElementType()) {
    case TypeInteger:
      number.Int = array->IntegerAt(position);
      number.IsFloat = false;
      return TOperandKind::Number;
    case TypeFloat:
      number.Real = array->FloatAt(position);
      number.IsFloat = true;
      return TOperandKind::Number;
    case TypeString: text = &array->StringAt(position); return TOperandKind::Text;
    default: return TOperandKind::None;
  }
}

bool LeafTruthInPlace(const TExpr& leaf)
{
  return leaf.NodeKind() == TExprKind::Var ||
         (leaf.NodeKind() == TExprKind::Array &&
          static_cast<const TArrayExpr&>(leaf).IndicesInPlace());
}

bool LeafTruth(const TExpr& leaf, bool& truth)
{
  switch (leaf.NodeKind()) {
    case TExprKind::Const:
    case TExprKind::Var: {
      const Variant& value = leaf.NodeKind() == TExprKind::Const
                                 ? static_cast<const TConstExpr&>(leaf).Value()
                                 : static_cast<const TVarExpr&>(leaf).Item().Value();
      if (!value.IsBoolean()) return false;
      truth = value.AsBoolean();
      return true;
    }
    case TExprKind::Array: {
      size_t index;
      const TArray* array = static_cast<const TArrayExpr&>(leaf).ElementInPlace(index);
      if (!array || array->ElementType() != TypeBoolean) return false;
      truth = array->BooleanAt(index);
      return true;
    }
    case TExprKind::Func: break;
  }
  return false;
}

TTruthWay TruthWayOf(const TExpr& condition)
{
  if (dynamic_cast<const TLogicNode*>(&condition)) return TTruthWay::Logic;
  const auto* op = dynamic_cast<const TOperatorNode*>(&condition);
  return op && op->NumberComparison() ? TTruthWay::Comparison : TTruthWay::None;
}

TLogicNode::TLogicNode(TFuncExpr& call, TLogic logic)
    : TFuncExpr(call), FLogic(logic), FWays{TTruthWay::None, TTruthWay::None}
{
  for (size_t i = 0; i < FArgs.size(); ++i) FWays[i] = TruthWayOf(*FArgs[i]);
}

bool TLogicNode::Truth(bool& truth) const
{
  bool a = false, b = false;
  if (!OperandTruth(*FArgs[0], FWays[0], a) ||
      (FLogic != TLogic::Not && !OperandTruth(*FArgs[1], FWays[1], b)))
    return false;
  switch (FLogic) {
    case TLogic::And: truth = a && b; break;
    case TLogic::Or: truth = a || b; break;
    case TLogic::Xor: truth = a != b; break;
    case TLogic::Not: truth = !a; break;
  }
  return true;
}

// Nothing is evaluated but truths in place, so giving up leaves no trace.
void TLogicNode::Eval(Variant& result)
{
  bool truth = false;
  if (Truth(truth)) {
    result.SetBoolean(truth);
    return;
  }
  EvalCall(result);
}

bool TArrayExpr::ReadInPlace(const TExpr& index)
{
  if (index.NodeKind() == TExprKind::Const || index.NodeKind() == TExprKind::Var) return true;
  const auto* op = dynamic_cast<const TOperatorNode*>(&index);
  return op && op->NumberValued();
}

const TArray* TArrayExpr::ElementAtIndices(size_t& linear) const
{
  const Variant& value = FItem->Value();
  if (!value.IsArray()) return nullptr;
  const TArray& array = value.AsArray();
  const size_t count = FIndices.size();
  if (array.DimCount() != static_cast<int>(count)) return nullptr;
  if (FIndexPair[0]) {  // the usual element of two dimensions, m[i, j]
    if (!FIndexPair[0]->IsInteger() || !FIndexPair[1]->IsInteger()) return nullptr;
    const int32_t first = FIndexPair[0]->AsInteger(), second = FIndexPair[1]->AsInteger();
    const int32_t high = array.HighBound(0);
    if (first < 0 || first > high || second < 0 || second > array.HighBound(1)) return nullptr;
    linear =
        static_cast<size_t>(first) + static_cast<size_t>(second) * (static_cast<size_t>(high) + 1);
    return &array;
  }
  if (count == 1) {  // the usual element, a[i + 1]: no position to accumulate
    int32_t index;
    if (!IndexValue(*FIndices[0], index) || index < 0 || index > array.HighBound(0)) return nullptr;
    linear = static_cast<size_t>(index);
    return &array;
  }
  return PositionAtIndices(array, linear);
}

// Any number of indices, out of line: the usual elements' way keeps no registers of its own.
const TArray* TArrayExpr::PositionAtIndices(const TArray& array, size_t& linear) const
{
  const size_t count = FIndices.size();
  size_t position = 0;
  size_t multiplier = 1;
  for (size_t k = 0; k < count; ++k) {
    int32_t index;
    const int32_t high = array.HighBound(static_cast<int>(k));
    if (!IndexValue(*FIndices[k], index) || index < 0 || index > high) return nullptr;
    position += static_cast<size_t>(index) * multiplier;
    multiplier *= static_cast<size_t>(high) + 1;
  }
  linear = position;
  return &array;
}

[[gnu::noinline]] void TOperatorNode::EvalOperands(Variant& result)
{
  DirectlyOrCall(&TOperatorNode::OperateDirectly, result);
}

inline uint32_t TOperatorNode::ReadyKinds() const
{
  return FIntegerOperands ? IntegerKind : NumberKinds;
}

// Whether the general call would match the operator's number pattern for both operands
// whatever their values turn out to be, and then compute what the direct way computes.
inline bool TOperatorNode::OperandsReady() const
{
  for (size_t i = 0; i < 2; ++i) {
    switch (FReady[i]) {
      case TReady::Always: break;
      case TReady::ValueKind: {
        const TDataItem& item = static_cast<const TVarExpr&>(*FArgs[i]).Item();
        if (!((ReadyKinds() >> static_cast<int>(item.Value().Kind())) & 1u)) return false;
        break;
      }
      case TReady::ElementKinds: {
        const TDataItem& item = static_cast<const TVarExpr&>(*FArgs[i]).Item();
        const TType kinds = item.ValueType() & ~(TypeVar | TypeArray);
        if (kinds == 0 || (kinds & ~OperandKinds()) != 0) return false;
        break;
      }
    }
  }
  return true;
}

bool TOperatorNode::OperateDirectly(Variant& result)
{
  if (!OperandsReady()) return false;
  // The first operand computed goes into the result, which nothing evaluated meanwhile
  // reaches; the second into a scratch value of its own.
  Variant second;
  const Variant* operands[2];
  for (size_t i = 0; i < 2; ++i) {
    if ((FInPlace >> i) & 1u) {
      operands[i] = FSlots[i];
    } else {
      Variant& scratch = i == 0 ? result : second;
      FArgs[i]->Eval(scratch);
      if (FState->PendingJump != TJump::None) return true;
      operands[i] = &scratch;
    }
  }
  if (operands[0]->IsInteger() && operands[1]->IsInteger() &&
      IntegerOperator(FOp, operands[0]->AsInteger(), operands[1]->AsInteger(), result)) {
    return true;
  }
  if (operands[0] == &result) {
    const Variant first(std::move(result));
    ApplyBinaryOperator(FOp, first, *operands[1], result);
  } else {
    ApplyBinaryOperator(FOp, *operands[0], *operands[1], result);
  }
  return true;
}

}  // namespace quarn::script
