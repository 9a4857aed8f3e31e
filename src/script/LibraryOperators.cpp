// Comparison, logic and arithmetic built-ins, and the number functions.
#include "script/Errors.h"
#include "script/Expr.h"
#include "script/Library.h"
#include "script/Operators.h"
#include "script/TextValue.h"

namespace quarn::script {

namespace {

enum class TRelation { Greater, Less, Equal, UnEqual, GreaterEqual, LessEqual };

template <TRelation R, typename T>
bool Holds(const T& a, const T& b)
{
  if constexpr (R == TRelation::Greater)
    return a > b;
  else if constexpr (R == TRelation::Less)
    return a < b;
  else if constexpr (R == TRelation::Equal)
    return a == b;
  else if constexpr (R == TRelation::UnEqual)
    return a != b;
  else if constexpr (R == TRelation::GreaterEqual)
    return a >= b;
  else
    return a <= b;
}

// Strings compare byte by byte as unsigned characters (a prefix is the smaller), booleans
// false before true, and every other pairing of numbers as reals, exactly. Two integers are
// compared by IntegerOperator before.
template <TRelation R>
void Compare(const Variant& a, const Variant& b, Variant& result)
{
  if (a.IsString() && b.IsString()) {
    result.SetBoolean(Holds<R>(a.AsString().compare(b.AsString()), 0));
  } else if (a.IsBoolean() && b.IsBoolean()) {
    result.SetBoolean(Holds<R>(static_cast<int>(a.AsBoolean()), static_cast<int>(b.AsBoolean())));
  } else {
    result.SetBoolean(Holds<R>(a.ToFloat(), b.ToFloat()));
  }
}

void Apply(TBinaryOperator op, const TArgList& args, Variant& result)
{
  ApplyBinaryOperator(op, args.Value(0), args.Value(1), result);
}

double FloatOf(const Variant& v) { return v.IsFloat() ? v.AsFloat() : v.ToFloat(); }
int32_t IntegerOf(const Variant& v) { return v.IsInteger() ? v.AsInteger() : v.ToInteger(); }

// v := v + amount (or v - amount) with the value library's arithmetic, so an INTEGER
// variable that overflows receives a FLOAT and Assign reports the type clash.
void Step(const TArgList& args, int pattern, bool up)
{
  TExpr* node = args.Items(0);
  Variant value;
  node->Eval(value);
  if (args.State().PendingJump != TJump::None) return;
  const Variant one(static_cast<int32_t>(1));
  const Variant& amount = pattern == 0 ? one : args.Value(1);
  if (up)
    VarAdd(value, amount, value);
  else
    VarSub(value, amount, value);
  node->Assign(value);
}

}  // namespace

void EvalGreater(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::Greater, args, result);
}
void EvalLess(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::Less, args, result);
}
void EvalEqual(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::Equal, args, result);
}
void EvalUnEqual(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::UnEqual, args, result);
}
void EvalGreaterEqual(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::GreaterEqual, args, result);
}
void EvalLessEqual(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::LessEqual, args, result);
}

void EvalNot(TFunction&, int, const TArgList& args, Variant& result)
{
  result.SetBoolean(!ValueBoolean(args.Value(0)));
}
void EvalAnd(TFunction&, int, const TArgList& args, Variant& result)
{
  bool a = ValueBoolean(args.Value(0));
  bool b = ValueBoolean(args.Value(1));
  result.SetBoolean(a && b);
}
void EvalOr(TFunction&, int, const TArgList& args, Variant& result)
{
  bool a = ValueBoolean(args.Value(0));
  bool b = ValueBoolean(args.Value(1));
  result.SetBoolean(a || b);
}
void EvalXor(TFunction&, int, const TArgList& args, Variant& result)
{
  bool a = ValueBoolean(args.Value(0));
  bool b = ValueBoolean(args.Value(1));
  result.SetBoolean(a != b);
}

void EvalNeg(TFunction&, int, const TArgList& args, Variant& result)
{
  ApplyBinaryOperator(TBinaryOperator::Negate, args.Value(0), args.Value(0), result);
}

void EvalAdd(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::Add, args, result);
}

void EvalSub(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::Sub, args, result);
}

void EvalMul(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::Mul, args, result);
}

void EvalDivide(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::Divide, args, result);
}

void EvalDiv(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::Div, args, result);
}

void EvalMod(TFunction&, int, const TArgList& args, Variant& result)
{
  Apply(TBinaryOperator::Mod, args, result);
}

void EvalInc(TFunction&, int pattern, const TArgList& args, Variant&) { Step(args, pattern, true); }
void EvalDec(TFunction&, int pattern, const TArgList& args, Variant&)
{
  Step(args, pattern, false);
}

void EvalRound(TFunction&, int, const TArgList& args, Variant& result)
{
  result.SetInteger(RoundToInt(FloatOf(args.Value(0))));
}
void EvalTrunc(TFunction&, int, const TArgList& args, Variant& result)
{
  result.SetInteger(TruncToInt(FloatOf(args.Value(0))));
}
void EvalInt(TFunction&, int, const TArgList& args, Variant& result)
{
  result.SetFloat(IntPart(FloatOf(args.Value(0))));
}
void EvalFrac(TFunction&, int, const TArgList& args, Variant& result)
{
  result.SetFloat(FracPart(FloatOf(args.Value(0))));
}

namespace {

struct TOperatorEntry {
  TEvalEntry Entry;
  TBinaryOperator Op;
};

constexpr TOperatorEntry OperatorEntries[] = {
    {EvalAdd, TBinaryOperator::Add},
    {EvalSub, TBinaryOperator::Sub},
    {EvalMul, TBinaryOperator::Mul},
    {EvalDiv, TBinaryOperator::Div},
    {EvalMod, TBinaryOperator::Mod},
    {EvalGreater, TBinaryOperator::Greater},
    {EvalLess, TBinaryOperator::Less},
    {EvalEqual, TBinaryOperator::Equal},
    {EvalUnEqual, TBinaryOperator::UnEqual},
    {EvalGreaterEqual, TBinaryOperator::GreaterEqual},
    {EvalLessEqual, TBinaryOperator::LessEqual},
    {EvalDivide, TBinaryOperator::Divide},
    {EvalNeg, TBinaryOperator::Negate},
};

}  // namespace

bool FindBinaryOperator(TEvalEntry entry, TBinaryOperator& op)
{
  for (const TOperatorEntry& candidate : OperatorEntries)
    if (candidate.Entry == entry) {
      op = candidate.Op;
      return true;
    }
  return false;
}

void ApplyBinaryOperator(TBinaryOperator op, const Variant& a, const Variant& b, Variant& result)
{
  if (a.IsInteger() && b.IsInteger() && IntegerOperator(op, a.AsInteger(), b.AsInteger(), result))
    return;
  switch (op) {
    case TBinaryOperator::Add: VarAdd(a, b, result); break;
    case TBinaryOperator::Sub: VarSub(a, b, result); break;
    case TBinaryOperator::Mul: VarMul(a, b, result); break;
    case TBinaryOperator::Div: result.SetInteger(IntDiv(IntegerOf(a), IntegerOf(b))); break;
    case TBinaryOperator::Mod: result.SetInteger(IntMod(IntegerOf(a), IntegerOf(b))); break;
    case TBinaryOperator::Greater: Compare<TRelation::Greater>(a, b, result); break;
    case TBinaryOperator::Less: Compare<TRelation::Less>(a, b, result); break;
    case TBinaryOperator::Equal: Compare<TRelation::Equal>(a, b, result); break;
    case TBinaryOperator::UnEqual: Compare<TRelation::UnEqual>(a, b, result); break;
    case TBinaryOperator::GreaterEqual: Compare<TRelation::GreaterEqual>(a, b, result); break;
    case TBinaryOperator::LessEqual: Compare<TRelation::LessEqual>(a, b, result); break;
    case TBinaryOperator::Divide: result.SetFloat(FloatOf(a) / FloatOf(b)); break;
    case TBinaryOperator::Negate: result.SetFloat(-FloatOf(a)); break;  // of a, not an integer
  }
}

}  // namespace quarn::script
