#pragma once
#include <algorithm>
#include <cstdint>
#include <limits>

namespace quarn::render {

// A rectangle of window pixels as GL counts them (origin at the bottom-left, y upwards, as
// glScissor takes them); the right and top edges excluded.
struct TScreenArea {
  int32_t X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;

  bool Empty() const { return X0 >= X1 || Y0 >= Y1; }
  // Larger than any window.
  static constexpr TScreenArea Everything()
  {
    constexpr int32_t far = std::numeric_limits<int32_t>::max() / 2;
    return {-far, -far, far, far};
  }
  // The smallest area holding both.
  TScreenArea United(const TScreenArea& other) const
  {
    if (Empty()) return other;
    if (other.Empty()) return *this;
    return {std::min(X0, other.X0), std::min(Y0, other.Y0), std::max(X1, other.X1),
            std::max(Y1, other.Y1)};
  }
  TScreenArea Crossed(const TScreenArea& other) const
  {
    return {std::max(X0, other.X0), std::max(Y0, other.Y0), std::min(X1, other.X1),
            std::min(Y1, other.Y1)};
  }
};

}  // namespace quarn::render
