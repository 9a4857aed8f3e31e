#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quarn::bots {
class TBot;
class TMD2;
}  // namespace quarn::bots

namespace quarn::shell {

// A run of consecutive frames sharing a recorded name once its trailing number is dropped
// ("stand01" .. "stand40" is stand 0-39). A break in the numbering starts a new run, so
// "pain101".."pain104" and "pain201".. are two runs named pain.
struct TFrameGroup {
  std::string Name;
  int32_t First;
  int32_t Last;
};

std::vector<TFrameGroup> FrameGroups(const bots::TMD2& model);

// What ModelInfo prints: for the body and the weapon, the file, frames, vertices, triangles,
// skin size, the recorded skin names the viewer looks for (and how many more there are) and
// the skin in use.
std::vector<std::string> ModelInfoLines(bots::TBot& bot);

// What Animations prints: the body's frame groups, then each built-in animation's range with
// "=" and the group it matches exactly, or "~" and the groups it covers.
std::vector<std::string> AnimationLines(const bots::TMD2& model);

}  // namespace quarn::shell
