#include "script/Functions.h"

#include <algorithm>

#include "script/Builtins.h"
#include "script/Errors.h"
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

// ---- the call procedure ----

namespace {

class TDepthGuard {
public:
  explicit TDepthGuard(size_t& depth) : FDepth(depth) { ++FDepth; }
  ~TDepthGuard() { --FDepth; }

private:
  size_t& FDepth;
};

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

// The pattern the argument types match, with the type each parameter takes in actual; raises
// the pattern mismatch error.
int MatchArguments(const TFunction& function, std::span<const TType> types, TType* actual)
{
  const std::vector<TTypes>& patterns = function.Patterns();
  if (patterns.size() == 1) {
    patterns[0].CheckArgs(function.Name(), types, actual);
    return 0;
  }
  for (size_t p = 0; p < patterns.size(); ++p)
    if (patterns[p].Matches(function.Name(), types, actual)) return static_cast<int>(p);
  RaisePatternMismatch(function, types);
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

}  // namespace

void MakePlan(TFunction& function, std::span<TExpr* const> args, TCallPlan& plan)
{
  plan.Function = nullptr;
  for (const auto& temp : plan.Temps) temp->MutableValue() = Variant();  // none left behind
  const size_t count = args.size();
  plan.Types.resize(count);
  plan.Actual.resize(count);
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
  plan.Pattern = MatchArguments(function, plan.Types, plan.Actual.data());
  const size_t inPlaceFrom = InPlaceFrom(function, args, plan.Actual.data());
  plan.VariablesPassed = false;
  size_t temps = 0;
  for (size_t i = 0; i < count; ++i) {
    TExpr* arg = args[i];
    if ((plan.Actual[i] & (TypeVar | TypeFunc)) || arg->NodeKind() == TExprKind::Const) {
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
  plan.Function = &function;
  plan.Args = args.data();
  plan.PatternCount = function.Patterns().size();
}

void RaiseResultType(const TFunction& function, const Variant& result)
{
  throw ERTE(FormatMessage(msg::ReturnsType, function.Name().c_str(),
                           TypeName(TypeOf(result)).c_str(),
                           TypeName(function.ResultType()).c_str()));
}

bool EvaluateArguments(std::span<TExpr* const> args, TCallPlan& plan, TRunState& state)
{
  for (size_t k = 0; k < plan.Evaluated.size(); ++k) {
    args[plan.Evaluated[k]]->Eval(plan.Temps[k]->MutableValue());
    if (state.PendingJump != TJump::None) return false;
  }
  return true;
}

void ReleaseTemporaries(TCallPlan& plan)
{
  for (size_t k = 0; k < plan.Evaluated.size(); ++k) {
    Variant& value = plan.Temps[k]->MutableValue();
    if (value.IsArray() ||
        (value.IsString() && value.AsString().capacity() > MaxKeptTemporaryBytes))
      value = Variant();
  }
}

void CallFunction(TFunction& function, std::span<TExpr* const> args, Variant& result,
                  TRunState& state)
{
  TCallPlan& plan = state.DepthPlan(state.CallDepth);
  TDepthGuard depth(state.CallDepth);
  struct TForget {  // the arguments may be gone by the next call at this depth
    TCallPlan& Plan;
    ~TForget() { Plan.Function = nullptr; }
  } forget{plan};
  CallPlanned(function, args, plan, result, state);
}

}  // namespace quarn::script
