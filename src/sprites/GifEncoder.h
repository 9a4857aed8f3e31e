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

// An endlessly looping animated GIF of RGBA frames (rows bottom up, all of one size), each
// shown for `delay` hundredths of a second. Pixels with alpha below half are transparent
// when `transparent`. False with the reason when giflib refuses.
bool EncodeGIF(const std::vector<const images::TFramePixels*>& frames, int delay, bool transparent,
               std::string& gif, std::string& reason);

}  // namespace quarn::sprites
