#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/DrawStyle.h"

namespace quarn::sprites {

// The index written beside an atlas: the packers' JSON array or hash, the animation editor's
// JSON, or a SpriteFrames resource.
enum class TSheetFormat { TexturePackerArray, TexturePackerHash, Aseprite, Godot };

// What to render and where, as the command line or the console gives it.
struct TSpriteOptions {
  std::string Model;  // file names as given, relative to the current directory
  std::string Skin;   // "" looks for the skin the model records
  std::string Weapon;
  std::string WeaponSkin;
  std::vector<std::string> Animations;  // recorded group names or FIRST-LAST; none: every group
  int32_t Fps = 0;                      // 0: the keyframes only
  int32_t Directions = 8;               // evenly round the model, the first facing its front
  std::vector<int32_t> DirectionList;   // the directions rendered; none: all of them
  double Yaw = 0;                       // degrees the first direction turns the model
  double Elevation = 30;                // degrees the camera looks down
  int32_t Width = 128;
  int32_t Height = 128;
  bool Transparent = true;  // else the background colour of Style, opaque
  render::TDrawStyle Style = SpriteStyle();
  std::string OutDir = "sprites";
  bool Sheet = false;
  bool Gif = false;
  bool Webp = false;
  bool Perspective = false;  // the viewer's camera instead of an orthographic one

  // Framing: one scale and ground for the whole model, or each animation its own.
  enum class TFit { Model, Animation } Fit = TFit::Model;
  double PixelsPerUnit = 0;  // 0: the scale that fits; else exactly this many pixels a unit

  // Sheets: rows at most MaxWidth pixels wide or Columns frames long, every animation in one
  // atlas or each its own, frames cropped to their pixels, apart and extruded.
  int32_t MaxWidth = 4096;
  int32_t Columns = 0;  // 0: as many as MaxWidth holds
  bool Atlas = false;
  bool Trim = false;
  int32_t Padding = 0;
  int32_t Extrude = 0;
  TSheetFormat Format = TSheetFormat::TexturePackerArray;

  // Pixels: drawn at Samples x Samples and filtered down; lit, brightened and outlined.
  int32_t Samples = 4;
  double Brightness = 1;
  int32_t Outline = 0;  // pixels
  uint8_t OutlineColour[3] = {0, 0, 0};

  // Sprites leave out the faces turned away, as the viewer does.
  static render::TDrawStyle SpriteStyle()
  {
    render::TDrawStyle style;
    style.Culling = true;
    style.LightUntextured = true;
    return style;
  }
};

// Bounds of the numbers the options take.
inline constexpr int32_t MaxFps = 240;
inline constexpr int32_t MaxDirections = 360;
inline constexpr int32_t MaxSide = 4096;  // pixels, width or height of one frame
inline constexpr int32_t MaxSamples = 8;
inline constexpr int32_t MaxOutline = 16;
inline constexpr int32_t MaxSpacing = 64;  // --padding and --extrude

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
