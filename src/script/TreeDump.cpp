#include "script/TreeDump.h"

#include <unordered_map>
#include <vector>

#include "script/FormatFloat.h"
#include "script/Functions.h"
#include "script/SourcePlace.h"

namespace quarn::script {

namespace {

// A constant as the language writes it: strings quoted, booleans as words.
std::string ConstantText(const Variant& value)
{
  switch (value.Kind()) {
    case TValueKind::Empty: return "empty";
    case TValueKind::Integer: return std::to_string(value.AsInteger());
    case TValueKind::Float: return ShortestFloatText(value.AsFloat());
    case TValueKind::Boolean: return value.AsBoolean() ? "TRUE" : "FALSE";
    case TValueKind::String: return "'" + value.AsString() + "'";
    case TValueKind::Array: return "array";
  }
  return std::string();
}

}  // namespace

// Walked with a list of nodes still to write rather than by recursion: the tree may be
// thousands of levels high.
std::string DumpTree(const TExpr& root, std::string_view text,
                     std::span<const TDataItem* const> items)
{
  std::unordered_map<const TDataItem*, size_t> slots;
  for (size_t i = 0; i < items.size(); ++i) slots.emplace(items[i], i);
  std::string out;
  std::vector<std::pair<const TExpr*, size_t>> pending{{&root, 0}};
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    out.append(2 * depth, ' ');
    out += node->KindName();
    out += ' ';
    out += node->NodeKind() == TExprKind::Const
               ? ConstantText(static_cast<const TConstExpr&>(*node).Value())
               : node->Name();
    if (node->NodeKind() == TExprKind::Var || node->NodeKind() == TExprKind::Array) {
      const auto slot = slots.find(&static_cast<const TVarExpr&>(*node).Item());
      if (slot != slots.end()) out += " @" + std::to_string(slot->second);
    }
    const TSourcePlace place = SourcePlace(text, node->Position());
    if (place.Line > 0)
      out += ' ' + std::to_string(place.Line) + ':' + std::to_string(place.Column);
    out += '\n';
    if (node->NodeKind() == TExprKind::Func) {
      const std::span<TExpr* const> args = static_cast<const TFuncExpr&>(*node).Args();
      for (size_t i = args.size(); i-- > 0;) pending.emplace_back(args[i], depth + 1);
    } else if (node->NodeKind() == TExprKind::Array) {
      const auto& element = static_cast<const TArrayExpr&>(*node);
      for (int i = element.IndexCount(); i-- > 0;)
        pending.emplace_back(&element.Index(i), depth + 1);
    }
  }
  return out;
}

}  // namespace quarn::script
