#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::bots {
class TMD2;
class TMD2Mesh;
}  // namespace quarn::bots

namespace quarn::convert {

// The axes glTF's Y-up, +Z-facing space takes from the model's Z-up, +x-facing space: glTF
// axis i is model axis AxisSource[i] times AxisSign[i]. X takes y (the model's left, which is
// the viewer's right when it faces them), Y takes z, Z takes x. A rotation, never a mirror:
// the determinant is +1 (checked below), so the handedness of every triangle is kept.
inline constexpr std::array<int, 3> AxisSource{1, 2, 0};
inline constexpr std::array<float, 3> AxisSign{1, 1, 1};

// A model in glTF's space, ready to be stored: its draw vertices (one for each distinct pair
// of model vertex and texture coordinate, as the program draws them), every keyframe's
// positions and normals at those vertices, and the triangles wound counter-clockwise seen
// from their front, as glTF's front faces are (the format's are clockwise).
class TMorphMesh {
public:
  // Decodes `model` (loaded, with at least one frame); lengths are multiplied by `scale`.
  // False with `reason` when a position is not a finite number (a frame's scale or offset is
  // not, or the scale takes it past the float range) or the memory is missing.
  bool Build(const bots::TMD2& model, double scale, std::string& reason);

  int32_t FrameCount() const { return FFrameCount; }
  int32_t VertexCount() const { return FVertexCount; }
  // Three floats per vertex, in draw vertex order.
  const float* Positions(int32_t frame) const { return &FPositions[Offset(frame)]; }
  const float* Normals(int32_t frame) const { return &FNormals[Offset(frame)]; }
  // Two floats per vertex: s and t in 0..1 of the skin, t = 0 its top row, as glTF's are.
  const std::vector<float>& TexCoords() const { return FTexCoords; }
  // Three vertex indices per triangle, counter-clockwise seen from the front.
  const std::vector<uint32_t>& Indices() const { return FIndices; }
  const std::vector<std::string>& FrameNames() const { return FFrameNames; }

private:
  bool Fill(const bots::TMD2& model, const bots::TMD2Mesh& mesh, double scale, std::string& reason);
  size_t Offset(int32_t frame) const { return size_t(frame) * size_t(FVertexCount) * 3; }

  int32_t FFrameCount = 0;
  int32_t FVertexCount = 0;
  std::vector<float> FPositions;  // frame-major, then vertex, then x, y, z
  std::vector<float> FNormals;    // as FPositions, unit length
  std::vector<float> FTexCoords;
  std::vector<uint32_t> FIndices;
  std::vector<std::string> FFrameNames;
};

}  // namespace quarn::convert
