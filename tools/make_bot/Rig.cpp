#include "Rig.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

namespace quarn::tools::make_bot {

namespace {

float Radians(float degrees) { return degrees * std::numbers::pi_v<float> / 180.0f; }

TVec3 Add(TVec3 a, TVec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
float Length(TVec3 a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

constexpr int Padding = 2;  // skin pixels around every cell, painted too, against bleeding

}  // namespace

TVec3 TTransform::Apply(TVec3 p) const
{
  return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + t.x,
          m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + t.y,
          m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + t.z};
}

TTransform TTransform::operator*(const TTransform& inner) const
{
  TTransform r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      r.m[i][j] = m[i][0] * inner.m[0][j] + m[i][1] * inner.m[1][j] + m[i][2] * inner.m[2][j];
  r.t = Apply(inner.t);
  return r;
}

TTransform Translate(float x, float y, float z)
{
  TTransform r;
  r.t = {x, y, z};
  return r;
}

TTransform RotateX(float degrees)
{
  const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
  TTransform r;
  r.m = {{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
  return r;
}

TTransform RotateY(float degrees)
{
  const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
  TTransform r;
  r.m = {{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
  return r;
}

TTransform RotateZ(float degrees)
{
  const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
  TTransform r;
  r.m = {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
  return r;
}

TPose Lerp(const TPose& a, const TPose& b, float t)
{
  TPose r;
  for (size_t i = 0; i < r.size(); ++i) r[i] = a[i] + (b[i] - a[i]) * t;
  return r;
}

std::array<TTransform, JointCount> PoseJoints(const TPose& p)
{
  std::array<TTransform, JointCount> j;
  j[Pelvis] = Translate(p[RootX], p[RootY], p[RootZ]) * RotateZ(p[RootYaw]) *
              RotateY(p[RootPitch]) * RotateX(p[RootRoll]);
  j[Torso] = j[Pelvis] * Translate(0, 0, 2) * RotateZ(p[TorsoYaw]) * RotateY(p[TorsoPitch]) *
             RotateX(p[TorsoRoll]);
  j[Head] = j[Torso] * Translate(0, 0, 16) * RotateZ(p[HeadYaw]) * RotateY(p[HeadPitch]) *
            RotateX(p[HeadRoll]);
  j[ArmL] = j[Torso] * Translate(0, 10, 13.5f) * RotateX(p[ArmRaiseL]) * RotateY(-p[ArmSwingL]) *
            RotateZ(p[ArmTwistL]);
  j[ForearmL] = j[ArmL] * Translate(0, 0, -9) * RotateY(-p[ElbowL]);
  j[ArmR] = j[Torso] * Translate(0, -10, 13.5f) * RotateX(-p[ArmRaiseR]) * RotateY(-p[ArmSwingR]) *
            RotateZ(-p[ArmTwistR]);
  j[ForearmR] = j[ArmR] * Translate(0, 0, -9) * RotateY(-p[ElbowR]);
  j[ThighL] = j[Pelvis] * Translate(0, 3.6f, -3) * RotateX(p[LegSpreadL]) * RotateY(-p[LegSwingL]);
  j[ShinL] = j[ThighL] * Translate(0, 0, -9) * RotateY(p[KneeL]);
  j[FootL] = j[ShinL] * Translate(0, 0, -9) * RotateY(p[LegSwingL] - p[KneeL] + p[ToeL]);
  j[ThighR] =
      j[Pelvis] * Translate(0, -3.6f, -3) * RotateX(-p[LegSpreadR]) * RotateY(-p[LegSwingR]);
  j[ShinR] = j[ThighR] * Translate(0, 0, -9) * RotateY(p[KneeR]);
  j[FootR] = j[ShinR] * Translate(0, 0, -9) * RotateY(p[LegSwingR] - p[KneeR] + p[ToeR]);
  return j;
}

TMesh::TMesh(int skinWidth, int skinHeight, int pixelsPerUnit)
    : FSkinWidth(skinWidth), FSkinHeight(skinHeight), FDensity(pixelsPerUnit)
{
}

TRect TMesh::Allocate(int w, int h)
{
  w = std::max(w, 2);
  h = std::max(h, 2);
  if (FShelfX + w + 2 * Padding > FSkinWidth) {
    FShelfX = 0;
    FShelfY += FShelfH;
    FShelfH = 0;
  }
  const TRect r{FShelfX + Padding, FShelfY + Padding, w, h};
  FShelfX += w + 2 * Padding;
  FShelfH = std::max(FShelfH, h + 2 * Padding);
  if (FShelfY + FShelfH > FSkinHeight) {
    std::fprintf(stderr, "make_bot: the skin is too small for the mesh\n");
    std::exit(1);
  }
  return r;
}

int16_t TMesh::Corner(TJoint joint, TVec3 p)
{
  for (size_t i = 0; i < FVertices.size(); ++i) {
    const auto& [j, q] = FVertices[i];
    if (j == joint && q.x == p.x && q.y == p.y && q.z == p.z) return static_cast<int16_t>(i);
  }
  FVertices.emplace_back(joint, p);
  return static_cast<int16_t>(FVertices.size() - 1);
}

int16_t TMesh::TexCoord(float s, float t)
{
  FTexCoords.push_back(
      {static_cast<int16_t>(std::lround(s)), static_cast<int16_t>(std::lround(t))});
  return static_cast<int16_t>(FTexCoords.size() - 1);
}

void TMesh::Quad(const int16_t (&v)[4], const TRect& cell)
{
  const int16_t t[4] = {TexCoord(float(cell.x), float(cell.y)),
                        TexCoord(float(cell.x + cell.w), float(cell.y)),
                        TexCoord(float(cell.x + cell.w), float(cell.y + cell.h)),
                        TexCoord(float(cell.x), float(cell.y + cell.h))};
  FTriangles.push_back({{v[0], v[2], v[1]}, {t[0], t[2], t[1]}});
  FTriangles.push_back({{v[0], v[3], v[2]}, {t[0], t[3], t[2]}});
}

void TMesh::Box(TJoint joint, TVec3 l, TVec3 h, TLook look)
{
  struct TFace {
    TVec3 Origin, U, V;
  };
  const float dx = h.x - l.x, dy = h.y - l.y, dz = h.z - l.z;
  // Each face runs u to the viewer's right and v up, so u x v points out of the box; cells are
  // painted with v = 0 (the lower skin row) at the bottom edge of the face.
  const TFace faces[6] = {
      {{h.x, l.y, l.z}, {0, dy, 0}, {0, 0, dz}},    // front
      {{l.x, h.y, l.z}, {0, -dy, 0}, {0, 0, dz}},   // back
      {{h.x, h.y, l.z}, {-dx, 0, 0}, {0, 0, dz}},   // left
      {{l.x, l.y, l.z}, {dx, 0, 0}, {0, 0, dz}},    // right
      {{l.x, h.y, h.z}, {0, -dy, 0}, {dx, 0, 0}},   // top: v forward
      {{h.x, h.y, l.z}, {0, -dy, 0}, {-dx, 0, 0}},  // bottom
  };
  for (int side = 0; side < 6; ++side) {
    const TFace& f = faces[side];
    const int16_t v[4] = {Corner(joint, f.Origin), Corner(joint, Add(f.Origin, f.U)),
                          Corner(joint, Add(Add(f.Origin, f.U), f.V)),
                          Corner(joint, Add(f.Origin, f.V))};
    const TRect cell = Allocate(int(std::lround(Length(f.U) * float(FDensity))),
                                int(std::lround(Length(f.V) * float(FDensity))));
    FCells.push_back({cell, look, side});
    Quad(v, cell);
  }
}

void TMesh::Prism(TJoint joint, float x, float y, float z0, float z1, float r, int sides,
                  TLook look)
{
  const float step = 2 * std::numbers::pi_v<float> / float(sides);
  auto rim = [&](int i, float z) {
    const float a = step * (float(i) + 0.5f);
    return Corner(joint, {x + r * std::cos(a), y + r * std::sin(a), z});
  };
  const float edge = 2 * r * std::sin(step / 2);
  const TRect wrap = Allocate(int(std::lround(edge * float(sides * FDensity))),
                              int(std::lround((z1 - z0) * float(FDensity))));
  FCells.push_back({wrap, look, 6});
  for (int i = 0; i < sides; ++i) {
    const int16_t v[4] = {rim(i, z0), rim(i + 1, z0), rim(i + 1, z1), rim(i, z1)};
    TRect slice = wrap;
    slice.x = wrap.x + wrap.w * i / sides;
    slice.w = wrap.x + wrap.w * (i + 1) / sides - slice.x;
    Quad(v, slice);
  }
  const TRect cap = Allocate(int(std::lround(2 * r * float(FDensity))),
                             int(std::lround(2 * r * float(FDensity))));
  FCells.push_back({cap, look, 4});
  auto capCoord = [&](int i) {
    const float a = step * (float(i) + 0.5f);
    return TexCoord(float(cap.x) + float(cap.w) * (0.5f + 0.5f * std::cos(a)),
                    float(cap.y) + float(cap.h) * (0.5f + 0.5f * std::sin(a)));
  };
  // Clockwise seen from outside: the top cap from above, the bottom one from below.
  for (int i = 1; i + 1 < sides; ++i) {
    FTriangles.push_back(
        {{rim(0, z1), rim(i + 1, z1), rim(i, z1)}, {capCoord(0), capCoord(i + 1), capCoord(i)}});
    FTriangles.push_back(
        {{rim(0, z0), rim(i, z0), rim(i + 1, z0)}, {capCoord(0), capCoord(i), capCoord(i + 1)}});
  }
}

std::vector<render::TVector> TMesh::Posed(const TPose& pose) const
{
  // Standing on z = 0 and facing -x: towards the demo's camera before the user turns it.
  const TTransform placement = Translate(0, 0, 24) * RotateZ(180);
  const auto joints = PoseJoints(pose);
  std::vector<render::TVector> out;
  out.reserve(FVertices.size());
  for (const auto& [joint, p] : FVertices) {
    const TVec3 q = (placement * joints[joint]).Apply(p);
    out.push_back(render::Vector(q.x, q.y, q.z));
  }
  return out;
}

bots::TMD2Content TMesh::Content(const std::vector<TPose>& frames,
                                 const std::vector<std::string>& names,
                                 const std::string& skinName) const
{
  bots::TMD2Content c;
  c.SkinWidth = FSkinWidth;
  c.SkinHeight = FSkinHeight;
  c.SkinNames = {skinName};
  c.TexCoords = FTexCoords;
  c.Triangles = FTriangles;
  for (size_t f = 0; f < frames.size(); ++f)
    c.Frames.push_back(bots::QuantizeFrame(Posed(frames[f]), f < names.size() ? names[f] : ""));
  return c;
}

TMesh BuildBody()
{
  TMesh m(512, 512, 4);
  m.Box(Pelvis, {-4, -6.5f, -4.5f}, {4, 6.5f, 1.5f}, TLook::DarkSteel);
  m.Box(Torso, {-3.5f, -5, -1}, {3.5f, 5, 5}, TLook::Joint);  // abdomen
  m.Box(Torso, {-5, -8, 5}, {5.5f, 8, 16}, TLook::Chest);     // chest
  m.Box(Torso, {-8.5f, -5.5f, 6.5f}, {-5, 5.5f, 15}, TLook::Backpack);
  m.Prism(Head, 0, 0, -0.5f, 2.2f, 2, 8, TLook::Joint);  // neck
  m.Box(Head, {-4.5f, -4.5f, 2}, {5, 4.5f, 10.5f}, TLook::Visor);
  m.Box(Head, {-1.5f, 2.6f, 10.5f}, {-0.5f, 3.4f, 14.5f}, TLook::DarkSteel);  // antenna
  m.Box(Head, {-2, 2.2f, 14.5f}, {0, 3.8f, 16}, TLook::Antenna);
  for (TJoint arm : {ArmL, ArmR}) {
    m.Box(arm, {-3.2f, -3.2f, -2.5f}, {3.2f, 3.2f, 2.5f}, TLook::Orange);  // shoulder pad
    m.Prism(arm, 0, 0, -9, -2.5f, 1.9f, 8, TLook::Steel);
  }
  for (TJoint forearm : {ForearmL, ForearmR}) {
    m.Box(forearm, {-2.1f, -2.1f, -8}, {2.1f, 2.1f, 0.5f}, TLook::Steel);
    m.Box(forearm, {-1.6f, -1.6f, -11}, {2.2f, 1.6f, -8}, TLook::Rubber);  // hand
  }
  for (TJoint thigh : {ThighL, ThighR}) m.Prism(thigh, 0, 0, -9, 0.5f, 2.5f, 8, TLook::Steel);
  for (TJoint shin : {ShinL, ShinR}) {
    m.Box(shin, {-2.7f, -2.7f, -9}, {2.7f, 2.7f, 0}, TLook::Steel);
    m.Box(shin, {2.2f, -2, -2.5f}, {3.6f, 2, 2}, TLook::Orange);  // knee guard
  }
  for (TJoint foot : {FootL, FootR}) m.Box(foot, {-3.2f, -3, -3}, {6.5f, 3, 0}, TLook::Rubber);
  return m;
}

TMesh BuildGun()
{
  // Held in the right hand (hand at z -11..-8 of the forearm), barrel along the forearm.
  TMesh m(128, 128, 3);
  m.Box(ForearmR, {-2.6f, -2.3f, -15}, {3.2f, 2.3f, -6.5f}, TLook::GunBody);
  m.Prism(ForearmR, 0.3f, 0, -24, -15, 1.3f, 8, TLook::GunBarrel);
  m.Box(ForearmR, {-1.5f, -1.8f, -25.5f}, {2.1f, 1.8f, -23}, TLook::GunBody);  // muzzle
  m.Box(ForearmR, {3.2f, -0.9f, -19}, {4.8f, 0.9f, -8}, TLook::GunBarrel);     // rail
  m.Box(ForearmR, {-4.4f, -1.6f, -13.5f}, {-2.6f, 1.6f, -7.5f}, TLook::GunCell);
  return m;
}

}  // namespace quarn::tools::make_bot
