// Tokenizes arbitrary bytes: every input ends in tokens or one syntax error.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/Errors.h"
#include "script/Tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace quarn::script;
  TTokenizer tokenizer(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    while (tokenizer.HasToken()) {
      tokenizer.PeekIs(TTokenKind::Identifier);
      tokenizer.Advance();
    }
  } catch (const ESyntaxError& error) {
    if (error.Position() < 1 || static_cast<size_t>(error.Position()) > size + 1) __builtin_trap();
  }
  return 0;
}
