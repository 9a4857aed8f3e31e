#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::convert {

// How the morph targets are stored.
enum class TQuantize {
  None,   // 32-bit floats
  Bits8,  // normalised bytes (KHR_mesh_quantization)
  Bits16  // normalised shorts
};

// What to export and how, as the command line gives it.
struct TExportOptions {
  std::string Model;  // file names as given, relative to the current directory
  std::string Skin;   // "" takes every skin the skin search finds
  std::string Weapon;
  std::string WeaponSkin;
  std::string Out;   // .glb: one binary file; .gltf: JSON with its buffer and images beside
  double Scale = 1;  // glTF units per model unit
  int32_t Fps = 10;  // keyframes a second
  bool NearestFilter = false;
  bool Unlit = false;  // KHR_materials_unlit
  TQuantize Quantize = TQuantize::None;
};

// Bounds of the numbers the options take.
inline constexpr int32_t MaxExportFps = 1000;
inline constexpr double MaxExportScale = 1e6;

enum class TExportParse { Ok, Help, Error };

// Reads `--export MODEL.md2 [OPTION]...` (args without the program's name). Error comes with
// a one-line `error`.
TExportParse ParseExportOptions(const std::vector<std::string>& args, TExportOptions& options,
                                std::string& error);

// Whether `fileName` ends in .gltf (any case): JSON with files beside it, else one .glb.
bool IsTextGltf(const std::string& fileName);
// Whether `fileName` names a file to export to: a name ending in .glb or .gltf (any case).
bool IsGltfFileName(const std::string& fileName);

// The usage text of --export.
const char* ExportUsage();

}  // namespace quarn::convert
