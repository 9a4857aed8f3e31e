#include "sprites/SpriteFrames.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstdio>

namespace quarn::sprites {

namespace {

bool ParseRange(const std::string& text, int32_t& first, int32_t& last)
{
  const size_t dash = text.find('-');
  if (dash == std::string::npos || dash == 0) return false;
  const char* end = text.data() + text.size();
  const auto a = std::from_chars(text.data(), text.data() + dash, first);
  const auto b = std::from_chars(text.data() + dash + 1, end, last);
  return a.ec == std::errc() && a.ptr == text.data() + dash && b.ec == std::errc() && b.ptr == end;
}

}  // namespace

bool ChooseAnimations(const std::vector<TSpriteAnimation>& recorded, int32_t frameCount,
                      const std::vector<std::string>& requests,
                      std::vector<TSpriteAnimation>& chosen, std::string& error)
{
  chosen.clear();
  if (frameCount <= 0) {
    error = "the model has no frames";
    return false;
  }
  if (requests.empty()) {
    chosen = recorded;
    return true;
  }
  for (const std::string& request : requests) {
    int32_t first = 0, last = 0;
    if (ParseRange(request, first, last)) {
      if (first < 0 || last < first || last >= frameCount) {
        error =
            "--anim " + request + ": the model's frames are 0-" + std::to_string(frameCount - 1);
        return false;
      }
      chosen.push_back(
          {"frames" + std::to_string(first) + "-" + std::to_string(last), first, last});
      continue;
    }
    const std::vector<TSpriteAnimation> found = model::FindAnimations(recorded, request);
    chosen.insert(chosen.end(), found.begin(), found.end());
    if (found.empty()) {
      std::string names;
      for (const TSpriteAnimation& group : recorded)
        names += (names.empty() ? "" : ", ") + group.Name;
      error =
          "--anim " + request + ": the model has no animation of that name (it has " + names + ")";
      return false;
    }
  }
  return true;
}

std::vector<TPose> SamplePoses(const TSpriteAnimation& animation, int32_t fps)
{
  std::vector<TPose> poses;
  const int32_t keyframes = animation.Last - animation.First + 1;
  if (fps <= 0 || keyframes == 1) {
    for (int32_t frame = animation.First; frame <= animation.Last; ++frame)
      poses.push_back({-1, frame, 0});
    return poses;
  }
  // Sample j lies j * KeyframesPerSecond / fps keyframes in; whole numbers stay exact.
  const int64_t count = (int64_t(keyframes) * fps + KeyframesPerSecond - 1) / KeyframesPerSecond;
  for (int64_t j = 0; j < count; ++j) {
    const int64_t scaled = j * KeyframesPerSecond;
    const int32_t whole = int32_t(scaled / fps);
    const float fraction = float(scaled % fps) / float(fps);
    const int32_t from = animation.First + whole;
    if (fraction == 0) {
      poses.push_back({-1, from, 0});
    } else {
      const int32_t to = from == animation.Last ? animation.First : from + 1;
      poses.push_back({from, to, fraction});
    }
  }
  return poses;
}

double FrameDuration(int32_t fps) { return 1000.0 / (fps > 0 ? fps : KeyframesPerSecond); }

namespace {

// Digits of the largest of `count` numbers from 0.
int Digits(int32_t count)
{
  int digits = 1;
  for (int32_t limit = 10; count > limit && digits < 9; limit *= 10) ++digits;
  return digits;
}

}  // namespace

std::string FrameFileStem(const std::string& animation, int32_t direction, int32_t frame,
                          int32_t count, int32_t directions)
{
  char number[48];
  std::snprintf(number, sizeof number, "_dir%0*d_%0*d", Digits(directions), direction,
                std::max(3, Digits(count)), frame);
  return animation + number;
}

}  // namespace quarn::sprites
