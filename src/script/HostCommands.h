// Host commands declared by a table: one TFunc per entry, registered in table order.
#pragma once
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "script/Func.h"

namespace quarn::script {

// One host command: its declaration and the member of THost that runs it.
template <class THost>
struct THostCommand {
  const char* Declaration;
  void (THost::*Handler)(const TArgList& args);
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
      Add(registry, command.Declaration,
          [&host, handler = command.Handler](TFunc&, const TArgList& args, Variant&) {
            (host.*handler)(args);
          });
  }

private:
  void Add(TFuncs& registry, std::string_view declaration, TOnEvalEvent onEval);

  std::vector<std::unique_ptr<TFunc>> FComponents;
};

}  // namespace quarn::script
