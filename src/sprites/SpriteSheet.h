#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "images/PngWriter.h"
#include "sprites/SpriteCamera.h"
#include "sprites/SpriteOptions.h"

namespace quarn::sprites {

// Most pixels of one atlas, or of one animation's frames held for its GIFs (128 MiB of RGBA;
// the atlas is as large again while it is encoded). The demo robot's 199 frames from 8
// directions at 128x128 fit.
inline constexpr int64_t MaxSheetPixels = int64_t{1} << 25;

// The frames of one animation from the directions rendered: direction-major, then frame.
struct TAnimationFrames {
  std::string Name;
  int32_t Directions = 0;                // rendered
  std::vector<int32_t> DirectionNumbers;  // of each rendered direction; none: 0, 1, 2, ...
  int32_t AllDirections = 0;             // round the model, which numbers are out of; 0: Directions
  int32_t Count = 0;                     // frames a direction
  int32_t Width = 0;                     // of one frame
  int32_t Height = 0;
  double Duration = 0;             // milliseconds a frame
  std::vector<int32_t> Durations;  // whole milliseconds of each frame of a loop; none: Duration
  std::vector<TPixelPoint> Pivots;  // of each rendered direction; none: no pivot
  std::vector<std::shared_ptr<const images::TFramePixels>> Frames;

  int32_t DirectionNumber(int32_t rendered) const;
  int32_t FrameDurationMs(int32_t index) const;
  std::string FileStem(int32_t rendered, int32_t index) const;  // "run_dir3_005"
  std::string DirectionStem(int32_t rendered) const;             // "run_dir3"
};

// How frames are put into an atlas. Each direction of each animation starts a row; a row ends
// before it would pass MaxWidth pixels or hold Columns frames. Frames are Padding pixels apart
// with their edge pixels repeated Extrude pixels outwards, and with Trim cropped to the pixels
// that are not fully transparent.
struct TSheetLayout {
  int32_t MaxWidth = 4096;
  int32_t Columns = 0;  // 0: no limit but MaxWidth
  int32_t Padding = 0;
  int32_t Extrude = 0;
  bool Trim = false;
};

// Where one frame went: its rectangle in the atlas (from the top left, extrusion outside it)
// and where that rectangle lies in the whole frame.
struct TPlacedFrame {
  size_t Animation = 0;
  int32_t Direction = 0;  // rendered direction
  int32_t Index = 0;
  int32_t X = 0, Y = 0, W = 0, H = 0;
  int32_t SourceX = 0, SourceY = 0;
};

struct TAtlas {
  images::TFramePixels Image;  // RGBA rows bottom up, as frames are read
  std::vector<TPlacedFrame> Placed;
};

// The atlas's size for untrimmed frames of animations of these frame sizes and counts, as
// PackAtlas would lay them out; false with a one-line reason when a frame is wider than the
// rows allow.
bool AtlasSize(const std::vector<const TAnimationFrames*>& animations, const TSheetLayout& layout,
               int64_t& width, int64_t& height, std::string& error);

// Lays out and copies every frame of the animations; false with a one-line reason when a
// frame is wider than the rows allow or the atlas would pass MaxSheetPixels.
bool PackAtlas(const std::vector<const TAnimationFrames*>& animations, const TSheetLayout& layout,
               TAtlas& atlas, std::string& error);

// One animation's frames packed with the default layout.
images::TFramePixels BuildSheet(const TAnimationFrames& frames);

// The atlas's index in a format game engines read: the packers' JSON array or hash form
// (frames with "frame", "spriteSourceSize", "sourceSize", "duration", "pivot"), the
// animation editor's JSON (a frame tag for each animation and direction, pivots as a slice),
// or a SpriteFrames resource (an animation for each animation and direction).
std::string AtlasIndex(const std::vector<const TAnimationFrames*>& animations, const TAtlas& atlas,
                       const std::string& imageName, TSheetFormat format);
// The index file's extension: ".json", or ".tres" for the resource.
const char* IndexExtension(TSheetFormat format);

// Writes a sprite file as platform::ReplaceFile does, unsynced: sprites are many small files
// that can be made again. "" or a one-line reason.
std::string WriteSpriteFile(const std::string& fileName, std::string_view contents);
std::string WritePngFile(const std::string& fileName, const images::TFramePixels& pixels);

}  // namespace quarn::sprites
