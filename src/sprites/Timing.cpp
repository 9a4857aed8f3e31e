#include "sprites/Timing.h"

#include <algorithm>

#include "sprites/SpriteFrames.h"

namespace quarn::sprites {

namespace {

constexpr int64_t MsPerSecond = 1000;

// Sample j's start, j * 1000 / rate ms, in units of unitMs rounded to the nearest (halves
// up), held at the loop's end; integers throughout so every fps gives exact boundaries.
int64_t Boundary(int64_t j, int32_t fps, int32_t keyframes, int32_t unitMs)
{
  const int64_t rate = fps > 0 ? fps : KeyframesPerSecond;
  const int64_t loop = LoopMs(keyframes);
  const int64_t start = std::min(j * MsPerSecond, loop * rate);  // in ms * rate
  return (2 * start + rate * unitMs) / (2 * rate * unitMs);
}

int64_t LoopUnits(int32_t keyframes, int32_t unitMs)
{
  return (2 * int64_t(LoopMs(keyframes)) + unitMs) / (2 * int64_t(unitMs));
}

}  // namespace

int32_t LoopMs(int32_t keyframes)
{
  return std::max(keyframes, 1) * int32_t(MsPerSecond / KeyframesPerSecond);
}

std::vector<int32_t> FrameDurationsMs(int32_t count, int32_t fps, int32_t keyframes)
{
  std::vector<int32_t> durations;
  if (count <= 0) return durations;
  const int64_t loop = LoopMs(keyframes);
  int64_t start = 0;
  for (int32_t j = 0; j < count; ++j) {
    int64_t end = j + 1 < count ? Boundary(j + 1, fps, keyframes, 1) : loop;
    // The last frame keeps at least 1 ms of the loop when there is one to spare.
    if (j + 2 == count && end >= loop && start < loop - 1) end = loop - 1;
    durations.push_back(int32_t(end - start));
    start = end;
  }
  return durations;
}

TTimedFrames KeepFrames(int32_t count, int32_t fps, int32_t keyframes, int32_t unitMs,
                        int32_t minimumMs)
{
  TTimedFrames timed;
  if (count <= 0) return timed;
  unitMs = std::max(unitMs, 1);
  const int64_t minimum = (std::max(minimumMs, 0) + unitMs - 1) / unitMs;  // whole units
  const int64_t loop = LoopUnits(keyframes, unitMs);
  timed.Frames.push_back(0);
  int64_t start = 0;
  for (int32_t j = 1; j < count; ++j) {
    const int64_t boundary = Boundary(j, fps, keyframes, unitMs);
    if (boundary - start < minimum || loop - boundary < minimum) continue;
    timed.Delays.push_back(int32_t(boundary - start));
    timed.Frames.push_back(j);
    start = boundary;
  }
  timed.Delays.push_back(int32_t(loop - start));
  return timed;
}

}  // namespace quarn::sprites
