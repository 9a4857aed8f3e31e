#include "script/Builtins.h"
#include "script/Library.h"
#include "script/Nodes.h"
#include "script/RunState.h"

namespace quarn::script {

namespace {

bool IntegerValuedOperator(TBinaryOperator op)
{
  return op == TBinaryOperator::Add || op == TBinaryOperator::Sub || op == TBinaryOperator::Mul ||
         op == TBinaryOperator::Mod;
}

bool InPlace(const TExpr& node)
{
  return node.NodeKind() == TExprKind::Const || node.NodeKind() == TExprKind::Var;
}

// The value kinds an operator's number pattern takes, as a bit per TValueKind.
constexpr uint32_t IntegerKind = 1u << static_cast<int>(TValueKind::Integer);
constexpr uint32_t NumberKinds = IntegerKind | 1u << static_cast<int>(TValueKind::Float);

// The node of one operator: its integer way is compiled for it alone, so telling the
// operators apart costs nothing at run time.
template <TBinaryOperator Op>
class TOperatorOf final : public TOperatorNode {
public:
  explicit TOperatorOf(TFuncExpr& call) : TOperatorNode(call, Op) {}
  void Eval(Variant& result) override { EvalAs<Op>(result); }
};

}  // namespace

// A constant or call that the operator's number pattern does not take whatever happens
// leaves the call to the general call for good.
std::unique_ptr<TFuncExpr> MakeOperator(std::unique_ptr<TFuncExpr> call)
{
  TBinaryOperator op;
  if (!SpecialiseNodes() || call->ArgCount() != 2 ||
      !FindBinaryOperator(BuiltinEntry(call->Func()), op))
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
    case TBinaryOperator::Equal: return std::make_unique<TOperatorOf<TBinaryOperator::Equal>>(*call);
    case TBinaryOperator::UnEqual:
      return std::make_unique<TOperatorOf<TBinaryOperator::UnEqual>>(*call);
    case TBinaryOperator::GreaterEqual:
      return std::make_unique<TOperatorOf<TBinaryOperator::GreaterEqual>>(*call);
    case TBinaryOperator::LessEqual:
      return std::make_unique<TOperatorOf<TBinaryOperator::LessEqual>>(*call);
  }
  return call;
}

TOperatorNode::TOperatorNode(TFuncExpr& call, TBinaryOperator op)
    : TFuncExpr(call),
      FOp(op),
      FIntegerOperands(op == TBinaryOperator::Div || op == TBinaryOperator::Mod),
      FIntegerTree(op != TBinaryOperator::Div),
      FInPlace(0),
      FChildren(0),
      FElements(0),
      FReady{TReady::Always, TReady::Always},
      FSlots{nullptr, nullptr}
{
  for (size_t i = 0; i < 2; ++i) {
    const TExpr& arg = *FArgs[i];
    switch (arg.NodeKind()) {
      case TExprKind::Const:
        FSlots[i] = &static_cast<const TConstExpr&>(arg).Value();
        FInPlace |= 1u << i;
        if (!static_cast<const TConstExpr&>(arg).Value().IsInteger()) FIntegerTree = false;
        break;
      case TExprKind::Var:
        FSlots[i] = &static_cast<const TVarExpr&>(arg).Item().Value();
        FReady[i] = TReady::ValueKind;
        // nothing evaluated after it can change it
        if (i == 1 || InPlace(*FArgs[1])) FInPlace |= 1u << i;
        break;
      case TExprKind::Array:
        FReady[i] = TReady::ElementKinds;
        if (static_cast<const TArrayExpr&>(arg).IndexInPlace())
          FElements |= 1u << i;
        else
          FIntegerTree = false;
        break;
      case TExprKind::Func: {
        const auto* child = dynamic_cast<const TOperatorNode*>(&arg);
        if (child && child->IntegerValued())
          FChildren |= 1u << i;
        else
          FIntegerTree = false;
        break;
      }
    }
  }
}

bool TOperatorNode::IntegerValued() const
{
  return FIntegerTree && FChildren == 0 && IntegerValuedOperator(FOp);
}

bool TOperatorNode::IntegerComparison() const
{
  bool truth;
  return FIntegerTree && IntegerRelation(FOp, 0, 0, truth);
}

const TOperatorNode* IntegerComparisonOf(const TExpr& condition)
{
  const auto* op = dynamic_cast<const TOperatorNode*>(&condition);
  return op && op->IntegerComparison() ? op : nullptr;
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
