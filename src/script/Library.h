// The operator and library built-ins: one evaluation entry per built-in, called by the
// registry's built-in functions with the pattern that matched and the prepared arguments.
#pragma once

#include "script/Builtins.h"
#include "script/Operators.h"

namespace quarn::script {

// Comparisons and logic.
void EvalGreater(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalLess(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalEqual(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalUnEqual(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalGreaterEqual(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalLessEqual(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalNot(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalAnd(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalOr(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalXor(TFunction& self, int pattern, const TArgList& args, Variant& result);

// Arithmetic ("~" is unary minus, Divide "/", Div "div").
void EvalNeg(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalAdd(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalSub(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalMul(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalDivide(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalDiv(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalMod(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalInc(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalDec(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalRound(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalTrunc(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalInt(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalFrac(TFunction& self, int pattern, const TArgList& args, Variant& result);

// The two-operand operators on values, as their built-ins compute them from prepared
// arguments of the first pattern (numbers): one procedure for the built-ins and the operator
// nodes. Integers are taken by IntegerOperator first.
// The operator of a built-in's entry (EvalAdd, EvalDiv, EvalLessEqual, ...); false for any
// other entry.
bool FindBinaryOperator(TEvalEntry entry, TBinaryOperator& op);
void ApplyBinaryOperator(TBinaryOperator op, const Variant& a, const Variant& b, Variant& result);

// An operator on two integers that needs no error, into result; false, result untouched, for
// div and for mod by a divisor that is not positive.
inline bool IntegerOperator(TBinaryOperator op, int32_t a, int32_t b, Variant& result)
{
  int32_t value;
  bool truth;
  if (IntegerArithmetic(op, a, b, value)) {
    result.SetInteger(value);
    return true;
  }
  if (IntegerRelation(op, a, b, truth)) {
    result.SetBoolean(truth);
    return true;
  }
  return false;
}

// Strings, conversions, format, dates.
void EvalLength(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalInsert(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalDelete(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalCopy(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalPos(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalStrToInt(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalIntToStr(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalFormat(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalNow(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalFormatDateTime(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalCopyright(TFunction& self, int pattern, const TArgList& args, Variant& result);

}  // namespace quarn::script
