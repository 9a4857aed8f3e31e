#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::convert {

// An animation to import: by name, or a range of the file's animations by number (from 0).
struct TAnimationChoice {
  std::string Name;  // "" for a range
  int32_t First = 0;
  int32_t Last = 0;
};

// What to import and how, as the command line gives it.
struct TImportOptions {
  std::string In;   // .glb or .gltf
  std::string Out;  // the MD2 file
  int32_t Fps = 10;  // frames a second of animation
  bool FpsGiven = false;
  std::vector<TAnimationChoice> Animations;  // none: every animation
  double Scale = 1;  // model units per glTF unit
  std::string Node;  // "" takes the first node with a mesh
  std::string SkinOut;  // "": no skin written
};

enum class TImportParse { Ok, Help, Error };

// Reads `--import IN.glb -o OUT.md2 [OPTION]...` (args without the program's name). Error
// comes with a one-line `error`.
TImportParse ParseImportOptions(const std::vector<std::string>& args, TImportOptions& options,
                                std::string& error);

// The usage text of --import.
const char* ImportUsage();

}  // namespace quarn::convert
