#include "script/LineEnds.h"

namespace quarn::script {

std::string CrLfLines(std::string_view text)
{
  std::string result;
  result.reserve(text.size() + text.size() / 16 + 2);
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      result.append(text.substr(start)).append("\r\n");
      break;
    }
    result.append(text.substr(start, end - start)).append("\r\n");
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return result;
}

}  // namespace quarn::script
