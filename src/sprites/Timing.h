#pragma once
#include <cstdint>
#include <vector>

namespace quarn::sprites {

// How long the sampled frames of one loop last. An animation of K keyframes plays at
// KeyframesPerSecond, so a loop lasts K * 100 ms. With fps 0 the keyframes are the frames
// (100 ms each); with fps > 0 sample j starts at j * 1000 / fps ms and the last one lasts until
// the loop's end (SamplePoses takes ceil(K * fps / 10) samples, so none starts at or after it).

// The steps players take delays in, and the shortest delay they show at its length (players
// slow shorter ones down).
inline constexpr int32_t GifDelayUnitMs = 10;
inline constexpr int32_t WebpDelayUnitMs = 1;
inline constexpr int32_t ShortestDelayMs = 20;

// Milliseconds one loop of `keyframes` keyframes lasts.
int32_t LoopMs(int32_t keyframes);

// Each of `count` sampled frames' duration in whole milliseconds, rounding carried from frame to
// frame (a frame lasts from its rounded start to the next one's), so they sum to the loop
// exactly. A frame that would round to nothing (the last one, starting within half a
// millisecond of the loop's end) lasts 1 ms, taken from the frame before it.
std::vector<int32_t> FrameDurationsMs(int32_t count, int32_t fps, int32_t keyframes);

// The sampled frames a player with a shortest delay shows, and each one's delay in units.
struct TTimedFrames {
  std::vector<int32_t> Frames;  // indices into the sampled frames, increasing, 0 first
  std::vector<int32_t> Delays;  // one per kept frame, in units of unitMs
};

// Frames kept so that no delay is below `minimumMs`: the frames start on unit boundaries
// (a frame's start rounded to whole units, rounding carried), a frame is dropped when it would
// start less than the minimum after the previous kept one or less than the minimum before the
// loop's end, and its time goes to the kept frame before it. The delays sum to the loop rounded
// to whole units, so a loop is within unitMs / 2 of its length. GIF: GifDelayUnitMs
// (hundredths of a second), WebP: WebpDelayUnitMs, both with ShortestDelayMs.
TTimedFrames KeepFrames(int32_t count, int32_t fps, int32_t keyframes, int32_t unitMs,
                        int32_t minimumMs);

}  // namespace quarn::sprites
