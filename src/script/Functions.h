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
  void AddPattern(TTypes pattern)
  {
    FPatterns.push_back(std::move(pattern));
    LastMatch.Count = TMatchCache::Unused;
    ++PatternsEpoch;
  }
  // Changes whenever any function gains a pattern: what call sites learnt about matching is
  // then stale. One number for all functions, so a call checks it without reading its function.
  static inline uint32_t PatternsEpoch = 1;

  // The last argument types matched and the outcome, so that a call site whose argument
  // types do not change skips the pattern search.
  struct TMatchCache {
    static constexpr size_t Capacity = 4;
    static constexpr size_t Unused = Capacity + 1;
    size_t Count = Unused;
    int Pattern = 0;
    TType Types[Capacity] = {};
    TType Actual[Capacity] = {};
  };
  TMatchCache LastMatch;

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

// The call procedure: stop check, argument types, pattern choice, argument preparation (every
// plain argument evaluated once, left to right, and passed as a constant node), the call, the
// result type check and the message pump. Steady-state calls do not allocate.
void CallFunction(TFunction& function, std::span<TExpr* const> args, Variant& result,
                  TRunState& state);

// What a call site learnt from matching its arguments: their types, the pattern they matched
// and how each is passed. While the types of its variable and element arguments stay the
// same, the site calls without matching again, and its value arguments are evaluated into
// constant nodes of its own. Steps, results and errors are those of CallFunction.
struct TCallPlan {
  bool Busy = false;  // a call through the plan is under way (a re-entered site calls generally)
  bool VariablesPassed = false;
  int Pattern = 0;
  uint32_t Epoch = 0;        // the patterns epoch planned in; 0 before the first plan
  std::vector<TType> Types;  // per argument
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

void CallPlannedGenerally(TFunction& function, std::span<TExpr* const> args, TCallPlan& plan,
                          Variant& result, TRunState& state);

// Raises the error of a function whose result is not of its declared type.
[[noreturn]] void RaiseResultType(const TFunction& function, const Variant& result);

inline void CheckResult(const TFunction& function, const Variant& result)
{
  if (result.IsInteger() && (function.ResultType() & TypeInteger)) return;  // the usual cases
  if (result.IsString() && (function.ResultType() & TypeString)) return;
  if (!(TypeOf(result) & function.ResultType() & TypeAll)) RaiseResultType(function, result);
}

// Whether what the plan learnt still holds: no function gained a pattern and no variable or
// element argument changed its type since.
inline bool PlanHolds(const TCallPlan& plan)
{
  if (plan.Epoch != TFunction::PatternsEpoch) return false;
  for (const TCallPlan::TChangeable& arg : plan.Changeable)
    if ((arg.Item->ValueType() | arg.Marks) != arg.Planned) return false;
  return true;
}

// The call itself, once the plan's arguments are ready: the result type check and the
// message pump after it.
inline void CallPrepared(TFunction& function, const TCallPlan& plan, size_t count,
                         Variant& result, TRunState& state)
{
  result.Clear();
  TArgList prepared(plan.Prepared.data(), static_cast<int>(count), state);
  prepared.SetVariablesAsValues(plan.VariablesPassed);
  function.Eval(plan.Pattern, prepared, result);
  CheckResult(function, result);
  state.PumpMessages();
}

// A call through a plan whose every argument is passed as it is (none is computed first),
// made inline in the node; any other call through the plan takes CallPlannedGenerally.
inline void CallPlanned(TFunction& function, std::span<TExpr* const> args, TCallPlan& plan,
                        Variant& result, TRunState& state)
{
  if (plan.Busy || !plan.Evaluated.empty() || !PlanHolds(plan))
    return CallPlannedGenerally(function, args, plan, result, state);
  state.CheckStop();
  struct TRelease {  // the prepared list is in use until the function returns
    TCallPlan& Plan;
    ~TRelease() { Plan.Busy = false; }
  } release{plan};
  plan.Busy = true;
  CallPrepared(function, plan, args.size(), result, state);
}

// Raises EStop when the application is terminating or the run was asked to stop.
inline void CheckStop(TRunState& state) { state.CheckStop(); }

}  // namespace quarn::script
