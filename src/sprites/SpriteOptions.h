#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/DrawStyle.h"

namespace quarn::sprites {

// What to render and where, as the command line or the console gives it.
struct TSpriteOptions {
  std::string Model;  // file names as given, relative to the current directory
  std::string Skin;   // "" looks for the skin the model records
  std::string Weapon;
  std::string WeaponSkin;
  std::vector<std::string> Animations;  // recorded group names or FIRST-LAST; none: every group
  int32_t Fps = 0;                      // 0: the keyframes only
  int32_t Directions = 8;               // evenly round the model, the first facing its front
  double Elevation = 30;                // degrees the camera looks down
  int32_t Width = 128;
  int32_t Height = 128;
  bool Transparent = true;  // else the background colour of Style, opaque
  render::TDrawStyle Style = SpriteStyle();
  std::string OutDir = "sprites";
  bool Sheet = false;
  bool Gif = false;
  bool Perspective = false;  // the viewer's camera instead of an orthographic one

  // Sprites leave out the faces turned away, as the viewer does.
  static render::TDrawStyle SpriteStyle()
  {
    render::TDrawStyle style;
    style.Culling = true;
    return style;
  }
};

// Bounds of the numbers the options take.
inline constexpr int32_t MaxFps = 240;
inline constexpr int32_t MaxDirections = 360;
inline constexpr int32_t MaxSide = 4096;  // pixels, width or height of one frame

enum class TParseResult { Ok, Help, Error };

// Reads the options of `quarn --render MODEL.md2 ...` (args without the program's name; the
// first MODEL not after an option is the model). With modelRequired false (the console
// command draws the loaded bot) a model, skin or weapon is an error. Error comes with a
// one-line `error`.
TParseResult ParseSpriteOptions(const std::vector<std::string>& args, bool modelRequired,
                                TSpriteOptions& options, std::string& error);

// The usage text of --render.
const char* SpriteUsage();

// Splits a console argument into options at blanks; 'single' or "double" quotes keep blanks.
// False, with no words and the reason in `error`, when a quote is never closed.
bool SplitOptionText(const std::string& text, std::vector<std::string>& words, std::string& error);

}  // namespace quarn::sprites
