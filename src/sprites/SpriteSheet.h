#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "images/PngWriter.h"

namespace quarn::sprites {

// Most pixels of one animation's frames held for its sheet or GIFs (128 MiB of RGBA; the sheet
// is as large again while it is encoded). The demo robot's 199 frames from 8 directions at
// 128x128 fit.
inline constexpr int64_t MaxSheetPixels = int64_t{1} << 25;

// The frames of one animation from every direction: direction-major, then frame.
struct TAnimationFrames {
  std::string Name;
  int32_t Directions = 0;
  int32_t Count = 0;  // frames a direction
  int32_t Width = 0;  // of one frame
  int32_t Height = 0;
  double Duration = 0;  // milliseconds a frame
  std::vector<std::shared_ptr<const images::TFramePixels>> Frames;
};

// One row a direction, one column a frame: frame f of direction d at (f * Width, d * Height)
// from the top left. RGBA rows bottom up, as frames are read.
images::TFramePixels BuildSheet(const TAnimationFrames& frames);

// The sheet's index: every frame's rectangle, direction and duration, in the array form
// sprite tools read ("frames" with "filename" and "frame" {x, y, w, h}, and "meta").
std::string SheetIndex(const TAnimationFrames& frames, const std::string& imageName);

// Writes a sprite file as platform::ReplaceFile does, unsynced: sprites are many small files
// that can be made again. "" or a one-line reason.
std::string WriteSpriteFile(const std::string& fileName, std::string_view contents);
std::string WritePngFile(const std::string& fileName, const images::TFramePixels& pixels);

}  // namespace quarn::sprites
