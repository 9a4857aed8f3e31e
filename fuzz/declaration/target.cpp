// Reads arbitrary bytes as a host function declaration and registers the result.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/Errors.h"
#include "script/Func.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace quarn::script;
  static TFuncs funcs;
  TFunc func;
  try {
    func.SetDeclaration(std::string_view(reinterpret_cast<const char*>(data), size));
    func.SetFuncs(&funcs);
    for (const TTypes& pattern : func.Patterns()) (void)pattern.ToString();
    (void)TypeName(func.ResultType());
  } catch (const Exception&) {
  }
  return 0;
}
