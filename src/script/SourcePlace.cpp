#include "script/SourcePlace.h"

namespace quarn::script {

TSourcePlace SourcePlace(std::string_view text, int32_t position)
{
  // One past the end is where errors at the end of the text point.
  if (position < 1 || size_t(position) > text.size() + 1) return {};
  TSourcePlace place{1, 1};
  for (size_t i = 0; i + 1 < size_t(position); ++i) {
    const char c = text[i];
    if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      ++place.Line;
      place.Column = 1;
    } else if (c != '\r') {
      ++place.Column;
    }
  }
  return place;
}

std::string SourcePrefix(std::string_view name, TSourcePlace place)
{
  std::string prefix(name);
  if (place.Line > 0)
    prefix += ":" + std::to_string(place.Line) + ":" + std::to_string(place.Column);
  return prefix + ": ";
}

}  // namespace quarn::script
