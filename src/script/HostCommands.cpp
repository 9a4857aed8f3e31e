#include "script/HostCommands.h"

namespace quarn::script {

void THostCommands::Add(TFuncs& registry, std::string_view declaration, const char* description,
                        TOnEvalEvent onEval)
{
  auto func = std::make_unique<TFunc>();
  func->SetDeclaration(declaration);
  if (description != nullptr) func->Description = description;
  func->SetFuncs(&registry);
  func->SetOnEval(std::move(onEval));
  FComponents.push_back(std::move(func));
}

}  // namespace quarn::script
