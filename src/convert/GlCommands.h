#pragma once
#include <cstdint>
#include <vector>

#include "bots/MD2Writer.h"

namespace quarn::convert {

// The model's triangles as the format's GL command list, for engines that draw from it: each
// command is a count (positive: a triangle strip, negative: a fan) and that many vertices of
// three words (s and t as floats in 0..1 of the skin, then the vertex index); a zero ends the
// list. Built greedily: from each triangle not yet drawn, the longest strip or fan of triangles
// not yet drawn, every triangle once, wound as the triangle list winds it.
std::vector<int32_t> BuildGlCommands(const bots::TMD2Content& content);

}  // namespace quarn::convert
