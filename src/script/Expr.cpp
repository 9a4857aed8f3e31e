#include "script/Expr.h"

#include <algorithm>
#include <new>

#include "script/Errors.h"
#include "script/Functions.h"
#include "script/Host.h"
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

TFuncExpr::TFuncExpr(TFuncExpr& call)
    : TExpr(TExprKind::Func, call.FPosition),
      FArgs(std::move(call.FArgs)),
      FFunc(call.FFunc),
      FState(call.FState),
      FResultType(call.FResultType)
{
  FHeight = call.FHeight;
  call.FArgs.clear();
}

void TFuncExpr::RaiseHere() const { RaiseAt(FPosition); }

void TFuncExpr::EvalCall(Variant& result)
{
  try {
    if (!FPlan) FPlan = std::make_unique<TCallPlan>();
    CallPlanned(*FFunc, FArgs, *FPlan, result, *FState);
  } catch (...) {
    RaiseAt(FPosition);
  }
}

void TFuncExpr::Eval(Variant& result) { EvalCall(result); }

void TArgList::RaiseNotValue(int index)
{
  throw ERTE(FormatMessage("Argument %d is not a value", index + 1));
}

}  // namespace quarn::script
