#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "bots/MD2Writer.h"
#include "convert/ImportOptions.h"
#include "images/Image.h"

namespace quarn::convert {

// What an MD2 file holds at most: more than this is never written.
struct TMD2Limit {
  const char* Name;
  size_t Most;
};
inline constexpr TMD2Limit MaxVertices{"vertices", 2048};
inline constexpr TMD2Limit MaxTriangles{"triangles", 4096};
inline constexpr TMD2Limit MaxFrames{"frames", 512};
inline constexpr TMD2Limit MaxTexCoords{"texture coordinates", 2048};
inline constexpr TMD2Limit MaxSkins{"skins", 32};
inline constexpr size_t FrameNameChars = 15;  // the 16-byte field ends in a NUL
inline constexpr size_t SkinNameBytes = 64;   // with its NUL

// An MD2 model made from a glTF file, and how far its positions are from the glTF's.
struct TImportedModel {
  bots::TMD2Content Content;
  double LargestError = 0;  // model units
  double Size = 0;          // the diagonal of the box around every frame, model units
  std::vector<std::string> Notes;  // lines for stderr: names shortened, numbers guessed
  images::TImage Skin;  // the base colour texture, decoded; Width 0 when there is none
};

// Reads `options.In` and builds the model the options ask for; false with a one-line `error`
// (the file cannot be read, has no mesh, or the model would pass a limit of the format).
bool ImportGltf(const TImportOptions& options, TImportedModel& model, std::string& error);

// Frame names for sampled animations: each animation's name and the frame's number from 1,
// with '_' between them when the name ends in a digit, the name shortened so every frame name
// fits the format's field and no two animations share a stem. A note for each name shortened.
std::vector<std::vector<std::string>> SampledFrameNames(const std::vector<std::string>& animations,
                                                        const std::vector<int32_t>& frameCounts,
                                                        std::vector<std::string>& notes);

}  // namespace quarn::convert
