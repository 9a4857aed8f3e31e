// Integer and float arithmetic of the operator and number built-ins.
#pragma once

#include <cstdint>

namespace quarn::script {

// 32-bit two's complement arithmetic that wraps on overflow (2147483647 + 1 = -2147483648).
inline int32_t WrapAdd(int32_t a, int32_t b)
{
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b)
{
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b)
{
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t WrapNeg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }

[[noreturn]] void RaiseDivisionByZero();

// Truncating division and its remainder (sign of the dividend); a zero divisor raises
// Exception("Division by zero"). The one overflowing quotient, -2147483648 div -1, wraps to
// -2147483648 (remainder 0).
inline int32_t IntDiv(int32_t a, int32_t b)
{
  if (b == 0) RaiseDivisionByZero();
  if (b == -1) return WrapNeg(a);
  return a / b;
}
inline int32_t IntMod(int32_t a, int32_t b)
{
  if (b == 0) RaiseDivisionByZero();
  if (b == -1) return 0;
  return a % b;
}

// The two-operand operators on values.
enum class TBinaryOperator : uint8_t {
  Add,
  Sub,
  Mul,
  Div,
  Mod,
  Greater,
  Less,
  Equal,
  UnEqual,
  GreaterEqual,
  LessEqual,
  Divide,  // "/"
  Negate   // "~", unary minus: the one operator with one operand
};

// The operators whose value on two integers is an integer that needs no error: + - *,
// negation (of a) and mod by a positive divisor. False, value untouched, for the others.
inline bool IntegerArithmetic(TBinaryOperator op, int32_t a, int32_t b, int32_t& value)
{
  switch (op) {
    case TBinaryOperator::Add: value = WrapAdd(a, b); return true;
    case TBinaryOperator::Sub: value = WrapSub(a, b); return true;
    case TBinaryOperator::Mul: value = WrapMul(a, b); return true;
    case TBinaryOperator::Negate: value = WrapNeg(a); return true;
    case TBinaryOperator::Mod:
      if (b <= 0) return false;
      value = IntMod(a, b);
      return true;
    default: return false;
  }
}

// The comparisons on two integers; false, truth untouched, for the other operators.
inline bool IntegerRelation(TBinaryOperator op, int32_t a, int32_t b, bool& truth)
{
  switch (op) {
    case TBinaryOperator::Greater: truth = a > b; return true;
    case TBinaryOperator::Less: truth = a < b; return true;
    case TBinaryOperator::Equal: truth = a == b; return true;
    case TBinaryOperator::UnEqual: truth = a != b; return true;
    case TBinaryOperator::GreaterEqual: truth = a >= b; return true;
    case TBinaryOperator::LessEqual: truth = a <= b; return true;
    default: return false;
  }
}

// A number computed without a variant: an INTEGER or a FLOAT, as an operator's value. Unset
// until a value is given, IsFloat with it: the hot paths declare several and fill few.
struct TNumber {
  double Real;  // meaningful when IsFloat
  int32_t Int;  // when not
  bool IsFloat;
  double AsReal() const { return IsFloat ? Real : Int; }
};

// The operators on two reals: + - * "/" and negation (of x) are float operations; false,
// value untouched, for the others.
inline bool RealArithmetic(TBinaryOperator op, double x, double y, double& value)
{
  switch (op) {
    case TBinaryOperator::Add: value = x + y; return true;
    case TBinaryOperator::Sub: value = x - y; return true;
    case TBinaryOperator::Mul: value = x * y; return true;
    case TBinaryOperator::Divide: value = x / y; return true;
    case TBinaryOperator::Negate: value = -x; return true;
    default: return false;
  }
}

// The comparisons on two reals; false, truth untouched, for the other operators.
inline bool RealRelation(TBinaryOperator op, double x, double y, bool& truth)
{
  switch (op) {
    case TBinaryOperator::Greater: truth = x > y; return true;
    case TBinaryOperator::Less: truth = x < y; return true;
    case TBinaryOperator::Equal: truth = x == y; return true;
    case TBinaryOperator::UnEqual: truth = x != y; return true;
    case TBinaryOperator::GreaterEqual: truth = x >= y; return true;
    case TBinaryOperator::LessEqual: truth = x <= y; return true;
    default: return false;
  }
}

// The operators on two numbers as the built-ins compute them, for every pairing of INTEGER
// and FLOAT that needs no error: two integers as IntegerArithmetic, a FLOAT operand makes
// + - * a float operation, "/" is always one; div and mod take integers only, with a divisor
// that is not 0. False, value untouched, for the others.
inline bool NumberArithmetic(TBinaryOperator op, const TNumber& a, const TNumber& b, TNumber& value)
{
  if (!a.IsFloat && !b.IsFloat) {
    if (op == TBinaryOperator::Div) {
      if (b.Int == 0) return false;
      value.Int = IntDiv(a.Int, b.Int);
    } else if (op == TBinaryOperator::Divide) {
      value.Real = static_cast<double>(a.Int) / static_cast<double>(b.Int);
      value.IsFloat = true;
      return true;
    } else if (op == TBinaryOperator::Mod && b.Int < 0) {
      value.Int = IntMod(a.Int, b.Int);
    } else if (!IntegerArithmetic(op, a.Int, b.Int, value.Int)) {
      return false;
    }
    value.IsFloat = false;
    return true;
  }
  if (!RealArithmetic(op, a.AsReal(), b.AsReal(), value.Real)) return false;
  value.IsFloat = true;
  return true;
}

// The comparisons on two numbers: integers as integers, any other pairing as reals, exactly.
inline bool NumberRelation(TBinaryOperator op, const TNumber& a, const TNumber& b, bool& truth)
{
  if (!a.IsFloat && !b.IsFloat) return IntegerRelation(op, a.Int, b.Int, truth);
  return RealRelation(op, a.AsReal(), b.AsReal(), truth);
}

// Nearest integer, ties to even, taken as a 64-bit integer of which the low 32 bits are the
// result. NaN, infinities and values beyond the 64-bit range raise
// Exception("Invalid floating point operation").
int32_t RoundToInt(double value);
// Toward zero, otherwise as RoundToInt.
int32_t TruncToInt(double value);

// Integer part toward zero and the rest, both keeping the sign of the value.
double IntPart(double value);
double FracPart(double value);

}  // namespace quarn::script
