#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/ByteReader.h"

namespace quarn::bots {

// Where an MD2 file's tables lie, once its header and triangles have been checked: every
// table lies inside the file and every triangle's indices are in range.
struct TMD2Layout {
  int32_t SkinWidth = 1, SkinHeight = 1, FrameSize = 0, NumVertices = 0, NumTexCoords = 0,
          NumTriangles = 0, NumFrames = 0, NumSkins = 0;
  size_t OfsTexCoords = 0, OfsTriangles = 0, OfsFrames = 0, OfsSkins = 0;
};

// The drawable form of an MD2 model, decoded once from its file. Keyframe positions are kept
// per model vertex; the triangles' corners are folded into draw vertices, one for each distinct
// pair of model vertex and texture coordinate, whose texture coordinates and indices never
// change. A frame blends the model vertices and hands the draw vertices to GL in one call.
class TMD2Mesh {
public:
  // The decoded form may take at most this many times the file's size.
  static constexpr size_t MaxGrowth = 3;

  // Decodes what `layout` describes in `file`; false with the reason when the decoded form
  // would take more than MaxGrowth times the file's size (or the memory for it is missing).
  bool Decode(const formats::TByteReader& file, const TMD2Layout& layout, std::string& reason);
  void Clear();

  // Bytes the decoded form holds.
  size_t Bytes() const;
  int32_t DrawVertexCount() const { return int32_t(FDrawVertex.size()); }

  // Position of vertex `index` in keyframe `frame`, both in range: x, y, z.
  const float* Vertex(int32_t frame, int32_t index) const
  {
    return &FKeyframes[(size_t(frame) * FVertexCount + size_t(index)) * 3];
  }
  // The draw vertex of corner k (0..2) of `triangle`, both in range.
  uint32_t CornerVertex(int32_t triangle, int k) const
  {
    return FIndices[size_t(triangle) * 3 + size_t(k)];
  }
  // The model vertex and texture coordinates (0..1) of a draw vertex.
  int32_t ModelVertex(uint32_t drawVertex) const { return FDrawVertex[drawVertex]; }
  const float* TexCoord(uint32_t drawVertex) const { return &FTexCoords[size_t(drawVertex) * 2]; }

  // Positions of the draw vertices: keyframe `current` (in range) as stored when `previous`
  // is -1, else blended from keyframe `previous` (in range) by `fraction` as
  // render::LerpVector blends, in the same precision.
  void Blend(int32_t previous, int32_t current, float fraction);
  // The blended positions, three floats per draw vertex.
  const std::vector<float>& Positions() const { return FPositions; }
  // Draws the triangles with the positions of the last Blend, in file order, in one call;
  // with `normals`, also the normals of the last BlendNormals.
  void Submit(bool normals = false) const;

  // Per keyframe, a normal for each model vertex: the sum of its triangles' normals weighted
  // by their area, facing the side the triangles are clockwise from. Made on first use, as
  // they take as much memory as the keyframes; false when that memory is missing.
  bool MakeNormals();
  bool HasNormals() const { return !FNormals.empty() || FKeyframes.empty(); }
  // Normal of vertex `index` in keyframe `frame` (MakeNormals done, both in range).
  const float* Normal(int32_t frame, int32_t index) const
  {
    return &FNormals[(size_t(frame) * FVertexCount + size_t(index)) * 3];
  }
  // The draw vertices' normals blended as Blend blends the positions (MakeNormals done).
  void BlendNormals(int32_t previous, int32_t current, float fraction);

private:
  size_t FVertexCount = 0;             // model vertices per keyframe
  std::vector<float> FKeyframes;       // frame-major, then vertex, then x, y, z
  std::vector<int32_t> FDrawVertex;    // model vertex of each draw vertex
  std::vector<float> FTexCoords;       // s, t of each draw vertex
  std::vector<uint32_t> FIndices;      // three draw vertices per triangle, in file order
  std::vector<float> FPositions;       // blended draw vertices, x, y, z
  std::vector<float> FNormals;         // as FKeyframes, once MakeNormals has run
  std::vector<float> FBlendedNormals;  // as FPositions
};

}  // namespace quarn::bots
