// The function object, the registry every script resolves names against, and the call
// procedure every call node goes through.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/Expr.h"
#include "script/RunState.h"
#include "script/Types.h"
#include "script/Value.h"

namespace quarn::script {

class TFuncs;

class TFunction {
public:
  TFunction(std::string_view name, TType resultType);
  TFunction(std::string_view name, TType resultType, std::initializer_list<TType> firstPattern);
  virtual ~TFunction() = default;
  TFunction(const TFunction&) = delete;
  TFunction& operator=(const TFunction&) = delete;

  // Performs the function. pattern is the index of the parameter pattern the arguments
  // matched; result is empty on entry.
  virtual void Eval(int pattern, const TArgList& args, Variant& result) = 0;

  TFuncs* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  TType ResultType() const { return FResultType; }
  const std::vector<TTypes>& Patterns() const { return FPatterns; }
  // A call plan made before the function gained a pattern is made again.
  void AddPattern(TTypes pattern) { FPatterns.push_back(std::move(pattern)); }

  // A built-in whose patterns without VAR or FUNC parameters read their arguments' values
  // and change nothing else: a variable argument may be read in place instead of copied.
  bool ReadsValuesOnly() const { return FReadsValuesOnly; }

protected:
  bool FReadsValuesOnly = false;

private:
  friend class TFuncs;
  TFuncs* FOwner = nullptr;
  std::string FName;
  TType FResultType;
  std::vector<TTypes> FPatterns;
};

// Told when a registry is destroyed (scripts and host function components link to one).
class TFuncsListener {
public:
  virtual void FuncsDestroyed(TFuncs& funcs) = 0;

protected:
  virtual ~TFuncsListener() = default;
};

class TFuncs {
public:
  // Registers the 47 built-in functions.
  TFuncs();
  ~TFuncs();
  TFuncs(const TFuncs&) = delete;
  TFuncs& operator=(const TFuncs&) = delete;

  // Raises Exception "A function with this name ("%s") is already existing" on a duplicate.
  TFunction& Add(std::unique_ptr<TFunction> function);
  // Takes the function out of the list and hands it back.
  std::unique_ptr<TFunction> Remove(TFunction& function);
  // Exact match on an upper-case name.
  TFunction* Find(std::string_view name) const;
  int Count() const { return static_cast<int>(FFunctions.size()); }
  TFunction& Function(int index) const { return *FFunctions[static_cast<size_t>(index)]; }

  // Changes whenever a function leaves the registry: a tree compiled against an older
  // generation may refer to a freed function and must be compiled again.
  uint32_t Generation() const { return FGeneration; }

  void AddListener(TFuncsListener& listener);
  void RemoveListener(TFuncsListener& listener);

private:
  std::vector<std::unique_ptr<TFunction>> FFunctions;
  std::vector<TFuncsListener*> FListeners;
  uint32_t FGeneration = 0;
};

// Temporaries that hold more than this many bytes (an argument's text, an assignment's
// computed text) are released after use instead of kept for the next call: a script has many
// call sites, and each keeps its own.
inline constexpr size_t MaxKeptTemporaryBytes = 4 * 1024;

// What a call site learnt from matching its arguments: their types, the pattern they matched
// and how each is passed. While it calls the same function with the same arguments and their
// variable and element arguments keep their types, the site calls without matching again,
// and its value arguments are evaluated into constant nodes of its own.
struct TCallPlan {
  bool Busy = false;  // a call through the plan is under way (a re-entered site plans per depth)
  bool VariablesPassed = false;
  int Pattern = 0;
  const TFunction* Function = nullptr;  // what the plan was made for; null before the first plan
  const TExpr* const* Args = nullptr;
  size_t PatternCount = 0;    // the function's patterns when planned
  std::vector<TType> Types;   // per argument
  std::vector<TType> Actual;  // the type each parameter takes
  // The variable and element arguments, whose type is read again at every call: the type
  // is the item's value type with Marks added.
  struct TChangeable {
    const TDataItem* Item;
    TType Marks;
    TType Planned;
  };
  std::vector<TChangeable> Changeable;
  std::vector<TExpr*> Prepared;                    // what the function is given
  std::vector<uint32_t> Evaluated;                 // the arguments computed into a constant node
  std::vector<std::unique_ptr<TConstExpr>> Temps;  // one per evaluated argument, in order
};

// A call without a site of its own (host code): planned in the run state's plan for its depth.
void CallFunction(TFunction& function, std::span<TExpr* const> args, Variant& result,
                  TRunState& state);

// The steps of CallPlanned that a call in the steady state skips.
// Matches the arguments as they are now and records how each is passed: as its own node (VAR
// and FUNC parameters, and constants), a variable read in place, or a value computed into
// one of the plan's constant nodes.
void MakePlan(TFunction& function, std::span<TExpr* const> args, TCallPlan& plan);
// Computes the plan's value arguments, left to right; false when one left a jump pending.
bool EvaluateArguments(std::span<TExpr* const> args, TCallPlan& plan, TRunState& state);
// Lets go of the arrays and large texts the value arguments computed.
void ReleaseTemporaries(TCallPlan& plan);

// Raises the error of a function whose result is not of its declared type.
[[noreturn]] void RaiseResultType(const TFunction& function, const Variant& result);

inline void CheckResult(const TFunction& function, const Variant& result)
{
  if (result.IsInteger() && (function.ResultType() & TypeInteger)) return;  // the usual cases
  if (result.IsString() && (function.ResultType() & TypeString)) return;
  if (!(TypeOf(result) & function.ResultType() & TypeAll)) RaiseResultType(function, result);
}

// Whether what the plan learnt still holds: the same function and arguments, no pattern
// added since, and no variable or element argument changed its type.
inline bool PlanHolds(const TCallPlan& plan, const TFunction& function,
                      std::span<TExpr* const> args)
{
  if (plan.Function != &function || plan.Args != args.data() ||
      plan.PatternCount != function.Patterns().size())
    return false;
  for (const TCallPlan::TChangeable& arg : plan.Changeable)
    if ((arg.Item->ValueType() | arg.Marks) != arg.Planned) return false;
  return true;
}

// The call procedure every call takes: stop check, argument types and pattern choice (when
// the plan no longer holds), argument preparation (every plain argument evaluated once, left
// to right, and passed as a constant node), the call, the result type check and the message
// pump. Steady-state calls do not allocate.
inline void CallPlanned(TFunction& function, std::span<TExpr* const> args, TCallPlan& plan,
                        Variant& result, TRunState& state)
{
  if (plan.Busy) {  // the site runs again inside its own call: its temporaries are in use
    CallFunction(function, args, result, state);
    return;
  }
  state.CheckStop();
  if (!PlanHolds(plan, function, args)) MakePlan(function, args, plan);
  struct TRelease {  // the prepared list is in use until the function returns
    TCallPlan& Plan;
    ~TRelease()
    {
      Plan.Busy = false;
      if (!Plan.Evaluated.empty()) ReleaseTemporaries(Plan);
    }
  } release{plan};
  plan.Busy = true;
  if (!plan.Evaluated.empty() && !EvaluateArguments(args, plan, state)) return;
  result.Clear();
  TArgList prepared(plan.Prepared.data(), static_cast<int>(args.size()), state);
  prepared.SetVariablesAsValues(plan.VariablesPassed);
  function.Eval(plan.Pattern, prepared, result);
  CheckResult(function, result);
  state.PumpMessages();
}

}  // namespace quarn::script
