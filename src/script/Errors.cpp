#include "script/Errors.h"

#include <cstdarg>
#include <cstdio>

namespace quarn::script {

std::string FormatMessage(const char* pattern, ...)
{
  char small[256];
  va_list args;
  va_start(args, pattern);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small, sizeof small, pattern, args);
  va_end(args);
  std::string result;
  if (length < 0) {
    result = pattern;
  } else if (static_cast<size_t>(length) < sizeof small) {
    result.assign(small, static_cast<size_t>(length));
  } else {
    result.resize(static_cast<size_t>(length));
    std::vsnprintf(result.data(), result.size() + 1, pattern, again);
  }
  va_end(again);
  return result;
}

// Concatenated rather than formatted: the text may hold a NUL (an invalid character quoted).
ESyntaxError::ESyntaxError(const std::string& text, int32_t position)
    : EScriptError("Syntaxerror: " + text + " [Position " + std::to_string(position) + "]",
                   position)
{
}

ERuntimeError::ERuntimeError(const std::string& text, int32_t position)
    : EScriptError("Runtimeerror: " + text + " [Position " + std::to_string(position) + "]",
                   position)
{
}

}  // namespace quarn::script
