#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "bots/Pose.h"
#include "model/Animations.h"

namespace quarn::sprites {

// MD2 keyframes are made to be played at this rate; --fps samples between them.
inline constexpr int32_t KeyframesPerSecond = 10;

// A range of keyframes rendered as one animation, and the name its files start with (letters,
// digits, '_' and '-' only).
using TSpriteAnimation = model::TAnimation;

// The model's recorded animations, as model::RecordedAnimations names them.
using model::RecordedAnimations;

// The animations the requests name, in their order: a group name (every group of that stem)
// or FIRST-LAST in the model's frames ("frames40-45"). No requests: every recorded group.
// False with a one-line error for a name the model lacks or a range outside its frames.
bool ChooseAnimations(const std::vector<TSpriteAnimation>& recorded, int32_t frameCount,
                      const std::vector<std::string>& requests,
                      std::vector<TSpriteAnimation>& chosen, std::string& error);

// One sampled pose, as TMD2 draws it.
using bots::TPose;

// The poses of one loop of an animation: its keyframes when fps is 0, else every 1/fps
// seconds of its keyframes played at KeyframesPerSecond, the last keyframe blending back to
// the first.
std::vector<TPose> SamplePoses(const TSpriteAnimation& animation, int32_t fps);

// Milliseconds one sampled frame lasts.
double FrameDuration(int32_t fps);

// "run_dir3_005": frame numbers take at least three digits, more when count needs them;
// direction numbers as many as the largest of `directions` needs ("run_dir03" of 16).
std::string FrameFileStem(const std::string& animation, int32_t direction, int32_t frame,
                          int32_t count, int32_t directions = 10);

}  // namespace quarn::sprites
