// Where in a script's text an error happened, in the form editors jump to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarn::script {

// The line and column (both from 1) of a script error's 1-based position in its source text,
// lines ending at CR LF, a lone CR or a lone LF; {0, 0} when the position is not in the text
// (host errors carry 0, nodes made without a token -1).
struct TSourcePlace {
  int32_t Line = 0;
  int32_t Column = 0;
};
TSourcePlace SourcePlace(std::string_view text, int32_t position);

// "NAME:LINE:COLUMN: " to put before a message, or "NAME: " when the place is unknown.
std::string SourcePrefix(std::string_view name, TSourcePlace place);

}  // namespace quarn::script
