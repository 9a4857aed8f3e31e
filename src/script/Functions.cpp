#include "script/Functions.h"

#include <algorithm>

#include "script/Builtins.h"
#include "script/Errors.h"
#include "script/MemoryBudget.h"
#include "script/Host.h"

namespace quarn::script {

// ---- TFunction ----

TFunction::TFunction(std::string_view name, TType resultType)
    : FName(UpperCase(name)), FResultType(resultType)
{
}

TFunction::TFunction(std::string_view name, TType resultType,
                     std::initializer_list<TType> firstPattern)
    : TFunction(name, resultType)
{
  FPatterns.emplace_back(firstPattern);
}

// ---- TFuncs ----

TFuncs::TFuncs()
{
  const auto builtins = Builtins();
  FFunctions.reserve(builtins.size() + 16);
  for (const TBuiltinSpec& spec : builtins) Add(std::make_unique<TBuiltinFunction>(spec));
}

TFuncs::~TFuncs()
{
  // Listeners unlink themselves while being told, so work on a copy.
  const std::vector<TFuncsListener*> listeners = FListeners;
  for (TFuncsListener* listener : listeners) listener->FuncsDestroyed(*this);
}

TFunction& TFuncs::Add(std::unique_ptr<TFunction> function)
{
  if (Find(function->Name()))
    throw Exception(FormatMessage(msg::FunctionExists, function->Name().c_str()));
  function->FOwner = this;
  FFunctions.push_back(std::move(function));
  return *FFunctions.back();
}

std::unique_ptr<TFunction> TFuncs::Remove(TFunction& function)
{
  auto found = std::find_if(FFunctions.begin(), FFunctions.end(),
                            [&](const auto& f) { return f.get() == &function; });
  if (found == FFunctions.end()) return nullptr;
  std::unique_ptr<TFunction> removed = std::move(*found);
  FFunctions.erase(found);
  removed->FOwner = nullptr;
  ++FGeneration;
  return removed;
}

TFunction* TFuncs::Find(std::string_view name) const
{
  for (const auto& function : FFunctions)
    if (function->Name() == name) return function.get();
  return nullptr;
}

void TFuncs::AddListener(TFuncsListener& listener)
{
  if (std::find(FListeners.begin(), FListeners.end(), &listener) == FListeners.end())
    FListeners.push_back(&listener);
}

void TFuncs::RemoveListener(TFuncsListener& listener) { std::erase(FListeners, &listener); }

// ---- CallFunction ----

namespace {

// Temporaries holding more than this are released after the call instead of kept for reuse.
constexpr size_t MaxKeptStringCapacity = 64 * 1024;
// A call site keeps less: a script has many more sites than nesting depths.
constexpr size_t MaxPlanStringCapacity = 4 * 1024;

class TDepthGuard {
public:
  explicit TDepthGuard(size_t& depth) : FDepth(depth) { ++FDepth; }
  ~TDepthGuard() { --FDepth; }

private:
  size_t& FDepth;
};

void ReleaseTemps(TCallFrame& frame, size_t used)
{
  for (size_t i = 0; i < used; ++i) {
    Variant& value = frame.Temps[i]->MutableValue();
    if (value.IsArray() ||
        (value.IsString() && value.AsString().capacity() > MaxKeptStringCapacity))
      value = Variant();
  }
}

// The type word an argument is matched with: its value's type, marked VAR for a variable or
// element reference and FUNC for a call.
inline TType ArgumentType(const TExpr& arg)
{
  if (arg.NodeKind() == TExprKind::Var)  // the usual case, without a virtual call
    return static_cast<const TVarExpr&>(arg).Item().ValueType() | TypeVar;
  TType type = arg.GetType();
  switch (arg.NodeKind()) {
    case TExprKind::Array: type |= TypeArray | TypeVar; break;
    case TExprKind::Var: type |= TypeVar; break;
    case TExprKind::Func: type |= TypeFunc; break;
    case TExprKind::Const: break;
  }
  return type;
}

[[noreturn]] void RaisePatternMismatch(const TFunction& function, std::span<const TType> types)
{
  std::string patterns;
  for (size_t i = 0; i < function.Patterns().size(); ++i) {
    if (i) patterns += msg::PatternSeparator;
    patterns += function.Patterns()[i].ToString();
  }
  throw ERTE(FormatMessage(msg::PatternMismatch, TypesToString(types).c_str(), patterns.c_str(),
                           function.Name().c_str()));
}

// The pattern the argument types match (the function's cache first), with the type each
// parameter takes in actual; raises the pattern mismatch error.
int MatchArguments(TFunction& function, std::span<const TType> types, TType* actual)
{
  const size_t count = types.size();
  const std::vector<TTypes>& patterns = function.Patterns();
  int patternIndex = 0;
  TFunction::TMatchCache& cache = function.LastMatch;
  bool hit = cache.Count == count;
  for (size_t i = 0; hit && i < count; ++i) hit = types[i] == cache.Types[i];
  if (hit) {
    patternIndex = cache.Pattern;
    std::copy_n(cache.Actual, count, actual);
  } else {
    if (patterns.size() == 1) {
      patterns[0].CheckArgs(function.Name(), types, actual);
    } else {
      patternIndex = -1;
      for (size_t p = 0; p < patterns.size(); ++p)
        if (patterns[p].Matches(function.Name(), types, actual)) {
          patternIndex = static_cast<int>(p);
          break;
        }
      if (patternIndex < 0) RaisePatternMismatch(function, types);
    }
    if (count <= TFunction::TMatchCache::Capacity) {
      cache.Count = count;
      cache.Pattern = patternIndex;
      std::copy_n(types.begin(), count, cache.Types);
      std::copy_n(actual, count, cache.Actual);
    }
  }

  return patternIndex;
}

// A defined variable is passed in place when nothing can change it before the function has
// read it: the function only reads values and no later argument is computed. Returns the
// index from which variables may be passed in place (the count when none may).
size_t InPlaceFrom(const TFunction& function, std::span<TExpr* const> args, const TType* actual)
{
  const size_t count = args.size();
  bool inPlace = function.ReadsValuesOnly();
  for (size_t i = 0; inPlace && i < count; ++i) inPlace = !(actual[i] & (TypeVar | TypeFunc));
  size_t inPlaceFrom = count;
  if (inPlace)
    while (inPlaceFrom > 0 && (args[inPlaceFrom - 1]->NodeKind() == TExprKind::Const ||
                               args[inPlaceFrom - 1]->NodeKind() == TExprKind::Var))
      --inPlaceFrom;
  return inPlaceFrom;
}

// Whether an argument is passed as its own node: VAR and FUNC parameters, and constants.
bool PassedAsNode(const TExpr& arg, TType actual)
{
  return (actual & (TypeVar | TypeFunc)) || arg.NodeKind() == TExprKind::Const;
}

// Matches the arguments as they are now and records how each is passed.
void MakePlan(TFunction& function, std::span<TExpr* const> args, TCallPlan& plan)
{
  plan.Epoch = 0;
  for (const auto& temp : plan.Temps) temp->MutableValue() = Variant();  // none left behind
  const size_t count = args.size();
  plan.Types.resize(count);
  plan.Prepared.resize(count);
  plan.Changeable.clear();
  plan.Evaluated.clear();
  for (size_t i = 0; i < count; ++i) {
    plan.Types[i] = ArgumentType(*args[i]);
    const TExprKind kind = args[i]->NodeKind();
    if (kind == TExprKind::Var || kind == TExprKind::Array)
      plan.Changeable.push_back({&static_cast<const TVarExpr&>(*args[i]).Item(),
                                 kind == TExprKind::Var ? TypeVar : TypeArray | TypeVar,
                                 plan.Types[i]});
  }
  std::vector<TType> actual(count);
  plan.Pattern = MatchArguments(function, plan.Types, actual.data());
  const size_t inPlaceFrom = InPlaceFrom(function, args, actual.data());
  plan.VariablesPassed = false;
  size_t temps = 0;
  for (size_t i = 0; i < count; ++i) {
    TExpr* arg = args[i];
    if (PassedAsNode(*arg, actual[i])) {
      plan.Prepared[i] = arg;
    } else if (i >= inPlaceFrom && !(arg->GetType() & TypeVoid)) {
      plan.Prepared[i] = arg;
      plan.VariablesPassed = true;
    } else {
      if (plan.Temps.size() <= temps)
        plan.Temps.push_back(std::make_unique<TConstExpr>(Variant(), arg->Position()));
      plan.Temps[temps]->SetPosition(arg->Position());
      plan.Prepared[i] = plan.Temps[temps].get();
      plan.Evaluated.push_back(static_cast<uint32_t>(i));
      ++temps;
    }
  }
  plan.Epoch = TFunction::PatternsEpoch;
}

}  // namespace

void RaiseResultType(const TFunction& function, const Variant& result)
{
  throw ERTE(FormatMessage(msg::ReturnsType, function.Name().c_str(),
                           TypeName(TypeOf(result)).c_str(),
                           TypeName(function.ResultType()).c_str()));
}

void TRunState::PollStop()
{
  ChargeSteps(HostPollInterval);  // the checks since the last poll
  // Escape, a closed window and a termination signal reach the application as events: a
  // loop that makes no call pumps nowhere else.
  if (!FPumpedSincePoll) PumpMessages();
  FPumpedSincePoll = false;
  if (FStopRequested || ScriptHost().Terminating()) {
    FChecksToPoll = 1;  // every later check of this run stops too
    throw EStop();
  }
  FChecksToPoll = HostPollInterval;
}

void CallFunction(TFunction& function, std::span<TExpr* const> args, Variant& result,
                  TRunState& state)
{
  state.CheckStop();

  TCallFrame& frame = state.Frame(state.CallDepth);
  TDepthGuard depth(state.CallDepth);
  const size_t count = args.size();
  if (frame.Types.size() < count) {  // frames only grow: no per-call resizing
    frame.Types.resize(count);
    frame.Actual.resize(count);
    frame.Prepared.resize(count);
  }
  const std::span<const TType> types(frame.Types.data(), count);

  for (size_t i = 0; i < count; ++i) frame.Types[i] = ArgumentType(*args[i]);
  const int patternIndex = MatchArguments(function, types, frame.Actual.data());

  size_t temps = 0;
  struct TTempRelease {
    TCallFrame& Frame;
    size_t& Used;
    ~TTempRelease() { ReleaseTemps(Frame, Used); }
  } release{frame, temps};

  const size_t inPlaceFrom = InPlaceFrom(function, args, frame.Actual.data());
  bool variablesPassed = false;

  for (size_t i = 0; i < count; ++i) {
    TExpr* arg = args[i];
    if (PassedAsNode(*arg, frame.Actual[i])) {
      frame.Prepared[i] = arg;
      continue;
    }
    if (i >= inPlaceFrom && !(arg->GetType() & TypeVoid)) {
      frame.Prepared[i] = arg;
      variablesPassed = true;
      continue;
    }
    if (frame.Temps.size() <= temps)
      frame.Temps.push_back(std::make_unique<TConstExpr>(Variant(), arg->Position()));
    TConstExpr& temp = *frame.Temps[temps];
    ++temps;
    temp.SetPosition(arg->Position());
    arg->Eval(temp.MutableValue());
    if (state.PendingJump != TJump::None) return;
    frame.Prepared[i] = &temp;
  }

  result.Clear();
  TArgList prepared(frame.Prepared.data(), static_cast<int>(count), state);
  prepared.SetVariablesAsValues(variablesPassed);
  function.Eval(patternIndex, prepared, result);
  CheckResult(function, result);

  state.PumpMessages();
}

void CallPlannedGenerally(TFunction& function, std::span<TExpr* const> args, TCallPlan& plan,
                          Variant& result, TRunState& state)
{
  if (plan.Busy) {  // the site runs again inside its own call: its temporaries are in use
    CallFunction(function, args, result, state);
    return;
  }
  state.CheckStop();

  if (!PlanHolds(plan)) MakePlan(function, args, plan);

  struct TRelease {
    TCallPlan& Plan;
    ~TRelease()
    {
      Plan.Busy = false;
      for (size_t k = 0; k < Plan.Evaluated.size(); ++k) {
        Variant& value = Plan.Temps[k]->MutableValue();
        if (value.IsArray() ||
            (value.IsString() && value.AsString().capacity() > MaxPlanStringCapacity))
          value = Variant();
      }
    }
  } release{plan};
  plan.Busy = true;

  for (size_t k = 0; k < plan.Evaluated.size(); ++k) {
    args[plan.Evaluated[k]]->Eval(plan.Temps[k]->MutableValue());
    if (state.PendingJump != TJump::None) return;
  }
  CallPrepared(function, plan, args.size(), result, state);
}

}  // namespace quarn::script
