// The compiled tree as text: one line per node, indented by its depth, with the node's kind,
// what it names or holds, and its place in the source text.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "script/Expr.h"

namespace quarn::script {

// Lines such as "  assignment SET 2:3" (kind, function or variable name or constant value,
// line:column when the node has a place in text), two spaces per level. A variable or element
// of one of items (the script's data items: its frame) shows the item's slot there,
// "variable X @2": the node reads and writes that item, found while compiling.
std::string DumpTree(const TExpr& root, std::string_view text,
                     std::span<const TDataItem* const> items = {});

}  // namespace quarn::script
