#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quarn::shell {

// The start of the line a console dump ends with; by it an earlier dump is known.
inline constexpr std::string_view DumpLineStart = "Console dump at";

// Saves `lines`, each ended with CR LF, as the file `fileName`. A new file is created; an
// existing one is replaced only when it is a regular file the user may write and it is empty
// or an earlier dump, so a dump never destroys anything else. "" when saved, else the line
// that says why not (nothing was changed).
std::string SaveConsoleDump(const std::string& fileName, const std::vector<std::string>& lines);

}  // namespace quarn::shell
