#pragma once
// The demo robot as jointed boxes and prisms: its skeleton, its poses, and the meshes that are
// posed into MD2 frames. Rig coordinates: x forward, y to the robot's left, z up, feet at
// z = -24; the frames written turn it to face -x and lift it to stand on z = 0.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bots/MD2Writer.h"

namespace quarn::tools::make_bot {

struct TVec3 {
  float x = 0, y = 0, z = 0;
};

// A rotation and a translation: p' = m * p + t.
struct TTransform {
  std::array<std::array<float, 3>, 3> m{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  TVec3 t;
  TVec3 Apply(TVec3 p) const;
  TTransform operator*(const TTransform& inner) const;  // inner acts first
};

TTransform Translate(float x, float y, float z);
TTransform RotateX(float degrees);
TTransform RotateY(float degrees);  // positive tips +z towards +x
TTransform RotateZ(float degrees);

// Every angle of a pose, in degrees, and the root's offset in model units.
enum TParam {
  RootX,
  RootY,
  RootZ,
  RootPitch,
  RootRoll,
  RootYaw,
  TorsoPitch,
  TorsoYaw,
  TorsoRoll,
  HeadPitch,
  HeadYaw,
  HeadRoll,
  ArmSwingL,
  ArmRaiseL,
  ArmTwistL,
  ElbowL,  // swing > 0 forward, raise > 0 outward
  ArmSwingR,
  ArmRaiseR,
  ArmTwistR,
  ElbowR,  // elbow > 0 bends the forearm forward
  LegSwingL,
  LegSpreadL,
  KneeL,
  ToeL,  // knee > 0 bends the shin back
  LegSwingR,
  LegSpreadR,
  KneeR,
  ToeR,  // feet stay level; toe > 0 points them down
  ParamCount
};
using TPose = std::array<float, ParamCount>;

TPose Lerp(const TPose& a, const TPose& b, float t);

enum TJoint {
  Pelvis,
  Torso,
  Head,
  ArmL,
  ForearmL,
  ArmR,
  ForearmR,
  ThighL,
  ShinL,
  FootL,
  ThighR,
  ShinR,
  FootR,
  JointCount
};

// World placement of every joint for a pose.
std::array<TTransform, JointCount> PoseJoints(const TPose& pose);

// Where on the skin a face is painted, and how.
enum class TLook {
  Steel,
  DarkSteel,
  Orange,
  Visor,
  Chest,
  Backpack,
  Joint,
  Rubber,
  Antenna,
  GunBody,
  GunBarrel,
  GunCell
};

struct TRect {
  int x = 0, y = 0, w = 0, h = 0;  // skin pixels; y is the row (t)
};

struct TFaceCell {
  TRect Cell;
  TLook Look;
  int Side;  // 0 front (+x), 1 back, 2 left (+y), 3 right, 4 top, 5 bottom, 6 prism wrap
};

// A mesh being built: vertices in joint space, triangles and texture coordinates, and the
// skin cells its faces use.
class TMesh {
public:
  TMesh(int skinWidth, int skinHeight, int pixelsPerUnit);

  void Box(TJoint joint, TVec3 low, TVec3 high, TLook look);
  // A prism of `sides` faces around the z axis of the joint, radius r, from z0 to z1.
  void Prism(TJoint joint, float x, float y, float z0, float z1, float r, int sides, TLook look);

  // Positions of every vertex for a pose.
  std::vector<render::TVector> Posed(const TPose& pose) const;
  // The model in the given poses, each frame recording its name.
  bots::TMD2Content Content(const std::vector<TPose>& frames,
                            const std::vector<std::string>& names,
                            const std::string& skinName) const;
  const std::vector<TFaceCell>& Cells() const { return FCells; }
  size_t TriangleCount() const { return FTriangles.size(); }

private:
  TRect Allocate(int w, int h);
  int16_t Corner(TJoint joint, TVec3 p);
  int16_t TexCoord(float s, float t);
  // Two triangles over the quad a b c d (counter-clockwise seen from outside) mapped onto cell,
  // each clockwise seen from outside, as the format's faces are.
  void Quad(const int16_t (&v)[4], const TRect& cell);

  int FSkinWidth, FSkinHeight, FDensity;
  int FShelfX = 0, FShelfY = 0, FShelfH = 0;
  std::vector<std::pair<TJoint, TVec3>> FVertices;
  std::vector<std::array<int16_t, 2>> FTexCoords;
  std::vector<bots::TMD2Triangle> FTriangles;
  std::vector<TFaceCell> FCells;
};

// The robot's body and the gun in its right hand, and the pose of every one of the 199 frames.
TMesh BuildBody();
TMesh BuildGun();
std::vector<TPose> AllFramePoses();
// The frames' recorded names: each motion's name and the frame's place in it from 01, so that
// the viewer and the sprite renderer find the motions by name (`run01`..`run06`).
std::vector<std::string> AllFrameNames();

}  // namespace quarn::tools::make_bot
