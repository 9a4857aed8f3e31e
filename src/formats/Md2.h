#pragma once
// On-disk layout of an MD2 keyframe model. All values are little-endian; offsets are from the
// start of the file. The structs describe the layout only: the reader never casts file bytes to
// them, it reads each field through TByteReader at the offsets below.
#include <cstddef>
#include <cstdint>

namespace quarn::formats::md2 {

inline constexpr char Ident[4] = {'I', 'D', 'P', '2'};
inline constexpr int32_t Version = 8;

struct THeader {          // 68 bytes at offset 0
  char ident[4];          // "IDP2"
  int32_t version;        // 8
  int32_t skinWidth;      // divisor of s texture coordinates, > 0
  int32_t skinHeight;     // divisor of t texture coordinates, > 0
  int32_t frameSize;      // bytes of one frame record: 40 + 4 * vertex count, or more
  int32_t numSkins;       // 64-byte skin names; never read
  int32_t numVertices;    // vertices per frame
  int32_t numTexCoords;   // records in the texture coordinate table
  int32_t numTriangles;   // records in the triangle table, all drawn
  int32_t numGlCommands;  // 32-bit words of GL command lists; never read
  int32_t numFrames;      // frame records
  int32_t ofsSkins;       // numSkins x 64-byte names
  int32_t ofsTexCoords;   // numTexCoords x TTexCoord
  int32_t ofsTriangles;   // numTriangles x TTriangle
  int32_t ofsFrames;      // numFrames x frameSize bytes
  int32_t ofsGlCommands;  // numGlCommands words
  int32_t ofsEnd;         // file size as written; not relied on
};

struct TTexCoord {  // 4 bytes, in skin pixels
  int16_t s;
  int16_t t;  // 0 is the first row of the skin as uploaded
};

struct TTriangle {      // 12 bytes; corner k uses vertex[k] and texCoord[k]
  int16_t vertex[3];    // < numVertices
  int16_t texCoord[3];  // < numTexCoords
};

struct TVertex {        // 4 bytes
  uint8_t v[3];         // position = v * scale + translate, per axis
  uint8_t normalIndex;  // never read
};

struct TFrame {        // frameSize bytes, frame f at ofsFrames + f * frameSize
  float scale[3];      // multiply byte coordinates by this
  float translate[3];  // then add this
  char name[16];       // not used
  // TVertex vertices[numVertices] follow
};

inline constexpr size_t HeaderSize = 68;
inline constexpr size_t TexCoordSize = 4;
inline constexpr size_t TriangleSize = 12;
inline constexpr size_t VertexSize = 4;
inline constexpr size_t FrameHeaderSize = 40;  // scale, translate, name
inline constexpr size_t SkinNameSize = 64;
inline constexpr size_t FrameNameSize = 16;

// Field offsets inside the header and the frame record.
namespace at {
inline constexpr size_t Ident = 0, Version = 4, SkinWidth = 8, SkinHeight = 12, FrameSize = 16,
                        NumSkins = 20, NumVertices = 24, NumTexCoords = 28, NumTriangles = 32,
                        NumGlCommands = 36, NumFrames = 40, OfsSkins = 44, OfsTexCoords = 48,
                        OfsTriangles = 52, OfsFrames = 56, OfsGlCommands = 60, OfsEnd = 64;
inline constexpr size_t FrameScale = 0, FrameTranslate = 12, FrameName = 24, FrameVertices = 40;
}  // namespace at

static_assert(sizeof(THeader) == HeaderSize);
static_assert(sizeof(TTexCoord) == TexCoordSize);
static_assert(sizeof(TTriangle) == TriangleSize);
static_assert(sizeof(TVertex) == VertexSize);
static_assert(sizeof(TFrame) == FrameHeaderSize);

}  // namespace quarn::formats::md2
