// Host functions declared by text ("LoadBot(string);") and evaluated through events.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "script/Functions.h"

namespace quarn::script {

class TFunc;

using TOnEvalEvent = std::function<void(TFunc& sender, const TArgList& args, Variant& result)>;
using TOnExEvalEvent =
    std::function<void(TFunc& sender, int pattern, const TArgList& args, Variant& result)>;

// The function a TFunc registers on its behalf; forwards Eval to the component's event.
class TCompFunction : public TFunction {
public:
  TCompFunction(std::string_view name, TType resultType, TFunc& component)
      : TFunction(name, resultType), Component(&component)
  {
  }
  void Eval(int pattern, const TArgList& args, Variant& result) override;

  TOnEvalEvent OnEval;
  TOnExEvalEvent OnExEval;
  TFunc* Component;
};

// The declaration language: Name ["(" params ")" {"," "(" params ")"}] [":" [ARRAY] types] [";"]
// where a parameter is [VAR | FUNC] [ARRAY] typename {typename} [OPEN]. The host's order is:
// set the declaration, then the registry, then the event.
class TFunc : private TFuncsListener {
public:
  TFunc() = default;
  ~TFunc();
  TFunc(const TFunc&) = delete;
  TFunc& operator=(const TFunc&) = delete;

  const std::string& Declaration() const { return FDeclaration; }
  // Reads the text at once; raises ESyntaxError at the offending token, or Exception
  // "Invalid expression for declaration" for an empty text.
  void SetDeclaration(std::string_view text);

  std::string Description;

  TFuncs* Funcs() const { return FFuncs; }
  // (Re)registers the declared function; raises when the registry already has the name.
  void SetFuncs(TFuncs* registry);

  const TOnEvalEvent& OnEval() const { return FOnEval; }
  const TOnExEvalEvent& OnExEval() const { return FOnExEval; }
  void SetOnEval(TOnEvalEvent event);      // clears OnExEval
  void SetOnExEval(TOnExEvalEvent event);  // clears OnEval

  const std::string& Name() const { return FName; }
  TType ResultType() const { return FResultType; }
  const std::vector<TTypes>& Patterns() const { return FPatterns; }
  TCompFunction* Function() const { return FFunction; }

private:
  void FuncsDestroyed(TFuncs& funcs) override;
  void Unlink();

  std::string FDeclaration;
  std::string FName;
  TType FResultType = TypeVoid;
  std::vector<TTypes> FPatterns;
  TFuncs* FFuncs = nullptr;
  TCompFunction* FFunction = nullptr;  // owned by FFuncs while registered
  TOnEvalEvent FOnEval;
  TOnExEvalEvent FOnExEval;
};

}  // namespace quarn::script
