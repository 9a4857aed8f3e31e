#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "render/Vector.h"

namespace quarn::bots {

// One frame as stored: byte coordinates with the scale and translate that decode them.
struct TMD2RawFrame {
  std::array<float, 3> Scale{1, 1, 1};
  std::array<float, 3> Translate{0, 0, 0};
  std::string Name;  // at most 15 characters are kept
  std::vector<std::array<uint8_t, 3>> Vertices;
};

struct TMD2Triangle {
  std::array<int16_t, 3> Vertex;
  std::array<int16_t, 3> TexCoord;
};

// Everything an MD2 file holds that this system reads, ready to be written.
struct TMD2Content {
  int32_t SkinWidth = 256;
  int32_t SkinHeight = 256;
  std::vector<std::string> SkinNames;             // 64-byte names, informational
  std::vector<std::array<int16_t, 2>> TexCoords;  // s, t in skin pixels
  std::vector<TMD2Triangle> Triangles;
  std::vector<TMD2RawFrame> Frames;  // every frame has the same vertex count
  std::vector<int32_t> GlCommands{0};  // the command list's words, its ending zero included
};

// Compresses positions to bytes over their bounding box (the finest grid that holds them).
TMD2RawFrame QuantizeFrame(const std::vector<render::TVector>& positions, const std::string& name);

// The file's bytes: header, skin names, texture coordinates, triangles, frames and the GL
// command list, in that order.
std::vector<uint8_t> WriteMD2(const TMD2Content& content);

// Writes the bytes to a file; false when it cannot be written.
bool SaveBytes(const std::string& fileName, const std::vector<uint8_t>& bytes);

}  // namespace quarn::bots
