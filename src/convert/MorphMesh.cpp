#include "convert/MorphMesh.h"

#include <cmath>
#include <new>

#include "bots/MD2.h"

namespace quarn::convert {

namespace {

// The determinant of the matrix whose row i has AxisSign[i] in column AxisSource[i].
constexpr float AxisDeterminant()
{
  float m[3][3] = {};
  for (int i = 0; i < 3; ++i) m[i][AxisSource[size_t(i)]] = AxisSign[size_t(i)];
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}
static_assert(AxisDeterminant() == 1, "the axes must turn the model, not mirror it");

// The format's front faces are clockwise: corners 0, 2, 1 are counter-clockwise.
constexpr int CornerOrder[3] = {0, 2, 1};

void ToGltf(const float* model, double scale, float* out)
{
  for (size_t axis = 0; axis < 3; ++axis)
    out[axis] = static_cast<float>(double(AxisSign[axis]) * model[AxisSource[axis]] * scale);
}

}  // namespace

bool TMorphMesh::Build(const bots::TMD2& model, double scale, std::string& reason)
{
  reason = "not enough memory";
  try {
    // The normals are made on a copy: the loaded model keeps only what it draws with.
    bots::TMD2Mesh mesh = model.Mesh();
    if (!mesh.MakeNormals()) return false;
    return Fill(model, mesh, scale, reason);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool TMorphMesh::Fill(const bots::TMD2& model, const bots::TMD2Mesh& mesh, double scale,
                      std::string& reason)
{
  FFrameCount = model.GetFrameCount();
  FVertexCount = mesh.DrawVertexCount();
  const size_t floats = size_t(FFrameCount) * size_t(FVertexCount) * 3;
  FPositions.resize(floats);
  FNormals.resize(floats);
  FTexCoords.resize(size_t(FVertexCount) * 2);
  FIndices.resize(size_t(model.GetTriangleCount()) * 3);
  FFrameNames.clear();
  for (int32_t frame = 0; frame < FFrameCount; ++frame) {
    FFrameNames.push_back(model.FrameName(frame));
    for (int32_t v = 0; v < FVertexCount; ++v) {
      const int32_t vertex = mesh.ModelVertex(uint32_t(v));
      float* position = &FPositions[Offset(frame) + size_t(v) * 3];
      ToGltf(mesh.Vertex(frame, vertex), scale, position);
      if (!std::isfinite(position[0]) || !std::isfinite(position[1]) ||
          !std::isfinite(position[2])) {
        reason = "frame " + std::to_string(frame) + " holds a position that is not a number";
        return false;
      }
      // Normals turn with the model; a uniform scale leaves their direction.
      ToGltf(mesh.Normal(frame, vertex), 1, &FNormals[Offset(frame) + size_t(v) * 3]);
    }
  }
  for (int32_t v = 0; v < FVertexCount; ++v) {
    FTexCoords[size_t(v) * 2] = mesh.TexCoord(uint32_t(v))[0];
    FTexCoords[size_t(v) * 2 + 1] = mesh.TexCoord(uint32_t(v))[1];
  }
  for (int32_t t = 0; t < model.GetTriangleCount(); ++t)
    for (int k = 0; k < 3; ++k)
      FIndices[size_t(t) * 3 + size_t(k)] = mesh.CornerVertex(t, CornerOrder[k]);
  return true;
}

}  // namespace quarn::convert
