// Host commands declared by a table: one TFunc per entry, registered in table order.
#pragma once
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "script/Func.h"

namespace quarn::script {

// One host command: its declaration, the member of THost that runs it and, for commands a
// user looks up, a one-line description (the TFunc's Description).
template <class THost>
struct THostCommand {
  const char* Declaration;
  void (THost::*Handler)(const TArgList& args);
  const char* Description = nullptr;
};

// Owns the TFunc components of a command table; destroying it unregisters them. The registry
// must outlive it.
class THostCommands {
public:
  THostCommands() = default;

  // The registry lists the commands in table order, each calling its handler on `host`.
  template <class THost, std::size_t N>
  THostCommands(TFuncs& registry, THost& host, const THostCommand<THost> (&table)[N])
  {
    FComponents.reserve(N);
    for (const THostCommand<THost>& command : table)
      Add(registry, command.Declaration, command.Description,
          [&host, handler = command.Handler](TFunc&, const TArgList& args, Variant&) {
            (host.*handler)(args);
          });
  }

  // The components in table order.
  const std::vector<std::unique_ptr<TFunc>>& Components() const { return FComponents; }

private:
  void Add(TFuncs& registry, std::string_view declaration, const char* description,
           TOnEvalEvent onEval);

  std::vector<std::unique_ptr<TFunc>> FComponents;
};

}  // namespace quarn::script
