// Named storage (constants and variables) and the nodes of a compiled script's tree.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/Operators.h"
#include "script/Types.h"
#include "script/Value.h"

namespace quarn::script {

class TFuncs;
class TFunction;
class TRunState;
struct TCallPlan;

// Upper-cases ASCII letters (names are stored and compared in upper case).
std::string UpperCase(std::string_view text);

// ---- data items ----

class TDataItem {
public:
  explicit TDataItem(std::string_view name) : FName(UpperCase(name)) {}
  virtual ~TDataItem() = default;
  TDataItem(const TDataItem&) = delete;
  TDataItem& operator=(const TDataItem&) = delete;

  const std::string& Name() const { return FName; }
  TType ValueType() const { return FValueType; }
  bool HostDefined() const { return FHostDefined; }
  void SetHostDefined(bool value) { FHostDefined = value; }
  const Variant& Value() const { return FValue; }
  bool IsVariable() const { return FIsVariable; }

  virtual void SetValue(const Variant& value) {}
  virtual void Clear() {}

protected:
  std::string FName;
  TType FValueType = TypeVoid;
  bool FHostDefined = false;
  bool FIsVariable = false;
  Variant FValue;
};

class TConstant : public TDataItem {
public:
  TConstant(std::string_view name, const Variant& value);
  void SetValue(const Variant& value) override;
};

// Undefined (VAR VOID) until its first assignment in a run.
class TVariable : public TDataItem {
public:
  explicit TVariable(std::string_view name);
  void SetValue(const Variant& value) override;
  void Clear() override;
  bool Defined() const { return !(FValueType & TypeVoid); }
  Variant& MutableValue() { return FValue; }  // for in-place element writes
};

// ---- expression nodes ----

enum class TExprKind : uint8_t { Const, Var, Array, Func };

class TExpr {
public:
  virtual ~TExpr() = default;
  TExpr(const TExpr&) = delete;
  TExpr& operator=(const TExpr&) = delete;

  TExprKind NodeKind() const { return FKind; }
  // The variable's or the function's name; empty for a constant.
  const std::string& Name() const;
  int32_t Position() const { return FPosition; }
  // Levels of nodes below this one (0 for a leaf): how deep evaluating it recurses. The
  // compiler keeps it far below MaxStoredHeight, where it stops counting.
  int32_t Height() const { return FHeight; }
  static constexpr int32_t MaxStoredHeight = UINT16_MAX;

  virtual TType GetType() const = 0;
  virtual void Eval(Variant& result) = 0;
  // What the node is, as qscript --dump-tree shows it.
  virtual std::string_view KindName() const = 0;
  // Only variable and element references can be assigned; others raise ERTE.
  virtual void Assign(const Variant& value);

protected:
  TExpr(TExprKind kind, int32_t position) : FPosition(position), FKind(kind) {}

  void Below(const TExpr& child)
  {
    const int32_t height = std::min(MaxStoredHeight, child.Height() + 1);
    if (height > FHeight) FHeight = static_cast<uint16_t>(height);
  }

  // A script holds millions of nodes: the common part is kept to 16 bytes with the vtable.
  int32_t FPosition;
  uint16_t FHeight = 0;
  TExprKind FKind;
};

class TConstExpr : public TExpr {
public:
  TConstExpr(const Variant& value, int32_t position)
      : TExpr(TExprKind::Const, position), FValue(value)
  {
  }
  TConstExpr(Variant&& value, int32_t position)
      : TExpr(TExprKind::Const, position), FValue(std::move(value))
  {
  }
  TType GetType() const override { return TypeOf(FValue); }
  void Eval(Variant& result) override { result = FValue; }
  std::string_view KindName() const override { return "constant"; }
  const Variant& Value() const { return FValue; }
  Variant& MutableValue() { return FValue; }
  void SetPosition(int32_t position) { FPosition = position; }

private:
  Variant FValue;
};

class TVarExpr : public TExpr {
public:
  TVarExpr(int32_t position, TDataItem& item) : TVarExpr(TExprKind::Var, position, item) {}
  TType GetType() const override { return FItem->ValueType(); }
  void Eval(Variant& result) override;
  std::string_view KindName() const override { return "variable"; }
  void Assign(const Variant& value) override;
  // Sets the element count of the last dimension of the variable's array.
  void Resize(int32_t count);
  TDataItem& Item() const { return *FItem; }

protected:
  TVarExpr(TExprKind kind, int32_t position, TDataItem& item) : TExpr(kind, position), FItem(&item)
  {
  }
  [[noreturn]] void RaiseUndefined() const;

  TDataItem* FItem;
};

class TArrayExpr : public TVarExpr {
public:
  TArrayExpr(int32_t position, TDataItem& item, TRunState& state)
      : TVarExpr(TExprKind::Array, position, item), FState(&state)
  {
  }
  void Eval(Variant& result) override;
  std::string_view KindName() const override { return "element"; }
  void Assign(const Variant& value) override;
  void AddIndex(std::unique_ptr<TExpr> index)
  {
    Below(*index);
    FIndices.push_back(std::move(index));
    FIndicesInPlace = (FIndices.size() == 1 || FIndicesInPlace) && ReadInPlace(*FIndices.back());
    FIndexInPlace = FIndices.size() == 1 ? HeldIndex(*FIndices[0]) : nullptr;
    FIndexPair[0] = FIndexPair[1] = nullptr;
    if (FIndices.size() == 2 && HeldIndex(*FIndices[0]) && HeldIndex(*FIndices[1])) {
      FIndexPair[0] = HeldIndex(*FIndices[0]);
      FIndexPair[1] = HeldIndex(*FIndices[1]);
    }
  }
  int IndexCount() const { return static_cast<int>(FIndices.size()); }
  const TExpr& Index(int index) const { return *FIndices[static_cast<size_t>(index)]; }
  // Whether every index is read without evaluating anything: a constant, a variable or a
  // number operator over those.
  bool IndicesInPlace() const { return FIndicesInPlace; }
  // The element as a number when the variable holds an INTEGER or FLOAT array and every index,
  // read in place, is an integer within its bounds; else false. Finding it evaluates nothing.
  bool NumberElementInPlace(TNumber& value) const
  {
    size_t index;
    const TArray* array = ElementInPlace(index);
    if (!array) return false;
    if (array->ElementType() == TypeInteger) {
      value.Int = array->IntegerAt(index);
      value.IsFloat = false;
      return true;
    }
    if (array->ElementType() != TypeFloat) return false;
    value.Real = array->FloatAt(index);
    value.IsFloat = true;
    return true;
  }
  // The array the variable holds, when an element at indices read in place is within it, and
  // the element's position; else null.
  TArray* MutableElementInPlace(size_t& index) const
  {
    return const_cast<TArray*>(ElementInPlace(index));
  }
  const TArray* ElementInPlace(size_t& index) const
  {
    if (FIndexInPlace) {
      if (!FIndexInPlace->IsInteger() || !FItem->Value().IsArray()) return nullptr;
      const TArray& array = FItem->Value().AsArray();
      const int32_t position = FIndexInPlace->AsInteger();
      if (array.DimCount() != 1 || position < 0 || position > array.HighBound(0)) return nullptr;
      index = static_cast<size_t>(position);
      return &array;
    }
    return FIndicesInPlace ? ElementAtIndices(index) : nullptr;
  }

private:
  // Evaluates the indices and returns the element's position in the variable's array, or
  // NoPosition when an index left a break or continue pending.
  static constexpr size_t NoPosition = SIZE_MAX;
  size_t LinearPosition();
  // Whether an index can be read in place.
  static bool ReadInPlace(const TExpr& index);
  // Where a constant's or a variable's index value is kept; null for another index.
  static const Variant* HeldIndex(const TExpr& index)
  {
    if (index.NodeKind() == TExprKind::Const) return &static_cast<const TConstExpr&>(index).Value();
    if (index.NodeKind() == TExprKind::Var)
      return &static_cast<const TVarExpr&>(index).Item().Value();
    return nullptr;
  }
  // ElementInPlace for indices of any kind read in place, each checked against its bound.
  const TArray* ElementAtIndices(size_t& index) const;
  [[gnu::noinline]] const TArray* PositionAtIndices(const TArray& array, size_t& linear) const;
  void EvalGeneral(Variant& result);
  void AssignGeneral(const Variant& value);

  TRunState* FState;
  std::vector<std::unique_ptr<TExpr>> FIndices;
  Variant FIndexValue;                     // scratch for index evaluation
  std::vector<int32_t> FIndexValues;       // the evaluated indices
  const Variant* FIndexInPlace = nullptr;  // the only index, when a constant or a variable
  const Variant* FIndexPair[2] = {nullptr, nullptr};  // two indices, when both are such
  bool FIndicesInPlace = false;
};

// A call of a function: the general node, which every call can take. The compiler builds the
// nodes of Nodes.h instead for what it recognises; each falls back to this node's call.
class TFuncExpr : public TExpr {
public:
  // Looks name up in registry; raises ESyntaxError "Function %s is not defined" when absent.
  TFuncExpr(const TFuncs& registry, int32_t position, std::string_view name, TRunState& state);
  ~TFuncExpr() override;
  TType GetType() const override { return FResultType; }
  void Eval(Variant& result) override;
  std::string_view KindName() const override { return "call"; }
  // A null argument (an empty statement) is ignored.
  void AddArg(std::unique_ptr<TExpr> arg);
  int ArgCount() const { return static_cast<int>(FArgs.size()); }
  TExpr* Arg(int index) const { return FArgs[static_cast<size_t>(index)]; }
  std::span<TExpr* const> Args() const { return FArgs; }
  TFunction& Func() const { return *FFunc; }
  // Takes back ownership of the arguments (used when a folded node is replaced).
  std::vector<std::unique_ptr<TExpr>> ReleaseArgs();

protected:
  // A node of another kind for the same call: takes over call's function and arguments.
  explicit TFuncExpr(TFuncExpr& call);
  // The general call through the site's plan, with the node's error handling.
  void EvalCall(Variant& result);
  // A typed node's direct way (a member function returning false when it does not apply),
  // with the node's error handling, else the general call.
  template <class TNode>
  void DirectlyOrCall(bool (TNode::*directly)(Variant&), Variant& result)
  {
    try {
      if ((static_cast<TNode*>(this)->*directly)(result)) return;
    } catch (...) {
      RaiseHere();
    }
    EvalCall(result);
  }
  // Raises what the exception being handled becomes at this node: a failure is given the
  // node's position, a stop becomes the stopped-script error.
  [[noreturn]] void RaiseHere() const;

  // A script holds millions of these nodes: what the typed nodes read is found through the
  // arguments rather than kept in the node.
  std::vector<TExpr*> FArgs;  // owned
  TFunction* FFunc;
  std::unique_ptr<TCallPlan> FPlan;  // made at the first call
  TRunState* FState;                 // of the script the node belongs to
  TType FResultType;
};

// The arguments of one call as a function sees them.
class TArgList {
public:
  TArgList(TExpr* const* items, int count, TRunState& state)
      : FItems(items), FCount(count), FState(&state)
  {
  }

  int Count() const { return FCount; }
  // The run state of the script making the call.
  TRunState& State() const { return *FState; }
  // The node at index, or nullptr outside 0..Count()-1.
  TExpr* Items(int index) const { return index >= 0 && index < FCount ? FItems[index] : nullptr; }
  std::span<TExpr* const> Nodes() const { return {FItems, static_cast<size_t>(FCount)}; }
  // The value of a value parameter (one without VAR or FUNC). CallFunction passes those as
  // constant nodes, so this reads the node's value without copying it; a built-in that
  // changes nothing may be passed a defined variable, read in place.
  const Variant& Value(int index) const
  {
    const TExpr* node = Items(index);
    if (node && node->NodeKind() == TExprKind::Const)
      return static_cast<const TConstExpr*>(node)->Value();
    if (node && node->NodeKind() == TExprKind::Var && FVariablesAsValues)
      return static_cast<const TVarExpr*>(node)->Item().Value();
    RaiseNotValue(index);
  }
  void SetVariablesAsValues(bool value) { FVariablesAsValues = value; }

private:
  [[noreturn]] static void RaiseNotValue(int index);

  TExpr* const* FItems;
  int FCount;
  TRunState* FState;
  bool FVariablesAsValues = false;
};

}  // namespace quarn::script
