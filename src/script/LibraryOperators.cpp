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

// Integers compare as integers, strings byte by byte as unsigned characters (a prefix is the
// smaller), booleans false before true, and every other pairing of numbers as reals, exactly.
template <TRelation R>
void Compare(const Variant& a, const Variant& b, Variant& result)
{
  if (a.IsInteger() && b.IsInteger()) {
    result.SetBoolean(Holds<R>(a.AsInteger(), b.AsInteger()));
  } else if (a.IsString() && b.IsString()) {
    result.SetBoolean(Holds<R>(a.AsString().compare(b.AsString()), 0));
  } else if (a.IsBoolean() && b.IsBoolean()) {
    result.SetBoolean(Holds<R>(static_cast<int>(a.AsBoolean()), static_cast<int>(b.AsBoolean())));
  } else {
    result.SetBoolean(Holds<R>(a.ToFloat(), b.ToFloat()));
  }
}

template <TRelation R>
void Compare(const TArgList& args, Variant& result)
{
  Compare<R>(args.Value(0), args.Value(1), result);
}

void AddValues(const Variant& a, const Variant& b, Variant& result)
{
  if (a.IsInteger() && b.IsInteger())
    result.SetInteger(WrapAdd(a.AsInteger(), b.AsInteger()));
  else
    VarAdd(a, b, result);
}
void SubValues(const Variant& a, const Variant& b, Variant& result)
{
  if (a.IsInteger() && b.IsInteger())
    result.SetInteger(WrapSub(a.AsInteger(), b.AsInteger()));
  else
    VarSub(a, b, result);
}
void MulValues(const Variant& a, const Variant& b, Variant& result)
{
  if (a.IsInteger() && b.IsInteger())
    result.SetInteger(WrapMul(a.AsInteger(), b.AsInteger()));
  else
    VarMul(a, b, result);
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
  Compare<TRelation::Greater>(args, result);
}
void EvalLess(TFunction&, int, const TArgList& args, Variant& result)
{
  Compare<TRelation::Less>(args, result);
}
void EvalEqual(TFunction&, int, const TArgList& args, Variant& result)
{
  Compare<TRelation::Equal>(args, result);
}
void EvalUnEqual(TFunction&, int, const TArgList& args, Variant& result)
{
  Compare<TRelation::UnEqual>(args, result);
}
void EvalGreaterEqual(TFunction&, int, const TArgList& args, Variant& result)
{
  Compare<TRelation::GreaterEqual>(args, result);
}
void EvalLessEqual(TFunction&, int, const TArgList& args, Variant& result)
{
  Compare<TRelation::LessEqual>(args, result);
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
  const Variant& a = args.Value(0);
  if (a.IsInteger())
    result.SetInteger(WrapNeg(a.AsInteger()));
  else
    result.SetFloat(-FloatOf(a));
}

void EvalAdd(TFunction&, int, const TArgList& args, Variant& result)
{
  AddValues(args.Value(0), args.Value(1), result);
}

void EvalSub(TFunction&, int, const TArgList& args, Variant& result)
{
  SubValues(args.Value(0), args.Value(1), result);
}

void EvalMul(TFunction&, int, const TArgList& args, Variant& result)
{
  MulValues(args.Value(0), args.Value(1), result);
}

void EvalDivide(TFunction&, int, const TArgList& args, Variant& result)
{
  result.SetFloat(FloatOf(args.Value(0)) / FloatOf(args.Value(1)));
}

void EvalDiv(TFunction&, int, const TArgList& args, Variant& result)
{
  result.SetInteger(IntDiv(IntegerOf(args.Value(0)), IntegerOf(args.Value(1))));
}

void EvalMod(TFunction&, int, const TArgList& args, Variant& result)
{
  result.SetInteger(IntMod(IntegerOf(args.Value(0)), IntegerOf(args.Value(1))));
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

struct TOperatorName {
  std::string_view Name;
  TBinaryOperator Op;
};

constexpr TOperatorName OperatorNames[] = {
    {"+", TBinaryOperator::Add},        {"-", TBinaryOperator::Sub},
    {"*", TBinaryOperator::Mul},        {"DIV", TBinaryOperator::Div},
    {"MOD", TBinaryOperator::Mod},      {">", TBinaryOperator::Greater},
    {"<", TBinaryOperator::Less},       {"=", TBinaryOperator::Equal},
    {"<>", TBinaryOperator::UnEqual},   {">=", TBinaryOperator::GreaterEqual},
    {"<=", TBinaryOperator::LessEqual},
};

}  // namespace

bool FindBinaryOperator(std::string_view name, TBinaryOperator& op)
{
  for (const TOperatorName& entry : OperatorNames)
    if (entry.Name == name) {
      op = entry.Op;
      return true;
    }
  return false;
}

void ApplyBinaryOperator(TBinaryOperator op, const Variant& a, const Variant& b, Variant& result)
{
  switch (op) {
    case TBinaryOperator::Add: AddValues(a, b, result); break;
    case TBinaryOperator::Sub: SubValues(a, b, result); break;
    case TBinaryOperator::Mul: MulValues(a, b, result); break;
    case TBinaryOperator::Div: result.SetInteger(IntDiv(IntegerOf(a), IntegerOf(b))); break;
    case TBinaryOperator::Mod: result.SetInteger(IntMod(IntegerOf(a), IntegerOf(b))); break;
    case TBinaryOperator::Greater: Compare<TRelation::Greater>(a, b, result); break;
    case TBinaryOperator::Less: Compare<TRelation::Less>(a, b, result); break;
    case TBinaryOperator::Equal: Compare<TRelation::Equal>(a, b, result); break;
    case TBinaryOperator::UnEqual: Compare<TRelation::UnEqual>(a, b, result); break;
    case TBinaryOperator::GreaterEqual: Compare<TRelation::GreaterEqual>(a, b, result); break;
    case TBinaryOperator::LessEqual: Compare<TRelation::LessEqual>(a, b, result); break;
  }
}

}  // namespace quarn::script
