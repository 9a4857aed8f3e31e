#include "script/HostCommands.h"

namespace quarn::script {

void THostCommands::Add(TFuncs& registry, std::string_view declaration, TOnEvalEvent onEval)
{
  auto func = std::make_unique<TFunc>();
  func->SetDeclaration(declaration);
  func->SetFuncs(&registry);
  func->SetOnEval(std::move(onEval));
  FComponents.push_back(std::move(func));
}

}  // namespace quarn::script
