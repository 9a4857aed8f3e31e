#include "ScriptRunner.h"

#include <cstdio>
#include <cstdlib>

#include "script/Errors.h"

namespace quarn::script::test {

std::string PrintText(const Variant& value)
{
  switch (value.Kind()) {
    case TValueKind::Empty: return "";
    case TValueKind::Integer: return std::to_string(value.AsInteger());
    case TValueKind::Boolean: return value.AsBoolean() ? "True" : "False";
    case TValueKind::String: return value.AsString();
    case TValueKind::Float: {
      char buffer[40];
      for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value.AsFloat());
        if (std::strtod(buffer, nullptr) == value.AsFloat()) break;
      }
      return buffer;
    }
    case TValueKind::Array: return "<array>";
  }
  return "";
}

TScriptRunner::TScriptRunner()
{
  Print.SetDeclaration("Print(ALL OPEN);");
  Print.SetFuncs(&Funcs);
  Print.SetOnEval([this](TFunc&, const TArgList& args, Variant&) {
    for (int i = 0; i < args.Count(); ++i) {
      Variant value;
      args.Items(i)->Eval(value);
      if (i) Output += ' ';
      Output += PrintText(value);
    }
    Output += '\n';
  });
  Script.SetFunctions(&Funcs);
}

std::string TScriptRunner::Run(const std::string& text)
{
  Output.clear();
  Script.SetText(text);
  try {
    Script.Run();
  } catch (const EScriptError& error) {
    return Output + "ERROR: " + error.Message();
  } catch (const Exception& error) {
    return Output + "EXCEPTION: " + error.Message();
  }
  return Output;
}

}  // namespace quarn::script::test
