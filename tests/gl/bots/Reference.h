#pragma once
// The fixed-function transforms computed here from their textbook definitions, in double
// precision and independently of GL and GLU, to check what the code under test loads.
#include <array>
#include <cmath>

namespace quarn::test {

// Column-major like GL: element (row r, column c) at [c * 4 + r].
using TMatrix = std::array<double, 16>;

inline TMatrix Identity()
{
  TMatrix m{};
  m[0] = m[5] = m[10] = m[15] = 1;
  return m;
}

inline TMatrix Multiply(const TMatrix& a, const TMatrix& b)
{
  TMatrix r{};
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row)
      for (int k = 0; k < 4; ++k) r[c * 4 + row] += a[k * 4 + row] * b[c * 4 + k];
  return r;
}

inline TMatrix Rotation(double degrees, double x, double y, double z)
{
  const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
  const double n = std::sqrt(x * x + y * y + z * z);
  x /= n, y /= n, z /= n;
  TMatrix m = Identity();
  m[0] = x * x * (1 - c) + c, m[4] = x * y * (1 - c) - z * s, m[8] = x * z * (1 - c) + y * s;
  m[1] = y * x * (1 - c) + z * s, m[5] = y * y * (1 - c) + c, m[9] = y * z * (1 - c) - x * s;
  m[2] = x * z * (1 - c) - y * s, m[6] = y * z * (1 - c) + x * s, m[10] = z * z * (1 - c) + c;
  return m;
}

inline TMatrix Translation(double x, double y, double z)
{
  TMatrix m = Identity();
  m[12] = x, m[13] = y, m[14] = z;
  return m;
}

inline TMatrix Scaling(double x, double y, double z)
{
  TMatrix m = Identity();
  m[0] = x, m[5] = y, m[10] = z;
  return m;
}

inline TMatrix LookAt(const double (&eye)[3], const double (&center)[3], const double (&up)[3])
{
  double f[3] = {center[0] - eye[0], center[1] - eye[1], center[2] - eye[2]};
  const double fn = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
  for (double& v : f) v /= fn;
  double s[3] = {f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2],
                 f[0] * up[1] - f[1] * up[0]};
  const double sn = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
  for (double& v : s) v /= sn;
  const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2],
                       s[0] * f[1] - s[1] * f[0]};
  TMatrix m = Identity();
  for (int i = 0; i < 3; ++i) m[i * 4 + 0] = s[i], m[i * 4 + 1] = u[i], m[i * 4 + 2] = -f[i];
  return Multiply(m, Translation(-eye[0], -eye[1], -eye[2]));
}

inline TMatrix Perspective(double fovY, double aspect, double zNear, double zFar)
{
  const double f = 1 / std::tan(fovY * M_PI / 360);
  TMatrix m{};
  m[0] = f / aspect;
  m[5] = f;
  m[10] = (zFar + zNear) / (zNear - zFar);
  m[11] = -1;
  m[14] = 2 * zFar * zNear / (zNear - zFar);
  return m;
}

// Window coordinates (x right, y up from the bottom row) of a point.
inline std::array<double, 2> Project(const TMatrix& projection, const TMatrix& modelView,
                                     const double (&p)[3], int width, int height)
{
  const TMatrix m = Multiply(projection, modelView);
  double clip[4];
  for (int r = 0; r < 4; ++r) clip[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
  return {(clip[0] / clip[3] + 1) / 2 * width, (clip[1] / clip[3] + 1) / 2 * height};
}

}  // namespace quarn::test
