#include "bots/MD2Writer.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "formats/ByteWriter.h"
#include "formats/Md2.h"

namespace quarn::bots {

namespace md2 = formats::md2;

TMD2RawFrame QuantizeFrame(const std::vector<render::TVector>& positions, const std::string& name)
{
  TMD2RawFrame frame;
  frame.Name = name;
  if (positions.empty()) return frame;
  float low[3] = {positions[0].x, positions[0].y, positions[0].z};
  float high[3] = {low[0], low[1], low[2]};
  for (const render::TVector& p : positions) {
    const float xyz[3] = {p.x, p.y, p.z};
    for (int a = 0; a < 3; ++a)
      low[a] = std::min(low[a], xyz[a]), high[a] = std::max(high[a], xyz[a]);
  }
  for (int a = 0; a < 3; ++a) {
    frame.Translate[a] = low[a];
    frame.Scale[a] = high[a] > low[a] ? (high[a] - low[a]) / 255.0f : 1.0f;
  }
  for (const render::TVector& p : positions) {
    const float xyz[3] = {p.x, p.y, p.z};
    std::array<uint8_t, 3> bytes{};
    for (int a = 0; a < 3; ++a) {
      const float steps = std::round((xyz[a] - frame.Translate[a]) / frame.Scale[a]);
      // A position that is no finite number has no place on the grid: its corner stands in.
      bytes[a] = std::isfinite(steps) ? static_cast<uint8_t>(std::clamp(steps, 0.0f, 255.0f)) : 0;
    }
    frame.Vertices.push_back(bytes);
  }
  return frame;
}

std::vector<uint8_t> WriteMD2(const TMD2Content& c)
{
  const size_t numVertices = c.Frames.empty() ? 0 : c.Frames[0].Vertices.size();
  const size_t frameSize = md2::FrameHeaderSize + md2::VertexSize * numVertices;
  const size_t ofsSkins = md2::HeaderSize;
  const size_t ofsTexCoords = ofsSkins + md2::SkinNameSize * c.SkinNames.size();
  const size_t ofsTriangles = ofsTexCoords + md2::TexCoordSize * c.TexCoords.size();
  const size_t ofsFrames = ofsTriangles + md2::TriangleSize * c.Triangles.size();
  const size_t ofsGlCommands = ofsFrames + frameSize * c.Frames.size();
  const size_t ofsEnd = ofsGlCommands + 4 * c.GlCommands.size();

  std::vector<uint8_t> out;
  out.reserve(ofsEnd);
  formats::TByteWriter w(out);
  for (char ch : md2::Ident) w.U8(uint8_t(ch));
  const size_t fields[] = {size_t(md2::Version),
                           size_t(c.SkinWidth),
                           size_t(c.SkinHeight),
                           frameSize,
                           c.SkinNames.size(),
                           numVertices,
                           c.TexCoords.size(),
                           c.Triangles.size(),
                           c.GlCommands.size(),
                           c.Frames.size(),
                           ofsSkins,
                           ofsTexCoords,
                           ofsTriangles,
                           ofsFrames,
                           ofsGlCommands,
                           ofsEnd};
  for (size_t field : fields) w.I32(static_cast<int32_t>(field));
  for (const std::string& name : c.SkinNames) w.Text(name, md2::SkinNameSize);
  for (const auto& st : c.TexCoords) w.I16(st[0]), w.I16(st[1]);
  for (const TMD2Triangle& t : c.Triangles) {
    for (int16_t v : t.Vertex) w.I16(v);
    for (int16_t st : t.TexCoord) w.I16(st);
  }
  for (const TMD2RawFrame& f : c.Frames) {
    for (float s : f.Scale) w.F32(s);
    for (float t : f.Translate) w.F32(t);
    w.Text(f.Name, md2::FrameNameSize);
    for (size_t i = 0; i < numVertices; ++i) {
      const std::array<uint8_t, 3> v =
          i < f.Vertices.size() ? f.Vertices[i] : std::array<uint8_t, 3>{};
      w.U8(v[0]), w.U8(v[1]), w.U8(v[2]), w.U8(0);
    }
  }
  for (const int32_t word : c.GlCommands) w.I32(word);
  return out;
}

bool SaveBytes(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace quarn::bots
