#include "bots/MD2Mesh.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "formats/Md2.h"

namespace quarn::bots {

namespace md2 = formats::md2;

namespace {

// A draw vertex's key: both indices are checked non-negative 16-bit values.
uint32_t PairKey(int16_t vertex, int16_t texCoord)
{
  return uint32_t(uint16_t(vertex)) << 16 | uint16_t(texCoord);
}

}  // namespace

void TMD2Mesh::Clear()
{
  // Swapped out, so the memory goes back at once.
  std::vector<float>().swap(FKeyframes);
  std::vector<int32_t>().swap(FDrawVertex);
  std::vector<float>().swap(FTexCoords);
  std::vector<uint32_t>().swap(FIndices);
  std::vector<float>().swap(FPositions);
  std::vector<float>().swap(FNormals);
  std::vector<float>().swap(FBlendedNormals);
  FVertexCount = 0;
}

size_t TMD2Mesh::Bytes() const
{
  return (FKeyframes.capacity() + FTexCoords.capacity() + FPositions.capacity() +
          FNormals.capacity() + FBlendedNormals.capacity()) *
             sizeof(float) +
         FDrawVertex.capacity() * sizeof(int32_t) + FIndices.capacity() * sizeof(uint32_t);
}

bool TMD2Mesh::Decode(const formats::TByteReader& file, const TMD2Layout& l, std::string& reason)
{
  Clear();
  const size_t triangles = size_t(l.NumTriangles), corners = triangles * 3;
  if (corners > UINT32_MAX) {  // a corner's number is kept in 32 bits
    reason = "too many triangles";
    return false;
  }

  // The corners' (vertex, texture coordinate) pairs, sorted to number the distinct ones.
  std::vector<uint64_t> order;  // key << 32 | corner
  try {
    order.reserve(corners);
  } catch (const std::bad_alloc&) {
    reason = "not enough memory for the triangles";
    return false;
  }
  for (size_t corner = 0; corner < corners; ++corner) {
    const uint64_t t = l.OfsTriangles + corner / 3 * md2::TriangleSize + 2 * (corner % 3);
    order.push_back(uint64_t(PairKey(file.I16At(t), file.I16At(t + 6))) << 32 | corner);
  }
  std::sort(order.begin(), order.end());
  size_t drawVertices = 0;
  for (size_t i = 0; i < order.size(); ++i)
    if (i == 0 || order[i] >> 32 != order[i - 1] >> 32) ++drawVertices;

  const size_t keyframeFloats = size_t(l.NumFrames) * size_t(l.NumVertices) * 3;
  // Per draw vertex: its model vertex, texture coordinates and blended position.
  const size_t needed = keyframeFloats * sizeof(float) +
                        drawVertices * (sizeof(int32_t) + 5 * sizeof(float)) +
                        corners * sizeof(uint32_t);
  if (needed > MaxGrowth * file.Size()) {
    reason = "the decoded model would take " + std::to_string(needed) + " bytes, more than " +
             std::to_string(MaxGrowth) + " times the file's size";
    return false;
  }
  try {
    FKeyframes.resize(keyframeFloats);
    FDrawVertex.assign(drawVertices, -1);
    FTexCoords.resize(drawVertices * 2);
    FIndices.resize(corners);
    FPositions.resize(drawVertices * 3);
  } catch (const std::bad_alloc&) {
    Clear();
    reason = "not enough memory to decode the model";
    return false;
  }
  FVertexCount = size_t(l.NumVertices);

  // A vertex is its byte coordinates times the frame's scale plus its translation, computed
  // in double precision and stored as a float.
  float* out = FKeyframes.data();
  for (int32_t frame = 0; frame < l.NumFrames; ++frame) {
    const uint64_t f = l.OfsFrames + size_t(frame) * size_t(l.FrameSize);
    float scale[3], translate[3];
    for (int axis = 0; axis < 3; ++axis) {
      scale[axis] = file.F32At(f + md2::at::FrameScale + 4 * axis);
      translate[axis] = file.F32At(f + md2::at::FrameTranslate + 4 * axis);
    }
    const uint8_t* bytes =
        file.BytesAt(f + md2::at::FrameVertices, size_t(l.NumVertices) * md2::VertexSize).data();
    for (int32_t v = 0; v < l.NumVertices; ++v, bytes += md2::VertexSize)
      for (int axis = 0; axis < 3; ++axis)
        *out++ = static_cast<float>(double(bytes[axis]) * scale[axis] + translate[axis]);
  }

  // Draw vertices in key order, which is model vertex order: blending reads the keyframes
  // front to back.
  for (size_t i = 0, drawVertex = 0; i < order.size(); ++drawVertex) {
    const uint32_t key = uint32_t(order[i] >> 32);
    const int32_t vertex = int32_t(key >> 16), texCoord = int32_t(key & 0xffff);
    FDrawVertex[drawVertex] = vertex;
    const uint64_t c = l.OfsTexCoords + size_t(texCoord) * md2::TexCoordSize;
    FTexCoords[size_t(drawVertex) * 2] = static_cast<float>(double(file.I16At(c)) / l.SkinWidth);
    FTexCoords[size_t(drawVertex) * 2 + 1] =
        static_cast<float>(double(file.I16At(c + 2)) / l.SkinHeight);
    for (; i < order.size() && uint32_t(order[i] >> 32) == key; ++i)
      FIndices[size_t(order[i] & 0xffffffffu)] = uint32_t(drawVertex);
  }
  return true;
}

void TMD2Mesh::Blend(int32_t previous, int32_t current, float fraction)
{
  float* out = FPositions.data();
  const size_t count = FDrawVertex.size();
  if (previous == -1) {
    for (size_t i = 0; i < count; ++i, out += 3)
      std::copy_n(Vertex(current, FDrawVertex[i]), 3, out);
    return;
  }
  // a + (b - a) * t in extended precision, stored as floats: as LerpVector blends.
  using Wide = long double;
  const Wide k = fraction;
  for (size_t i = 0; i < count; ++i, out += 3) {
    const float* a = Vertex(previous, FDrawVertex[i]);
    const float* b = Vertex(current, FDrawVertex[i]);
    for (int axis = 0; axis < 3; ++axis)
      out[axis] = static_cast<float>(a[axis] + (Wide(b[axis]) - a[axis]) * k);
  }
}

bool TMD2Mesh::MakeNormals()
{
  if (HasNormals()) return true;
  try {
    FNormals.assign(FKeyframes.size(), 0.0f);
    FBlendedNormals.assign(FPositions.size(), 0.0f);
  } catch (const std::bad_alloc&) {
    std::vector<float>().swap(FNormals);
    std::vector<float>().swap(FBlendedNormals);
    return false;
  }
  const size_t frames = FVertexCount == 0 ? 0 : FKeyframes.size() / (FVertexCount * 3);
  const size_t triangles = FIndices.size() / 3;
  for (size_t frame = 0; frame < frames; ++frame) {
    float* normals = &FNormals[frame * FVertexCount * 3];
    for (size_t t = 0; t < triangles; ++t) {
      int32_t v[3];
      for (int k = 0; k < 3; ++k) v[k] = FDrawVertex[FIndices[t * 3 + size_t(k)]];
      const float* a = Vertex(int32_t(frame), v[0]);
      const float* b = Vertex(int32_t(frame), v[1]);
      const float* c = Vertex(int32_t(frame), v[2]);
      // (c - a) x (b - a): the triangles are clockwise seen from their front. Its length is
      // twice the area, which weights the sum.
      const float u[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
      const float w[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
      const float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                          u[0] * w[1] - u[1] * w[0]};
      for (int k = 0; k < 3; ++k)
        for (int axis = 0; axis < 3; ++axis) normals[size_t(v[k]) * 3 + size_t(axis)] += n[axis];
    }
    for (size_t i = 0; i < FVertexCount; ++i) {
      float* n = &normals[i * 3];
      const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      if (length > 0 && std::isfinite(length)) {
        for (int axis = 0; axis < 3; ++axis) n[axis] /= length;
      } else {
        n[0] = n[1] = 0, n[2] = 1;  // a vertex on no triangle, or only on degenerate ones
      }
    }
  }
  return true;
}

void TMD2Mesh::BlendNormals(int32_t previous, int32_t current, float fraction)
{
  float* out = FBlendedNormals.data();
  const size_t count = FDrawVertex.size();
  for (size_t i = 0; i < count; ++i, out += 3) {
    const float* b = Normal(current, FDrawVertex[i]);
    if (previous == -1) {
      std::copy_n(b, 3, out);
      continue;
    }
    // GL normalises the blend before lighting (GL_NORMALIZE).
    const float* a = Normal(previous, FDrawVertex[i]);
    for (int axis = 0; axis < 3; ++axis) out[axis] = a[axis] + (b[axis] - a[axis]) * fraction;
  }
}

void TMD2Mesh::Submit(bool normals) const
{
  if (FIndices.empty()) return;
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  if (normals && FBlendedNormals.size() == FPositions.size()) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, FBlendedNormals.data());
  } else {
    glDisableClientState(GL_NORMAL_ARRAY);
  }
  glVertexPointer(3, GL_FLOAT, 0, FPositions.data());
  glTexCoordPointer(2, GL_FLOAT, 0, FTexCoords.data());
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(FIndices.size()), GL_UNSIGNED_INT,
                 FIndices.data());
  glPopClientAttrib();
}

}  // namespace quarn::bots
