// The compiled tree as text: one line per node, indented by its depth, with the node's kind,
// what it names or holds, and its place in the source text.
#pragma once

#include <string>
#include <string_view>

#include "script/Expr.h"

namespace quarn::script {

// Lines such as "  assignment SET 2:3" (kind, function or variable name or constant value,
// line:column when the node has a place in text), two spaces per level.
std::string DumpTree(const TExpr& root, std::string_view text);

}  // namespace quarn::script
