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
// (a BOOLEAN constant or call).
class TBranchNode final : public TFuncExpr {
public:
  explicit TBranchNode(TFuncExpr& call);
  void Eval(Variant& result) override;
  std::string_view KindName() const override
  {
    return ArgCount() == 3 ? "if-else" : "if";
  }

private:
  bool FComparison;  // the condition is an IntegerComparison operator
};

// A two-operand operator. Operands that are constants or variables nothing evaluated after
// them can change are read in place; an integer operator whose operands are such, elements
// whose only index is such, or child integer operators over two of those, computes without
// variants when every operand read is an INTEGER. Otherwise, when the operands' kinds are ones its number pattern takes,
// computes the library's way directly; else the general call. Each operator is a class of its
// own (OperatorNode.cpp), whose integer way is compiled for that operator alone.
class TOperatorNode : public TFuncExpr {
public:
  TOperatorNode(TFuncExpr& call, TBinaryOperator op);
  std::string_view KindName() const override
  {
    return FIntegerTree ? "integer operator" : "operator";
  }
  // An operator whose integer value can be computed from operands read in place.
  bool IntegerValued() const;
  // A comparison whose truth can be computed from operands read in place.
  bool IntegerComparison() const;
  // An IntegerComparison node's truth, as its value would be, or false when an operand is not
  // an INTEGER; nothing is evaluated.
  bool IntegerTruth(bool& truth) const
  {
    int32_t a, b;
    return IntegerOperand(0, a) && IntegerOperand(1, b) && IntegerRelation(FOp, a, b, truth);
  }
  // An IntegerValued node's value, computed whole or not at all: false when an operand is not
  // an INTEGER.
  bool IntegerResult(int32_t& value) const
  {
    int32_t a, b;
    return LeafOperand(0, a) && LeafOperand(1, b) && IntegerArithmetic(FOp, a, b, value);
  }

protected:
  // Nothing is read but integers, so giving up leaves no trace. An operator cannot loop: it
  // takes no stop check of its own.
  template <TBinaryOperator Op>
  void EvalAs(Variant& result)
  {
    int32_t a, b;
    if (FIntegerTree && IntegerOperand(0, a) && IntegerOperand(1, b) &&
        IntegerOperator(Op, a, b, result)) {
      return;
    }
    EvalOperands(result);
  }

private:
  // How an operand's kind is known: from the tree alone (a constant, a call's declared
  // result), from a variable's current value, or from an array variable's element type.
  enum class TReady : uint8_t { Always, ValueKind, ElementKinds };
  void EvalOperands(Variant& result);
  // Operand index as an integer read in place: a constant, a variable or an element (a leaf),
  // or a child integer operator's value; false when it is not an INTEGER.
  bool LeafOperand(size_t index, int32_t& value) const
  {
    if (const Variant* slot = FSlots[index]) {
      value = slot->AsInteger();
      return slot->IsInteger();
    }
    const int32_t* element = static_cast<const TArrayExpr&>(*FArgs[index]).IntegerElementInPlace();
    if (!element) return false;
    value = *element;
    return true;
  }
  bool IntegerOperand(size_t index, int32_t& value) const
  {
    if ((FChildren >> index) & 1u)
      return static_cast<const TOperatorNode&>(*FArgs[index]).IntegerResult(value);
    return LeafOperand(index, value);
  }
  bool OperandsReady() const;
  bool OperateDirectly(Variant& result);
  uint32_t ReadyKinds() const;
  TType OperandKinds() const { return FIntegerOperands ? TypeInteger : TypeMult; }

  TBinaryOperator FOp;
  bool FIntegerOperands : 1;  // the number pattern takes integers only (div, mod)
  bool FIntegerTree : 1;
  uint8_t FInPlace : 2;  // bit i: operand i read in place
  uint8_t FChildren : 2;  // bit i: operand i is a child integer operator
  uint8_t FElements : 2;  // bit i: operand i is an element with its index read in place
  TReady FReady[2];
  // Where operand i's value is kept when it is a constant or a plain variable, else null:
  // the constant's value and the variable's live as long as the tree.
  const Variant* FSlots[2];
};

// SET of a variable or an element. The value is computed into the node's result and moved
// into a string variable; an integer operator's value into an INTEGER variable, or into an
// INTEGER array's element at an index read in place, is stored without a variant.
class TAssignNode final : public TFuncExpr {
public:
  explicit TAssignNode(TFuncExpr& call);
  void Eval(Variant& result) override;
  std::string_view KindName() const override
  {
    return FIntegerSource ? "integer assignment" : "assignment";
  }

private:
  void EvalAssign(Variant& result);
  bool AssignDirectly(Variant& result);

  bool FIntegerSource;
  // With an integer source: the variable's value (null for an element) and the source
  // operator; else null.
  Variant* FTarget = nullptr;
  const TOperatorNode* FSource = nullptr;
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
  bool FComparison;  // a while or repeat condition that is an IntegerComparison operator
  // The body's statements: those of a block that is the whole body are run as the loop's
  // own, as the block would run them, without a call of the block at every turn.
  std::span<TExpr* const> FBody;
};

// The operator node of an integer comparison, when condition is one; else null. Its truth is
// read without a variant where the condition is tested.
const TOperatorNode* IntegerComparisonOf(const TExpr& condition);

// What the operator and assignment nodes hold beyond the call node they replace: the
// compiler counts it in the tree's size.
inline constexpr size_t TypedNodeExtraBytes = sizeof(TOperatorNode) - sizeof(TFuncExpr);

}  // namespace quarn::script
