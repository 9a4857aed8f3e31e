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

}  // namespace

void TRunState::PollStop()
{
  ChargeSteps(HostPollInterval);  // the checks since the last poll
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

  for (size_t i = 0; i < count; ++i) {
    const TExpr& arg = *args[i];
    TType type = arg.GetType();
    switch (arg.NodeKind()) {
      case TExprKind::Array: type |= TypeArray | TypeVar; break;
      case TExprKind::Var: type |= TypeVar; break;
      case TExprKind::Func: type |= TypeFunc; break;
      case TExprKind::Const: break;
    }
    frame.Types[i] = type;
  }

  const std::vector<TTypes>& patterns = function.Patterns();
  int patternIndex = 0;
  TFunction::TMatchCache& cache = function.LastMatch;
  bool hit = cache.Count == count;
  for (size_t i = 0; hit && i < count; ++i) hit = types[i] == cache.Types[i];
  if (hit) {
    patternIndex = cache.Pattern;
    std::copy_n(cache.Actual, count, frame.Actual.data());
  } else {
    if (patterns.size() == 1) {
      patterns[0].CheckArgs(function.Name(), types, frame.Actual.data());
    } else {
      patternIndex = -1;
      for (size_t p = 0; p < patterns.size(); ++p)
        if (patterns[p].Matches(function.Name(), types, frame.Actual.data())) {
          patternIndex = static_cast<int>(p);
          break;
        }
      if (patternIndex < 0) RaisePatternMismatch(function, types);
    }
    if (count <= TFunction::TMatchCache::Capacity) {
      cache.Count = count;
      cache.Pattern = patternIndex;
      std::copy_n(types.begin(), count, cache.Types);
      std::copy_n(frame.Actual.data(), count, cache.Actual);
    }
  }

  size_t temps = 0;
  struct TTempRelease {
    TCallFrame& Frame;
    size_t& Used;
    ~TTempRelease() { ReleaseTemps(Frame, Used); }
  } release{frame, temps};

  // A defined variable is passed in place when nothing can change it before the function
  // has read it: the function only reads values and no later argument is computed.
  bool inPlace = function.ReadsValuesOnly();
  for (size_t i = 0; inPlace && i < count; ++i) inPlace = !(frame.Actual[i] & (TypeVar | TypeFunc));
  size_t inPlaceFrom = count;  // the variables from here on
  if (inPlace)
    while (inPlaceFrom > 0 && (args[inPlaceFrom - 1]->NodeKind() == TExprKind::Const ||
                               args[inPlaceFrom - 1]->NodeKind() == TExprKind::Var))
      --inPlaceFrom;
  bool variablesPassed = false;

  for (size_t i = 0; i < count; ++i) {
    TExpr* arg = args[i];
    if ((frame.Actual[i] & (TypeVar | TypeFunc)) || arg->NodeKind() == TExprKind::Const) {
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
  if (!(TypeOf(result) & function.ResultType() & TypeAll))
    throw ERTE(FormatMessage(msg::ReturnsType, function.Name().c_str(),
                             TypeName(TypeOf(result)).c_str(),
                             TypeName(function.ResultType()).c_str()));

  state.PumpMessages();
}

}  // namespace quarn::script
