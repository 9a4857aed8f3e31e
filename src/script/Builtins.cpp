#include "script/Builtins.h"

#include "script/Library.h"

namespace quarn::script {

namespace {

constexpr TType V = TypeVar, A = TypeArray, F = TypeFunc, O = TypeOpen;
constexpr TType Void = TypeVoid, Bool = TypeBoolean, Int = TypeInteger, Flt = TypeFloat,
                Str = TypeString, All = TypeAll, Add = TypeAdd, Mult = TypeMult;

constexpr TBuiltinPattern P() { return {0, {}}; }
constexpr TBuiltinPattern P(TType a) { return {1, {a}}; }
constexpr TBuiltinPattern P(TType a, TType b) { return {2, {a, b}}; }
constexpr TBuiltinPattern P(TType a, TType b, TType c) { return {3, {a, b, c}}; }
constexpr TBuiltinPattern P(TType a, TType b, TType c, TType d) { return {4, {a, b, c, d}}; }
constexpr TBuiltinPattern P(TType a, TType b, TType c, TType d, TType e)
{
  return {5, {a, b, c, d, e}};
}

constexpr TBuiltinSpec B(std::string_view name, TType result, TEvalEntry eval, TBuiltinPattern p0)
{
  return {name, result, 1, {p0, {}, {}}, eval};
}
constexpr TBuiltinSpec B(std::string_view name, TType result, TEvalEntry eval, TBuiltinPattern p0,
                         TBuiltinPattern p1)
{
  return {name, result, 2, {p0, p1, {}}, eval};
}
constexpr TBuiltinSpec B(std::string_view name, TType result, TEvalEntry eval, TBuiltinPattern p0,
                         TBuiltinPattern p1, TBuiltinPattern p2)
{
  return {name, result, 3, {p0, p1, p2}, eval};
}

constexpr TBuiltinPattern Numbers = P(Mult, Mult), Strings = P(Str, Str), Booleans = P(Bool, Bool);

// Registration order is part of the registry's behaviour: keep it.
constexpr std::array<TBuiltinSpec, BuiltinCount> BuiltinTable = {{
    B("Script", Void, EvalBegin, P(F | All | O)),
    B("Begin", Void, EvalBegin, P(F | All | O)),
    B("Set", Void, EvalSet, P(V | All, All)),
    B("SetArray", Void, EvalSetArray, P(V | Void, Int, Int, Int | O),
      P(V | A | Int | Flt | Str | Bool, Int)),
    B("Type", Int, EvalType, P(V | All)),
    B("exit", Void, EvalExit, P()),
    B("break", Void, EvalBreak, P()),
    B("continue", Void, EvalContinue, P()),
    B("If", Void, EvalIf, P(Bool, F | All), P(Bool)),
    B("Else", Void, EvalIfElse, P(Bool, F | All, F | All), P(Bool, F | All)),
    B("While", Void, EvalWhile, P(F | Bool, F | All | O), P(Bool, F | All | O)),
    B("Repeat", Void, EvalRepeat, P(F | Bool, F | All | O), P(Bool, F | All | O)),
    B("For", Void, EvalFor, P(V | Void | Int, Int, Int, Int, F | All | O)),
    B(">", Bool, EvalGreater, Numbers, Strings, Booleans),
    B("<", Bool, EvalLess, Numbers, Strings, Booleans),
    B("=", Bool, EvalEqual, Numbers, Strings, Booleans),
    B("<>", Bool, EvalUnEqual, Numbers, Strings, Booleans),
    B(">=", Bool, EvalGreaterEqual, Numbers, Strings, Booleans),
    B("<=", Bool, EvalLessEqual, Numbers, Strings, Booleans),
    B("not", Bool, EvalNot, P(Bool)),
    B("and", Bool, EvalAnd, Booleans),
    B("or", Bool, EvalOr, Booleans),
    B("xor", Bool, EvalXor, Booleans),
    B("~", Mult, EvalNeg, P(Mult)),
    B("+", Add, EvalAdd, Numbers, Strings),
    B("-", Mult, EvalSub, Numbers),
    B("*", Mult, EvalMul, Numbers),
    B("/", Flt, EvalDivide, Numbers),
    B("div", Int, EvalDiv, P(Int, Int)),
    B("mod", Int, EvalMod, P(Int, Int)),
    B("inc", Void, EvalInc, P(V | Mult), P(V | Mult, Mult)),
    B("dec", Void, EvalDec, P(V | Mult), P(V | Mult, Mult)),
    B("Round", Int, EvalRound, P(Flt)),
    B("Trunc", Int, EvalTrunc, P(Flt)),
    B("Int", Flt, EvalInt, P(Flt)),
    B("Frac", Flt, EvalFrac, P(Flt)),
    B("length", Int, EvalLength, P(A | All), P(Str)),
    B("insert", Void, EvalInsert, P(Str, V | Str, Int)),
    B("delete", Void, EvalDelete, P(V | Str, Int, Int)),
    B("copy", Str, EvalCopy, P(Str, Int, Int)),
    B("pos", Int, EvalPos, Strings),
    B("StrToInt", Int, EvalStrToInt, P(Str)),
    B("IntToStr", Str, EvalIntToStr, P(Int)),
    B("format", Str, EvalFormat, P(Str, Add | O)),
    B("now", Flt, EvalNow, P()),
    B("formatdatetime", Str, EvalFormatDateTime, P(Str, Flt)),
    B("copyright", Str, EvalCopyright, P()),
}};

}  // namespace

std::span<const TBuiltinSpec> Builtins() { return BuiltinTable; }

TEvalEntry BuiltinEntry(const TFunction& function)
{
  const auto* builtin = dynamic_cast<const TBuiltinFunction*>(&function);
  return builtin ? builtin->Entry() : nullptr;
}

TBuiltinFunction::TBuiltinFunction(const TBuiltinSpec& spec)
    : TFunction(spec.Name, spec.Result), FEntry(spec.Eval)
{
  FReadsValuesOnly = true;
  for (int p = 0; p < spec.PatternCount; ++p) {
    const TBuiltinPattern& pattern = spec.Patterns[static_cast<size_t>(p)];
    AddPattern(TTypes(std::span<const TType>(pattern.Params.data(), pattern.Count)));
  }
}

}  // namespace quarn::script
