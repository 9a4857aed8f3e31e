#include "script/Expr.h"

#include <algorithm>
#include <new>

#include "script/Builtins.h"
#include "script/Errors.h"
#include "script/Functions.h"
#include "script/Host.h"
#include "script/Library.h"
#include "script/Operators.h"
#include "script/RunState.h"

namespace quarn::script {

std::string UpperCase(std::string_view text)
{
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

namespace {

// A type named by its basic kinds (VOID left out), preceded by ARRAY for an array.
std::string AssignTypeName(TType type)
{
  std::string text = TypeName(type & (TypeAll & ~TypeVoid));
  if (type & TypeArray) text.insert(0, text.empty() ? "ARRAY" : "ARRAY ");
  return text;
}

[[noreturn]] void RaiseExpectsType(const std::string& name, TType expected, TType actual)
{
  throw ERTE(FormatMessage(msg::VariableExpectsType, name.c_str(), AssignTypeName(expected).c_str(),
                           AssignTypeName(actual).c_str()));
}

// The conversion handler of element nodes: ERuntimeError and the control signals pass, any
// other failure becomes an ERuntimeError at the node's position.
template <typename Body>
void ElementHandler(int32_t position, Body body)
{
  try {
    body();
  } catch (const ERuntimeError&) {
    throw;
  } catch (const Exception& e) {
    throw ERuntimeError(e.Message(), position);
  } catch (const std::bad_alloc&) {
    throw ERuntimeError(msg::OutOfMemory, position);
  } catch (const std::length_error&) {
    throw ERuntimeError(msg::OutOfMemory, position);
  }
}

// Raises what the exception being handled becomes at a call node: the node's position is
// given to a failure, a stop becomes the stopped-script error, and runtime errors (already
// placed) and control signals pass.
[[noreturn]] void RaiseAt(int32_t position)
{
  try {
    throw;
  } catch (const EStop&) {
    throw ERuntimeError(msg::ScriptStopped, position);
  } catch (const ERuntimeError&) {
    throw;
  } catch (const Exception& e) {
    throw ERuntimeError(e.Message(), position);
  } catch (const std::bad_alloc&) {
    throw ERuntimeError(msg::OutOfMemory, position);
  } catch (const std::length_error&) {
    throw ERuntimeError(msg::OutOfMemory, position);
  } catch (const EControlSignal&) {
    throw;
  } catch (const std::exception& e) {
    // Host code below the engine (image decoders, streams) fails with plain library errors.
    throw ERuntimeError(e.what(), position);
  }
}

}  // namespace

// ---- data items ----

TConstant::TConstant(std::string_view name, const Variant& value) : TDataItem(name)
{
  TConstant::SetValue(value);
}

void TConstant::SetValue(const Variant& value)
{
  FValue = value;
  FValueType = TypeOf(value);
}

TVariable::TVariable(std::string_view name) : TDataItem(name)
{
  FIsVariable = true;
  FValueType = TypeVar | TypeVoid;
}

void TVariable::SetValue(const Variant& value)
{
  FValue = value;
  FValueType = TypeOf(FValue) | TypeVar;
}

void TVariable::Clear()
{
  FValue.Clear();
  FValueType = TypeVar | TypeVoid;
}

// ---- nodes ----

const std::string& TExpr::Name() const
{
  static const std::string NoName;
  switch (FKind) {
    case TExprKind::Var:
    case TExprKind::Array: return static_cast<const TVarExpr*>(this)->Item().Name();
    case TExprKind::Func: return static_cast<const TFuncExpr*>(this)->Func().Name();
    case TExprKind::Const: break;
  }
  return NoName;
}

void TExpr::Assign(const Variant& value)
{
  throw ERTE(FormatMessage(msg::VariableExpectsType, Name().c_str(), "VAR",
                           TypeName(TypeOf(value)).c_str()));
}

void TVarExpr::RaiseUndefined() const
{
  throw ERTE(FormatMessage(msg::VariableNotDefined, FItem->Name().c_str()));
}

void TVarExpr::Eval(Variant& result)
{
  if (FItem->ValueType() & TypeVoid)
    throw ERuntimeError(FormatMessage(msg::VariableNotDefined, FItem->Name().c_str()), FPosition);
  result = FItem->Value();
}

void TVarExpr::Assign(const Variant& value)
{
  // A variable holding a number or boolean of the same kind: only the value changes.
  const TValueKind kind = value.Kind();
  if (FItem->IsVariable() && kind == FItem->Value().Kind() &&
      (kind == TValueKind::Integer || kind == TValueKind::Float || kind == TValueKind::Boolean)) {
    static_cast<TVariable*>(FItem)->MutableValue() = value;
    return;
  }
  const TType current = FItem->ValueType();
  const TType incoming = TypeOf(value);
  if (!(current & TypeVoid) && !SameKind(current, incoming))
    RaiseExpectsType(FItem->Name(), current, incoming);
  FItem->SetValue(value);
}

void TVarExpr::Resize(int32_t count)
{
  if ((FItem->ValueType() & TypeVoid) || !FItem->IsVariable()) RaiseUndefined();
  auto& variable = static_cast<TVariable&>(*FItem);
  if (!variable.Value().IsArray()) throw ERTE(msg::VariantNotArray);
  variable.MutableValue().AsArray().ResizeLast(count);
}

size_t TArrayExpr::LinearPosition()
{
  const size_t count = FIndices.size();
  if (FIndexValues.size() < count) FIndexValues.resize(count);
  for (size_t k = 0; k < count; ++k) {
    FIndices[k]->Eval(FIndexValue);
    if (FState->PendingJump != TJump::None) return NoPosition;
    const int32_t index = FIndexValue.ToInteger();
    FIndexValues[k] = index;
    // an index past its bound is reported before the next index is evaluated
    const Variant& value = FItem->Value();
    if (value.IsArray() && value.AsArray().DimCount() == static_cast<int>(count)) {
      const int32_t high = value.AsArray().HighBound(static_cast<int>(k));
      if (index < 0 || index > high)
        throw ERTE(FormatMessage(msg::IndexOutOfBounds, index, static_cast<int>(k) + 1, high));
    }
  }
  // An index expression may have replaced, resized or emptied the array: the position is
  // taken in the array as the variable holds it now.
  const Variant& value = FItem->Value();
  if (!value.IsArray()) throw ERTE(msg::VariantNotArray);
  const TArray& array = value.AsArray();
  if (array.DimCount() != static_cast<int>(count))
    throw ERTE(FormatMessage(msg::BadNumberOfIndices, IndexCount(), array.DimCount()));
  size_t linear = 0;
  size_t multiplier = 1;
  for (size_t k = 0; k < count; ++k) {
    const int32_t index = FIndexValues[k];
    const int32_t high = array.HighBound(static_cast<int>(k));
    if (index < 0 || index > high)
      throw ERTE(FormatMessage(msg::IndexOutOfBounds, index, static_cast<int>(k) + 1, high));
    linear += static_cast<size_t>(index) * multiplier;
    multiplier *= static_cast<size_t>(high) + 1;
  }
  return linear;
}

inline const TArray* TArrayExpr::ElementInPlace(size_t& index) const
{
  if (!FIndexInPlace || !FIndexInPlace->IsInteger() || !FItem->Value().IsArray()) return nullptr;
  const TArray& array = FItem->Value().AsArray();
  const int32_t position = FIndexInPlace->AsInteger();
  if (array.DimCount() != 1 || position < 0 || position > array.HighBound(0)) return nullptr;
  index = static_cast<size_t>(position);
  return &array;
}

void TArrayExpr::Eval(Variant& result)
{
  size_t index;
  if (const TArray* array = ElementInPlace(index)) {
    array->Get(index, result);
    return;
  }
  EvalGeneral(result);
}

void TArrayExpr::EvalGeneral(Variant& result)
{
  ElementHandler(FPosition, [&] {
    if (FItem->ValueType() & TypeVoid) RaiseUndefined();
    const Variant& value = FItem->Value();
    if (!value.IsArray()) throw ERTE(msg::VariantNotArray);
    if (IndexCount() != value.AsArray().DimCount())
      throw ERTE(FormatMessage(msg::BadNumberOfIndices, IndexCount(), value.AsArray().DimCount()));
    const size_t linear = LinearPosition();
    if (linear == NoPosition) return;
    FItem->Value().AsArray().Get(linear, result);
  });
}

namespace {

// Whether a value is of an array's element kind (and so stored unconverted).
bool OfElementKind(const Variant& value, TType elementType)
{
  switch (value.Kind()) {
    case TValueKind::Integer: return elementType == TypeInteger;
    case TValueKind::Float: return elementType == TypeFloat;
    case TValueKind::String: return elementType == TypeString;
    case TValueKind::Boolean: return elementType == TypeBoolean;
    default: return false;
  }
}

}  // namespace

void TArrayExpr::Assign(const Variant& value)
{
  size_t index;
  if (const TArray* array = ElementInPlace(index);
      array && FItem->IsVariable() && OfElementKind(value, array->ElementType())) {
    static_cast<TVariable&>(*FItem).MutableValue().AsArray().Put(index, value);
    return;
  }
  AssignGeneral(value);
}

void TArrayExpr::AssignGeneral(const Variant& value)
{
  ElementHandler(FPosition, [&] {
    if ((FItem->ValueType() & TypeVoid) || !FItem->IsVariable()) RaiseUndefined();
    auto& variable = static_cast<TVariable&>(*FItem);
    if (!variable.Value().IsArray()) throw ERTE(msg::VariantNotArray);
    const int dims = variable.Value().AsArray().DimCount();
    if (IndexCount() != dims)
      throw ERTE(FormatMessage(msg::BadNumberOfIndices, IndexCount(), dims));
    const TType elementType = variable.Value().AsArray().ElementType();
    if (!(TypeOf(value) & elementType & TypeAll))
      RaiseExpectsType(FItem->Name(), elementType, TypeOf(value));
    const size_t linear = LinearPosition();
    if (linear == NoPosition) return;  // a break or continue in an index: no assignment
    const TType nowType = variable.Value().AsArray().ElementType();
    if (nowType != elementType && !(TypeOf(value) & nowType & TypeAll))
      RaiseExpectsType(FItem->Name(), nowType, TypeOf(value));
    variable.MutableValue().AsArray().Put(linear, value);
  });
}

TFuncExpr::TFuncExpr(const TFuncs& registry, int32_t position, std::string_view name,
                     TRunState& state)
    : TExpr(TExprKind::Func, position), FFunc(nullptr), FState(&state), FResultType(TypeVoid)
{
  const std::string upper = UpperCase(name);
  FFunc = registry.Find(upper);
  if (!FFunc) throw ESyntaxError(FormatMessage(msg::FunctionNotDefined, upper.c_str()), position);
  FResultType = FFunc->ResultType();
}

TFuncExpr::~TFuncExpr()
{
  for (TExpr* arg : FArgs) delete arg;
}

void TFuncExpr::AddArg(std::unique_ptr<TExpr> arg)
{
  if (!arg) return;
  // Room first, so the push cannot fail after the release; doubling keeps a long statement
  // list linear (one more slot at a time copied the whole list at every statement). Most
  // calls have two arguments or fewer, so that is the first room made.
  if (FArgs.size() == FArgs.capacity()) FArgs.reserve(std::max<size_t>(2, FArgs.capacity() * 2));
  Below(*arg);
  FArgs.push_back(arg.release());
  FPlan.reset();
}

std::vector<std::unique_ptr<TExpr>> TFuncExpr::ReleaseArgs()
{
  std::vector<std::unique_ptr<TExpr>> args;
  args.reserve(FArgs.size());
  for (TExpr* arg : FArgs) args.emplace_back(arg);
  FArgs.clear();
  FPlan.reset();
  return args;
}

namespace {

// A statement node that the general call passes unevaluated (a FUNC parameter taking ALL).
bool IsStatementNode(const TExpr& arg)
{
  return arg.NodeKind() == TExprKind::Func && (arg.GetType() & TypeAll);
}

}  // namespace

void TFuncExpr::ChooseShortcut()
{
  FShortcut = TShortcut::None;
  if (!dynamic_cast<TBuiltinFunction*>(FFunc)) return;
  const std::string& name = FFunc->Name();
  if (name == "BEGIN" || name == "SCRIPT") {
    if (std::all_of(FArgs.begin(), FArgs.end(), [](TExpr* arg) { return IsStatementNode(*arg); }))
      FShortcut = TShortcut::Block;
    return;
  }
  // IF with its statement, ELSE with both: a missing branch shifts the arguments to another
  // pattern, left to the general call
  if ((name == "IF" && FArgs.size() == 2) || (name == "ELSE" && FArgs.size() == 3)) {
    const TExpr& condition = *FArgs[0];
    const bool conditionReady =
        (condition.NodeKind() == TExprKind::Func && condition.GetType() == TypeBoolean) ||
        (condition.NodeKind() == TExprKind::Const &&
         static_cast<const TConstExpr&>(condition).Value().IsBoolean());
    if (conditionReady && std::all_of(FArgs.begin() + 1, FArgs.end(),
                                      [](TExpr* arg) { return IsStatementNode(*arg); }))
      FShortcut = TShortcut::If;
    return;
  }
  if (FArgs.size() != 2) return;
  TBinaryOperator op;
  if (name == "SET") {
    const TExprKind target = FArgs[0]->NodeKind();
    if (target == TExprKind::Var || target == TExprKind::Array) FShortcut = TShortcut::Assign;
  } else if (FindBinaryOperator(name, op)) {
    FShortcut = TShortcut::Operator;
    FOperator = static_cast<uint8_t>(op);
    FIntegerOperands = op == TBinaryOperator::Div || op == TBinaryOperator::Mod;
    ChooseOperands();
    if (FShortcut == TShortcut::Operator && op != TBinaryOperator::Div) ChooseIntegers();
  }
  if (FShortcut == TShortcut::Assign) ChooseAssignInteger();
}

namespace {

bool IntegerValued(TBinaryOperator op)
{
  return op == TBinaryOperator::Add || op == TBinaryOperator::Sub || op == TBinaryOperator::Mul ||
         op == TBinaryOperator::Mod;
}

}  // namespace

namespace {

// The value of an operand that is a constant or a plain variable, read where it is kept.
inline const Variant& ValueInPlace(const TExpr& node)
{
  return node.NodeKind() == TExprKind::Const ? static_cast<const TConstExpr&>(node).Value()
                                             : static_cast<const TVarExpr&>(node).Item().Value();
}

}  // namespace

// Operands that are constants, variables, or child operators over two constants or
// variables yielding an integer. Nothing evaluated can change a variable, so every one is
// read in place.
void TFuncExpr::ChooseIntegers()
{
  for (size_t i = 0; i < 2; ++i) {
    TExpr& arg = *FArgs[i];
    switch (arg.NodeKind()) {
      case TExprKind::Const:
      case TExprKind::Var: break;
      case TExprKind::Array: return;
      case TExprKind::Func: {
        auto& child = static_cast<TFuncExpr&>(arg);
        if (child.FShortcut == TShortcut::Unknown) child.ChooseShortcut();
        if (child.FShortcut != TShortcut::Integers ||
            child.FArgs[0]->NodeKind() == TExprKind::Func ||
            child.FArgs[1]->NodeKind() == TExprKind::Func ||
            !IntegerValued(static_cast<TBinaryOperator>(child.FOperator)))
          return;
        break;
      }
    }
  }
  FShortcut = TShortcut::Integers;
}

// A plain variable given an integer-valued Integers operator.
void TFuncExpr::ChooseAssignInteger()
{
  const TExpr& target = *FArgs[0];
  const TExpr& source = *FArgs[1];
  if (target.NodeKind() != TExprKind::Var || source.NodeKind() != TExprKind::Func) return;
  if (!static_cast<const TVarExpr&>(target).Item().IsVariable()) return;
  auto& node = const_cast<TFuncExpr&>(static_cast<const TFuncExpr&>(source));
  if (node.FShortcut == TShortcut::Unknown) node.ChooseShortcut();
  if (node.FShortcut != TShortcut::Integers ||
      !IntegerValued(static_cast<TBinaryOperator>(node.FOperator)))
    return;
  FShortcut = TShortcut::AssignInteger;
}

// Which operand tests are left for run time, and which operands are read in place. A
// constant or call that the operator's number pattern does not take whatever happens leaves
// the call site to the general call for good.
[[gnu::always_inline]] inline uint32_t TFuncExpr::ReadyKinds() const
{
  constexpr uint32_t Integer = 1u << static_cast<int>(TValueKind::Integer);
  constexpr uint32_t Float = 1u << static_cast<int>(TValueKind::Float);
  return FIntegerOperands ? Integer : Integer | Float;
}

void TFuncExpr::ChooseOperands()
{
  const uint32_t readyKinds = ReadyKinds();
  FInPlace = 0;
  for (size_t i = 0; i < 2; ++i) {
    TExpr& arg = *FArgs[i];
    FReady[i] = TReady::Always;
    switch (arg.NodeKind()) {
      case TExprKind::Const: {
        const Variant& value = static_cast<const TConstExpr&>(arg).Value();
        if (!((readyKinds >> static_cast<int>(value.Kind())) & 1u)) FShortcut = TShortcut::None;
        FInPlace |= static_cast<uint8_t>(1u << i);
        break;
      }
      case TExprKind::Var: {
        FReady[i] = TReady::ValueKind;
        // nothing evaluated after it can change it
        const TExprKind second = FArgs[1]->NodeKind();
        if (i == 1 || second == TExprKind::Const || second == TExprKind::Var)
          FInPlace |= static_cast<uint8_t>(1u << i);
        break;
      }
      case TExprKind::Array: FReady[i] = TReady::ElementKinds; break;
      case TExprKind::Func: {
        // matching takes a call whose declared result shares a kind with the parameter, and
        // the operators compute from the values alone, whichever pattern matched
        const TType kinds = static_cast<const TFuncExpr&>(arg).FResultType;
        if ((kinds & OperandKinds()) == 0) FShortcut = TShortcut::None;
        break;
      }
    }
  }
}

// Whether the general call would match the operator's number pattern for both operands
// whatever their values turn out to be, and then compute what the shortcut computes.
[[gnu::always_inline]] inline bool TFuncExpr::OperandsReady() const
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

namespace {

// The operators on two integers that need no library call; false for the others.
inline bool ApplyIntegerOperator(TBinaryOperator op, int32_t a, int32_t b, Variant& result)
{
  switch (op) {
    case TBinaryOperator::Add: result.SetInteger(WrapAdd(a, b)); return true;
    case TBinaryOperator::Sub: result.SetInteger(WrapSub(a, b)); return true;
    case TBinaryOperator::Mul: result.SetInteger(WrapMul(a, b)); return true;
    case TBinaryOperator::Greater: result.SetBoolean(a > b); return true;
    case TBinaryOperator::Less: result.SetBoolean(a < b); return true;
    case TBinaryOperator::Equal: result.SetBoolean(a == b); return true;
    case TBinaryOperator::UnEqual: result.SetBoolean(a != b); return true;
    case TBinaryOperator::GreaterEqual: result.SetBoolean(a >= b); return true;
    case TBinaryOperator::LessEqual: result.SetBoolean(a <= b); return true;
    case TBinaryOperator::Mod:
      if (b > 0) {  // the remainder takes the dividend's sign, as C++'s does
        result.SetInteger(a % b);
        return true;
      }
      return false;
    default: return false;
  }
}

}  // namespace

namespace {

// An integer-valued operator on two integers; false for mod by a divisor that is not
// positive, which the library reports.
inline bool IntegerValue(TBinaryOperator op, int32_t a, int32_t b, int32_t& value)
{
  switch (op) {
    case TBinaryOperator::Add: value = WrapAdd(a, b); return true;
    case TBinaryOperator::Sub: value = WrapSub(a, b); return true;
    case TBinaryOperator::Mul: value = WrapMul(a, b); return true;
    case TBinaryOperator::Mod:
      if (b <= 0) return false;
      value = a % b;
      return true;
    default: return false;
  }
}

}  // namespace

inline bool TFuncExpr::IntegerOperand(size_t index, int32_t& value) const
{
  const TExpr& arg = *FArgs[index];
  if (arg.NodeKind() == TExprKind::Func) {
    const auto& child = static_cast<const TFuncExpr&>(arg);
    const Variant& a = ValueInPlace(*child.FArgs[0]);
    const Variant& b = ValueInPlace(*child.FArgs[1]);
    return a.IsInteger() && b.IsInteger() &&
           IntegerValue(static_cast<TBinaryOperator>(child.FOperator), a.AsInteger(), b.AsInteger(),
                        value);
  }
  const Variant& operand = ValueInPlace(arg);
  if (!operand.IsInteger()) return false;
  value = operand.AsInteger();
  return true;
}

// The value of an integer-valued Integers node, computed whole or not at all: nothing is
// read but integers, so giving up leaves no trace.
inline bool TFuncExpr::IntegerResult(int32_t& value) const
{
  int32_t a, b;
  return IntegerOperand(0, a) && IntegerOperand(1, b) &&
         IntegerValue(static_cast<TBinaryOperator>(FOperator), a, b, value);
}

// An operator cannot loop: it takes no stop check of its own.
bool TFuncExpr::OperateIntegers(Variant& result)
{
  int32_t a, b;
  if (!IntegerOperand(0, a) || !IntegerOperand(1, b)) return false;
  const auto op = static_cast<TBinaryOperator>(FOperator);
  if (op == TBinaryOperator::Mod && b <= 0) return false;
  ApplyIntegerOperator(op, a, b, result);
  FState->PumpMessages();
  return true;
}

bool TFuncExpr::AssignInteger(Variant& result)
{
  auto& variable = static_cast<TVariable&>(static_cast<TVarExpr&>(*FArgs[0]).Item());
  if (!variable.Value().IsInteger()) return false;
  int32_t value;
  if (!static_cast<const TFuncExpr&>(*FArgs[1]).IntegerResult(value)) return false;
  variable.MutableValue().SetInteger(value);
  result.Clear();
  FState->PumpMessages();
  return true;
}

inline void TFuncExpr::CallGenerally(Variant& result)
{
  if (!FPlan) FPlan = std::make_unique<TCallPlan>();
  CallPlanned(*FFunc, FArgs, *FPlan, result, *FState);
}

template <bool (TFuncExpr::*Directly)(Variant&)>
[[gnu::noinline]] void TFuncExpr::EvalDirectly(Variant& result)
{
  try {
    if ((this->*Directly)(result)) return;
    CallGenerally(result);
  } catch (...) {
    RaiseAt(FPosition);
  }
}

// A plain call or an operator with its shortcut (the usual operands and sources) is
// entered on its route directly; other nodes through their dispatch.
inline void TFuncExpr::EvalOperand(TExpr& node, Variant& result)
{
  if (node.NodeKind() == TExprKind::Func) {
    auto& call = static_cast<TFuncExpr&>(node);
    if (call.FShortcut == TShortcut::None) return call.EvalCall(result);
    if (call.FShortcut == TShortcut::Operator)
      return call.EvalDirectly<&TFuncExpr::OperateDirectly>(result);
  }
  node.Eval(result);
}

bool TFuncExpr::OperateDirectly(Variant& result)
{
  if (!OperandsReady()) return false;
  // The first operand computed goes into the result, which nothing evaluated meanwhile
  // reaches; the second into a scratch value of its own.
  Variant second;
  const Variant* operands[2];
  for (size_t i = 0; i < 2; ++i) {
    if ((FInPlace >> i) & 1u) {
      operands[i] = &ValueInPlace(*FArgs[i]);
    } else {
      Variant& scratch = i == 0 ? result : second;
      EvalOperand(*FArgs[i], scratch);
      if (FState->PendingJump != TJump::None) return true;
      operands[i] = &scratch;
    }
  }
  const auto op = static_cast<TBinaryOperator>(FOperator);
  if (operands[0]->IsInteger() && operands[1]->IsInteger() &&
      ApplyIntegerOperator(op, operands[0]->AsInteger(), operands[1]->AsInteger(), result)) {
    FState->PumpMessages();
    return true;
  }
  if (operands[0] == &result) {
    const Variant first(std::move(result));
    ApplyBinaryOperator(op, first, *operands[1], result);
  } else {
    ApplyBinaryOperator(op, *operands[0], *operands[1], result);
  }
  FState->PumpMessages();
  return true;
}

// Statement nodes report their own errors at their own positions, and the block raises none
// of its own: the statements need no handler of the block's. A block cannot loop: it takes no
// stop check of its own. The statements' results are discarded, into the block's result.
void TFuncExpr::RunStatements(Variant& result)
{
  for (TExpr* statement : FArgs) {
    statement->Eval(result);
    if (FState->PendingJump != TJump::None) break;
  }
  result.Clear();
  FState->PumpMessages();
}

// The condition is a constant or a BOOLEAN call (whose result the call checks), so reading
// its truth raises nothing: like a block, the branch needs no handler of its own.
void TFuncExpr::RunBranch(Variant& result)
{
  bool truth;
  if (FArgs[0]->NodeKind() == TExprKind::Const) {
    const Variant& condition = static_cast<TConstExpr&>(*FArgs[0]).Value();
    truth = condition.IsBoolean() ? condition.AsBoolean() : condition.ToFloat() != 0.0;
  } else {
    FArgs[0]->Eval(result);
    if (FState->PendingJump != TJump::None) return;
    truth = result.IsBoolean() ? result.AsBoolean() : result.ToFloat() != 0.0;
  }
  if (truth)
    FArgs[1]->Eval(result);
  else if (FArgs.size() == 3)
    FArgs[2]->Eval(result);
  result.Clear();
  FState->PumpMessages();
}

bool TFuncExpr::AssignDirectly(Variant& result)
{
  constexpr size_t ShortText = 64, LargeText = 65536;
  TExpr& source = *FArgs[1];
  if (!(source.GetType() & TypeAll)) return false;
  TExpr& target = *FArgs[0];
  if (source.NodeKind() == TExprKind::Const) {
    result.Clear();
    target.Assign(static_cast<TConstExpr&>(source).Value());
    FState->PumpMessages();
    return true;
  }
  // An assignment's result is empty: the value is computed into it, which nothing evaluated
  // meanwhile reaches, and it is emptied once stored.
  EvalOperand(source, result);
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
      // the variable's old text came back: a large one is not kept for the next assignment
      if (result.AsString().capacity() > LargeText) result = Variant();
      result.Clear();
      FState->PumpMessages();
      return true;
    }
  }
  target.Assign(result);
  // as the general call's temporaries: no array or large text kept between calls
  if (result.IsString() && result.AsString().capacity() > LargeText) result = Variant();
  result.Clear();
  FState->PumpMessages();
  return true;
}

// Each route tries its way and otherwise takes the general one: every call here is the last
// thing done (the routes are kept out of line for that), so a node costs one dispatch on its
// way in. Blocks and branches raise nothing of their own, so they need no handler. The routes are
// told apart in two groups of a few comparisons: one table jump shared by every node of a script is
// predicted worse, and measured slower.
void TFuncExpr::Eval(Variant& result)
{
  switch (FShortcut) {
    case TShortcut::Integers: return EvalIntegers(result);
    case TShortcut::AssignInteger: return EvalAssignInteger(result);
    case TShortcut::Block: return EvalBlock(result);
    case TShortcut::If: return EvalIf(result);
    default: return EvalHandled(result);
  }
}

// The routes that need the handler.
[[gnu::noinline]] void TFuncExpr::EvalHandled(Variant& result)
{
  switch (FShortcut) {
    case TShortcut::None: return EvalCall(result);
    case TShortcut::Assign: return EvalDirectly<&TFuncExpr::AssignDirectly>(result);
    case TShortcut::Operator: return EvalDirectly<&TFuncExpr::OperateDirectly>(result);
    default: return EvalGeneral(result);
  }
}

[[gnu::noinline]] void TFuncExpr::EvalIntegers(Variant& result)
{
  if (!OperateIntegers(result)) EvalGeneral(result);
}

[[gnu::noinline]] void TFuncExpr::EvalAssignInteger(Variant& result)
{
  if (!AssignInteger(result)) EvalGeneral(result);
}

[[gnu::noinline]] void TFuncExpr::EvalBlock(Variant& result) { RunStatements(result); }

[[gnu::noinline]] void TFuncExpr::EvalIf(Variant& result) { RunBranch(result); }

void TFuncExpr::EvalGeneral(Variant& result)
{
  try {
    if (FShortcut == TShortcut::Unknown) ChooseShortcut();
    bool done = false;
    switch (FShortcut) {
      case TShortcut::Assign:
      case TShortcut::AssignInteger: done = AssignDirectly(result); break;
      case TShortcut::Operator:
      case TShortcut::Integers: done = OperateDirectly(result); break;
      case TShortcut::Block: RunStatements(result); return;
      case TShortcut::If: RunBranch(result); return;
      case TShortcut::Unknown:
      case TShortcut::None: break;
    }
    if (done) return;
    CallGenerally(result);
  } catch (...) {
    RaiseAt(FPosition);
  }
}

// A call without a shortcut: the general route without choosing one.
[[gnu::noinline]] void TFuncExpr::EvalCall(Variant& result)
{
  try {
    CallGenerally(result);
  } catch (...) {
    RaiseAt(FPosition);
  }
}

void TArgList::RaiseNotValue(int index)
{
  throw ERTE(FormatMessage("Argument %d is not a value", index + 1));
}

}  // namespace quarn::script
