// Reading a host function's arguments: evaluate argument `index` of the list and convert it
// to the kind the handler needs. Conversion failures raise the engine's own errors.
#pragma once
#include <cstdint>
#include <string>

#include "script/Expr.h"
#include "script/TextValue.h"

namespace quarn::script {

inline Variant ArgValue(const TArgList& args, int index)
{
  Variant value;
  args.Items(index)->Eval(value);
  return value;
}

inline std::string ArgText(const TArgList& args, int index)
{
  return ValueText(ArgValue(args, index));
}
inline bool ArgBoolean(const TArgList& args, int index)
{
  return ValueBoolean(ArgValue(args, index));
}
inline int32_t ArgInteger(const TArgList& args, int index)
{
  return ArgValue(args, index).ToInteger();
}

}  // namespace quarn::script
