// The nodes the compiler builds for the calls it recognises: blocks, branches, assignments and
// the two-operand operators. Each has one direct way, and takes the general call of TFuncExpr
// whenever that way does not apply: the results, errors and side effects are the same. What
// they do is written once, in the functions the built-ins use too (RunSequence, RunBranch,
// Assign, IntegerOperator, ApplyBinaryOperator). Window messages are pumped by the block and
// loop nodes and by calls; branches, operators and assignments cannot run long by themselves
// and leave them to the next stop check, which pumps whenever nothing has since the last.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "script/Expr.h"
#include "script/Library.h"
#include "script/Operators.h"

namespace quarn::script {

// Whether the compiler builds the nodes below. When off, every call is a general call node:
// a second way to the same output, messages and positions, which the tests compare. Off when
// the environment variable QUARN_SCRIPT_GENERAL is 1 at the first compile, or once set so.
bool SpecialiseNodes();
void SetSpecialiseNodes(bool value);

// How a condition's truth is read without a value: as a comparison's, a logic node's, or not.
enum class TTruthWay : uint8_t { None, Comparison, Logic };

// Each takes a call the compiler built, with all its arguments, and returns the node for it,
// or the call itself when the call is not the built-in the node stands for or its arguments
// leave nothing to do directly.
std::unique_ptr<TFuncExpr> MakeBlock(std::unique_ptr<TFuncExpr> call);
std::unique_ptr<TFuncExpr> MakeBranch(std::unique_ptr<TFuncExpr> call);
std::unique_ptr<TFuncExpr> MakeAssignment(std::unique_ptr<TFuncExpr> call);
std::unique_ptr<TFuncExpr> MakeOperator(std::unique_ptr<TFuncExpr> call);
std::unique_ptr<TFuncExpr> MakeLoop(std::unique_ptr<TFuncExpr> call);

// BEGIN or SCRIPT whose every argument is a statement. A block cannot loop: it takes no stop
// check of its own, and the statements report their own errors.
class TBlockNode final : public TFuncExpr {
public:
  explicit TBlockNode(TFuncExpr& call) : TFuncExpr(call) {}
  void Eval(Variant& result) override;
  std::string_view KindName() const override { return "block"; }
};

// IF with its statement, ELSE with both, and a condition whose truth reading raises nothing
// (a BOOLEAN constant or call), or a variable or element read in place: one that holds no
// BOOLEAN leaves the whole branch to the general call.
class TBranchNode final : public TFuncExpr {
public:
  explicit TBranchNode(TFuncExpr& call);
  void Eval(Variant& result) override;
  std::string_view KindName() const override { return ArgCount() == 3 ? "if-else" : "if"; }

private:
  TTruthWay FTruthWay;  // of the condition
  bool FLeafCondition;  // the condition is a variable or an element read in place
};

// A two-operand operator. Operands that are constants or variables nothing evaluated after
// them can change are read in place. A number operator, whose operands are such, elements
// whose indices are read in place, or child number operators, computes without variants when
// every operand read is an INTEGER or a FLOAT (NumberArithmetic, NumberRelation); a
// comparison of two leaves that hold strings compares them in place. Each operand is read
// once, with its kind, whichever way then applies. Otherwise, when the
// operands' kinds are ones its number pattern takes, it computes the library's way directly;
// else the general call. Each operator is a class of its own (OperatorNode.cpp), whose number
// way is compiled for that operator alone.
class TOperatorNode : public TFuncExpr {
public:
  TOperatorNode(TFuncExpr& call, TBinaryOperator op);
  std::string_view KindName() const override
  {
    return FNumberTree ? "number operator" : "operator";
  }
  TBinaryOperator Operator() const { return FOp; }
  // The value of an operator over integers read at once (see IntegerOperands), without a
  // call; false when it needs the number way.
  bool IntegerResult(int32_t& value) const
  {
    int32_t x, y;
    return IntegerOperands(x, y) && IntegerArithmetic(FOp, x, y, value);
  }
  // The same for an operator known while compiling (the node is an operator Op).
  template <TBinaryOperator Op>
  bool IntegerResultAs(int32_t& value) const
  {
    int32_t x, y;
    return IntegerOperands(x, y) && IntegerArithmetic(Op, x, y, value);
  }
  // A NumberValued node's value with operand known given as value, the other read in place;
  // false as NumberResult.
  template <TBinaryOperator Op>
  bool NumberResultWith(size_t known, const TNumber& value, TNumber& result) const
  {
    if constexpr (Op == TBinaryOperator::Negate) {
      return NumberArithmetic(Op, value, value, result);
    } else {
      TNumber other;
      if (!NumberOperand(1 - known, other)) return false;
      return known == 0 ? NumberArithmetic(Op, value, other, result)
                        : NumberArithmetic(Op, other, value, result);
    }
  }
  // An operator whose number can be computed from operands read in place.
  bool NumberValued() const;
  // A comparison whose truth can be computed from operands read in place.
  bool NumberComparison() const;
  // A NumberComparison node's truth, as its value would be, or false when the operands are
  // neither numbers nor two strings; nothing is evaluated.
  virtual bool Truth(bool& truth) const = 0;
  // A NumberValued node's value, computed whole or not at all: false when an operand is not
  // a number or the operator needs an error (div by 0, a FLOAT in div).
  virtual bool NumberResult(TNumber& value) const = 0;

protected:
  // Nothing is read but numbers and strings in place, so giving up leaves no trace. An
  // operator cannot loop: it takes no stop check of its own.
  template <TBinaryOperator Op>
  void EvalAs(Variant& result)
  {
    if constexpr (Op == TBinaryOperator::Negate) {
      TNumber a, value;
      if (FNumberTree && NumberOperand(0, a) && NumberArithmetic(Op, a, a, value)) {
        if (value.IsFloat)
          result.SetFloat(value.Real);
        else
          result.SetInteger(value.Int);
        return;
      }
      EvalCall(result);
      return;
    }
    if (FNumberTree) {
      if (int32_t x, y; IntegerOperands(x, y) && IntegerOperator(Op, x, y, result)) return;
      TNumber a, b;
      const std::string* texts[2];
      const TOperandKind kinds = ReadOperands(a, b, texts);
      if (kinds == TOperandKind::Number) {
        TNumber value;
        bool truth = false;
        if (NumberArithmetic(Op, a, b, value)) {
          if (value.IsFloat)
            result.SetFloat(value.Real);
          else
            result.SetInteger(value.Int);
          return;
        }
        if (NumberRelation(Op, a, b, truth)) {
          result.SetBoolean(truth);
          return;
        }
      } else if (bool truth = false;
                 kinds == TOperandKind::Text && TextRelation(Op, *texts[0], *texts[1], truth)) {
        result.SetBoolean(truth);
        return;
      }
    }
    EvalOperands(result);
  }

  // What an operand read in place is: a number, a text kept where it is, or neither.
  enum class TOperandKind : uint8_t { None, Number, Text };
  // The two operands read in place, once each: Number when both are numbers, Text when both
  // are strings (a child operator is a number), else None.
  TOperandKind ReadOperands(TNumber& a, TNumber& b, const std::string* (&texts)[2]) const
  {
    const TOperandKind first = ReadOperand(0, a, texts[0]);
    if (first == TOperandKind::None) return first;
    return ReadOperand(1, b, texts[1]) == first ? first : TOperandKind::None;
  }
  TOperandKind ReadOperand(size_t index, TNumber& number, const std::string*& text) const
  {
    if ((FChildren >> index) & 1u) {
      const auto& child = static_cast<const TOperatorNode&>(*FArgs[index]);
      return child.NumberResult(number) ? TOperandKind::Number : TOperandKind::None;
    }
    if (const Variant* slot = FSlots[index]) {
      switch (slot->Kind()) {
        case TValueKind::Integer:
          number.Int = slot->AsInteger();
          number.IsFloat = false;
          return TOperandKind::Number;
        case TValueKind::Float:
          number.Real = slot->AsFloat();
          number.IsFloat = true;
          return TOperandKind::Number;
        case TValueKind::String: text = &slot->AsString(); return TOperandKind::Text;
        default: return TOperandKind::None;
      }
    }
    return ElementOperand(index, number, text);
  }
  // The two operands as numbers read in place; false when one is not a number.
  bool NumberOperands(TNumber& a, TNumber& b) const
  {
    const std::string* texts[2];
    return ReadOperands(a, b, texts) == TOperandKind::Number;
  }
  // The usual operands read at once: constants or variables holding integers, or a child
  // operator over two such; what IntegerArithmetic and IntegerRelation leave out (a FLOAT,
  // div, "/", a divisor that is not positive) takes the number way.
  bool IntegerOperands(int32_t& a, int32_t& b) const
  {
    return IntegerOperand(0, a) && IntegerOperand(1, b);
  }
  bool IntegerLeaves(int32_t& a, int32_t& b) const
  {
    const Variant* first = FSlots[0];
    const Variant* second = FSlots[1];
    if (!first || !second || !first->IsInteger() || !second->IsInteger()) return false;
    a = first->AsInteger();
    b = second->AsInteger();
    return true;
  }
  // Two constants or variables holding floats, read at once.
  bool FloatLeaves(double& a, double& b) const
  {
    const Variant* first = FSlots[0];
    const Variant* second = FSlots[1];
    if (!first || !second || !first->IsFloat() || !second->IsFloat()) return false;
    a = first->AsFloat();
    b = second->AsFloat();
    return true;
  }
  bool IntegerOperand(size_t index, int32_t& value) const
  {
    if (const Variant* slot = FSlots[index]) {
      if (!slot->IsInteger()) return false;
      value = slot->AsInteger();
      return true;
    }
    if (!((FChildren >> index) & 1u)) return false;
    const auto& child = static_cast<const TOperatorNode&>(*FArgs[index]);
    int32_t x, y;
    return child.IntegerLeaves(x, y) && IntegerArithmetic(child.FOp, x, y, value);
  }
  bool NumberOperand(size_t index, TNumber& value) const
  {
    const std::string* text;
    return ReadOperand(index, value, text) == TOperandKind::Number;
  }
  // A comparison of two texts as the built-ins compare them: byte by byte, unsigned, a
  // prefix first; false for the other operators.
  static bool TextRelation(TBinaryOperator op, const std::string& a, const std::string& b,
                           bool& truth)
  {
    return IntegerRelation(op, a.compare(b), 0, truth);
  }

private:
  // How an operand's kind is known: from the tree alone (a constant, a call's declared
  // result), from a variable's current value, or from an array variable's element type.
  enum class TReady : uint8_t { Always, ValueKind, ElementKinds };
  void EvalOperands(Variant& result);
  // An element operand, out of line: the constants and variables' way stays short.
  TOperandKind ElementOperand(size_t index, TNumber& number, const std::string*& text) const;
  bool OperandsReady() const;
  bool OperateDirectly(Variant& result);
  uint32_t ReadyKinds() const;
  TType OperandKinds() const { return FIntegerOperands ? TypeInteger : TypeMult; }

  TBinaryOperator FOp;
  bool FIntegerOperands : 1;  // the number pattern takes integers only (div, mod)
  bool FNumberTree : 1;
  uint8_t FInPlace : 2;   // bit i: operand i read in place
  uint8_t FChildren : 2;  // bit i: operand i is a child number operator
  uint8_t FElements : 2;  // bit i: operand i is an element with its indices read in place
  TReady FReady[2];
  // Where operand i's value is kept when it is a constant or a plain variable, else null:
  // the constant's value and the variable's live as long as the tree.
  const Variant* FSlots[2];
};

// The node of one operator: its number way is compiled for it alone, so telling the operators
// apart costs nothing at run time.
template <TBinaryOperator Op>
class TOperatorOf final : public TOperatorNode {
public:
  explicit TOperatorOf(TFuncExpr& call) : TOperatorNode(call, Op) {}
  void Eval(Variant& result) override { EvalAs<Op>(result); }
  bool Truth(bool& truth) const override
  {
    if constexpr (Op == TBinaryOperator::Negate) return false;
    if (int32_t x, y; IntegerOperands(x, y)) return IntegerRelation(Op, x, y, truth);
    if (double x, y; FloatLeaves(x, y)) return RealRelation(Op, x, y, truth);
    return OtherTruth(truth);
  }
  // Operands other than two integers read at once, out of line: the integers' way then keeps
  // no registers of its own.
  [[gnu::noinline]] bool OtherTruth(bool& truth) const
  {
    TNumber a, b;
    const std::string* texts[2];
    switch (ReadOperands(a, b, texts)) {
      case TOperandKind::Number: return NumberRelation(Op, a, b, truth);
      case TOperandKind::Text: return TextRelation(Op, *texts[0], *texts[1], truth);
      case TOperandKind::None: break;
    }
    return false;
  }
  bool NumberResult(TNumber& value) const override
  {
    TNumber a, b;
    if constexpr (Op == TBinaryOperator::Negate) {
      return NumberOperand(0, a) && NumberArithmetic(Op, a, a, value);
    } else {
      if (int32_t x, y; IntegerOperands(x, y) && IntegerArithmetic(Op, x, y, value.Int)) {
        value.IsFloat = false;
        return true;
      }
      if (double x, y; FloatLeaves(x, y) && RealArithmetic(Op, x, y, value.Real)) {
        value.IsFloat = true;
        return true;
      }
      return NumberOperands(a, b) && NumberArithmetic(Op, a, b, value);
    }
  }
};

// AND, OR, XOR and NOT whose operands are truths read without evaluating anything: BOOLEAN
// constants, variables and elements read in place, number comparisons and such logic nodes.
// Both operands are always read, as the built-ins evaluate both; when one is not a BOOLEAN
// the node takes the general call, which reports it.
class TLogicNode final : public TFuncExpr {
public:
  enum class TLogic : uint8_t { And, Or, Xor, Not };
  TLogicNode(TFuncExpr& call, TLogic logic);
  void Eval(Variant& result) override;
  std::string_view KindName() const override { return "logic"; }
  // The node's truth, as its value would be, or false when an operand is not a BOOLEAN.
  bool Truth(bool& truth) const;

private:
  TLogic FLogic;
  TTruthWay FWays[2];  // of operands that are comparisons or logic nodes
};

TTruthWay TruthWayOf(const TExpr& condition);
// A variable, or an element whose indices are read in place: its truth can be read in place.
bool LeafTruthInPlace(const TExpr& leaf);
// The truth of a constant, a variable or an element read in place that holds a BOOLEAN; false
// for anything else, having evaluated nothing.
bool LeafTruth(const TExpr& leaf, bool& truth);
inline bool DirectTruth(TTruthWay way, const TExpr& condition, bool& truth)
{
  switch (way) {
    case TTruthWay::Comparison: return static_cast<const TOperatorNode&>(condition).Truth(truth);
    case TTruthWay::Logic: return static_cast<const TLogicNode&>(condition).Truth(truth);
    case TTruthWay::None: break;
  }
  return false;
}

// SET of a variable or an element. The value is computed into the node's result and moved
// into a string variable; a number operator's value into a variable holding a number of its
// kind, or into an element of its kind with indices read in place, is stored without a
// variant.
class TAssignNode : public TFuncExpr {
public:
  explicit TAssignNode(TFuncExpr& call);
  void Eval(Variant& result) override
  {
    if (FLeafSource && AssignLeaf()) {
      result.Discard();
      return;
    }
    EvalAssign(result);
  }
  std::string_view KindName() const override
  {
    return FSource ? "number assignment" : "assignment";
  }
  // The source operator when the assignment stores a number operator's value directly.
  static const TOperatorNode* NumberSource(const TFuncExpr& call);

protected:
  // A number is stored where it is of the kind the target holds, as Assign would store it;
  // anything else is left to Assign, with the value computed again (nothing was evaluated).
  template <TBinaryOperator Op>
  void EvalNumber(Variant& result)
  {
    // the usual case first: integers into a variable holding an integer
    if (int32_t number; FTarget && FTarget->IsInteger() && FSource->IntegerResultAs<Op>(number)) {
      FTarget->SetInteger(number);
      result.Discard();
      return;
    }
    EvalOtherNumber<Op>(result);
  }
  // Any other number, out of line: the integers' way then keeps no registers of its own.
  template <TBinaryOperator Op>
  [[gnu::noinline]] void EvalOtherNumber(Variant& result)
  {
    if (FUpdatedOperand >= 0) {
      if (UpdateElement<Op>())
        result.Discard();
      else
        EvalAssign(result);
      return;
    }
    TNumber value;
    if (static_cast<const TOperatorOf<Op>&>(*FSource).NumberResult(value) && StoreNumber(value)) {
      result.Discard();
      return;
    }
    EvalAssign(result);
  }

private:
  // An element that is also an operand of the source, a[i] := a[i] + 1: found once, its
  // number read there and the result stored there, where it is of the element's kind.
  template <TBinaryOperator Op>
  bool UpdateElement()
  {
    size_t index;
    TArray* array = static_cast<TArrayExpr&>(*FArgs[0]).MutableElementInPlace(index);
    TNumber element{}, value;
    return array && ElementNumber(*array, index, element) &&
           FSource->NumberResultWith<Op>(static_cast<size_t>(FUpdatedOperand), element, value) &&
           StoreElementAt(*array, index, value);
  }
  static bool ElementNumber(const TArray& array, size_t index, TNumber& value);
  static bool StoreElementAt(TArray& array, size_t index, const TNumber& value);
  bool StoreNumber(const TNumber& value)
  {
    if (!FTarget) return StoreElement(value);
    if (value.IsFloat ? !FTarget->IsFloat() : !FTarget->IsInteger()) return false;
    if (value.IsFloat)
      FTarget->SetFloat(value.Real);
    else
      FTarget->SetInteger(value.Int);
    return true;
  }
  bool StoreElement(const TNumber& value);
  bool StoreBoolean(bool value);
  bool StoreText(const std::string& text);
  // A number, boolean or text read in place from a constant, a variable or an element, or the
  // truth of a comparison or logic node, stored where the target holds that kind; false,
  // nothing changed, otherwise.
  bool AssignLeaf();
  void EvalAssign(Variant& result);
  bool AssignDirectly(Variant& result);

  // A constant, a variable, an element with indices in place, or a truth read directly
  // (first: they fit in the call node's padding).
  bool FLeafSource = false;
  TTruthWay FTruthWay = TTruthWay::None;
  // The source operator's operand that is the target element itself, or -1.
  int8_t FUpdatedOperand = -1;
  // With a number source or a leaf source: the variable's value (null for an element); with
  // a number source, the source operator.
  Variant* FTarget = nullptr;
  const TOperatorNode* FSource = nullptr;
};

// The assignment of one number operator's value, whose computation is compiled in.
template <TBinaryOperator Op>
class TAssignOf final : public TAssignNode {
public:
  explicit TAssignOf(TFuncExpr& call) : TAssignNode(call) {}
  void Eval(Variant& result) override { EvalNumber<Op>(result); }
};

// WHILE and REPEAT whose condition is a BOOLEAN constant or call, and FOR whose bounds are
// integers read without evaluating anything (constants, variables, integer operators over
// those) into an undefined or INTEGER variable; every body argument is a statement. The turns
// are those of the built-ins (Loops.h); a FOR whose bounds or variable are anything else
// takes the general call.
class TLoopNode final : public TFuncExpr {
public:
  enum class TKind : uint8_t { While, Repeat, For };
  TLoopNode(TFuncExpr& call, TKind kind);
  void Eval(Variant& result) override;
  std::string_view KindName() const override
  {
    return FLoop == TKind::While ? "while" : FLoop == TKind::Repeat ? "repeat" : "for";
  }

private:
  bool RunDirectly(Variant& result);

  TKind FLoop;
  TTruthWay FTruthWay;  // of a while or repeat condition
  // The body's statements: those of a block that is the whole body are run as the loop's
  // own, as the block would run them, without a call of the block at every turn.
  std::span<TExpr* const> FBody;
};

// What the operator and assignment nodes hold beyond the call node they replace: the
// compiler counts it in the tree's size.
inline constexpr size_t TypedNodeExtraBytes = sizeof(TOperatorNode) - sizeof(TFuncExpr);

}  // namespace quarn::script
