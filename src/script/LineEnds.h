#pragma once
#include <string>
#include <string_view>

namespace quarn::script {

// `text` with every line end (CR LF, CR or LF) made CR LF, and one after the last line: the
// form a script's text takes, since a `//` comment runs to the next CR.
std::string CrLfLines(std::string_view text);

}  // namespace quarn::script
