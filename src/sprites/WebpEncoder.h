#pragma once
#include <string>
#include <vector>

#include "images/PngWriter.h"

namespace quarn::sprites {

// The longest delay an animated WebP frame can hold, in milliseconds (24 bits).
inline constexpr int WebpMaximumDelay = 0xffffff;

// An endlessly looping animated WebP of RGBA frames (rows bottom up, all of one size), lossless
// with their alpha, frame i shown for delaysMs[i] milliseconds (1..WebpMaximumDelay, one per
// frame; the frames start at the running sums, so the loop lasts their total exactly). False
// with the reason when the delays do not fit or libwebp refuses.
bool EncodeWebP(const std::vector<const images::TFramePixels*>& frames,
                const std::vector<int>& delaysMs, std::string& webp, std::string& reason);

}  // namespace quarn::sprites
