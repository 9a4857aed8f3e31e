// Compiles and runs arbitrary text. A host stops the run after a budget of calls, so endless
// loops end with "Script stopped."; every outcome must be a script error or a plain Exception.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/Errors.h"
#include "script/Func.h"
#include "script/Host.h"
#include "script/Script.h"

namespace {

class TBudgetHost : public quarn::script::TScriptHost {
public:
  bool Terminating() override { return ++FChecks > Budget; }
  void Reset() { FChecks = 0; }
  static constexpr long Budget = 20000;

private:
  long FChecks = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace quarn::script;
  if (size > 4096) return 0;
  static TBudgetHost host;
  static TFuncs funcs;
  static TFunc print;
  if (!print.Funcs()) {
    print.SetDeclaration("Print(ALL OPEN);");
    print.SetFuncs(&funcs);
    print.SetOnEval([](TFunc&, const TArgList& args, Variant&) {
      Variant value;
      for (int i = 0; i < args.Count(); ++i) args.Items(i)->Eval(value);
    });
  }
  host.Reset();
  SetScriptHost(&host);
  TScript script;
  script.SetFunctions(&funcs);
  script.AddConstant("LIMIT", Variant(10));
  script.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    script.Run();
    script.Run();  // a second run reuses the tree with fresh variables
  } catch (const Exception&) {
  }
  SetScriptHost(nullptr);
  return 0;
}
