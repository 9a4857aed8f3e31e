#pragma once
#include <cstdint>

namespace quarn::render {

// Positions, rotation angles in degrees, scales and camera vectors. Only x, y and z enter any
// computation; w is carried along (1 when made by Vector).
struct TVector {
  float x = 0, y = 0, z = 0, w = 0;
};

inline TVector Vector(float x, float y, float z) { return TVector{x, y, z, 1.0f}; }

// A + (B - A) * t on x, y and z, computed in extended precision and stored as floats; w is A's.
inline TVector LerpVector(const TVector& a, const TVector& b, float t)
{
  using Wide = long double;
  const Wide k = t;
  return TVector{static_cast<float>(a.x + (Wide(b.x) - a.x) * k),
                 static_cast<float>(a.y + (Wide(b.y) - a.y) * k),
                 static_cast<float>(a.z + (Wide(b.z) - a.z) * k), a.w};
}

// Four bytes in one 32-bit value, r in the lowest byte.
inline constexpr uint32_t PackColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
  return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16 | uint32_t(a) << 24;
}

}  // namespace quarn::render
