#pragma once
#include <cstdint>

namespace quarn::bots {

// A pose of a keyframe model: keyframe Current blended from keyframe Previous (-1: none) by
// Fraction, the weight of Current.
struct TPose {
  int32_t Previous = -1;
  int32_t Current = 0;
  float Fraction = 0;
};

}  // namespace quarn::bots
