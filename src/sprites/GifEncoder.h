#pragma once
#include <string>
#include <vector>

#include "images/PngWriter.h"

namespace quarn::sprites {

// GIF colours: a fixed 6x7x6 cube of red, green and blue levels, index 0 left for
// transparency. A fixed palette keeps every frame of an animation in the same colours.
inline constexpr int GifRedLevels = 6;
inline constexpr int GifGreenLevels = 7;
inline constexpr int GifBlueLevels = 6;
inline constexpr int GifTransparentIndex = 0;

// The longest delay a GIF frame can hold, in hundredths of a second.
inline constexpr int GifMaximumDelay = 65535;

// An endlessly looping animated GIF of RGBA frames (rows bottom up, all of one size), frame i
// shown for delays[i] hundredths of a second (0..GifMaximumDelay, one per frame). Pixels with
// alpha below half are transparent when `transparent`. False with the reason when the delays do
// not fit or giflib refuses.
bool EncodeGIF(const std::vector<const images::TFramePixels*>& frames,
               const std::vector<int>& delays, bool transparent, std::string& gif,
               std::string& reason);

}  // namespace quarn::sprites
