// The built-in functions every registry starts with, as data in registration order.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "script/Functions.h"
#include "script/Types.h"

namespace quarn::script {

// What performs one built-in. self is the registered function (its Owner is the registry).
using TEvalEntry = void (*)(TFunction& self, int pattern, const TArgList& args, Variant& result);

inline constexpr int MaxBuiltinPatterns = 3;
inline constexpr int MaxBuiltinParams = 5;

struct TBuiltinPattern {
  uint8_t Count;
  std::array<TType, MaxBuiltinParams> Params;
};

struct TBuiltinSpec {
  std::string_view Name;
  TType Result;
  uint8_t PatternCount;
  std::array<TBuiltinPattern, MaxBuiltinPatterns> Patterns;
  TEvalEntry Eval;
};

inline constexpr int BuiltinCount = 47;

// The table, in registration order.
std::span<const TBuiltinSpec> Builtins();

// The registry's function for a built-in: forwards Eval to the table's entry.
class TBuiltinFunction : public TFunction {
public:
  explicit TBuiltinFunction(const TBuiltinSpec& spec);
  void Eval(int pattern, const TArgList& args, Variant& result) override
  {
    FEntry(*this, pattern, args, result);
  }
  TEvalEntry Entry() const { return FEntry; }

private:
  TEvalEntry FEntry;
};

// The built-in entry that performs a function; null for a function that is not a built-in.
TEvalEntry BuiltinEntry(const TFunction& function);

// What the statement built-ins and the statement nodes do alike.
// The truth of a condition value: matching guarantees a BOOLEAN (or a function declared to
// return one); other kinds count as true when non-zero.
inline bool Truth(const Variant& value)
{
  return value.IsBoolean() ? value.AsBoolean() : value.ToFloat() != 0.0;
}
// Evaluates the statements in order until one leaves a break or continue pending.
inline void RunSequence(std::span<TExpr* const> statements, TRunState& state, Variant& scratch)
{
  for (TExpr* statement : statements) {
    statement->Eval(scratch);
    if (state.PendingJump != TJump::None) return;
  }
}
// Evaluates then when truth holds, else otherwise (which may be null).
inline void RunBranch(bool truth, TExpr* then, TExpr* otherwise, Variant& scratch)
{
  if (truth)
    then->Eval(scratch);
  else if (otherwise)
    otherwise->Eval(scratch);
}

// Statement built-ins (blocks, assignment, arrays, branches, loops, control signals).
void EvalBegin(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalSet(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalSetArray(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalType(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalExit(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalBreak(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalContinue(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalIf(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalIfElse(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalWhile(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalRepeat(TFunction& self, int pattern, const TArgList& args, Variant& result);
void EvalFor(TFunction& self, int pattern, const TArgList& args, Variant& result);

}  // namespace quarn::script
