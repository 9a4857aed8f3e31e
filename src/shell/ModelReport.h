#pragma once
#include <string>
#include <vector>

namespace quarn::bots {
class TBot;
class TMD2;
}  // namespace quarn::bots

namespace quarn::shell {

// What ModelInfo prints: for the body and the weapon, the file, frames, vertices, triangles,
// skin size, the recorded skin names the viewer looks for (and how many more there are) and
// the skin in use.
std::vector<std::string> ModelInfoLines(bots::TBot& bot);

// What Animations prints: the body's recorded animations (model::RecordedAnimations), then each
// built-in animation's range with
// "=" and the group it matches exactly, or "~" and the groups it covers.
std::vector<std::string> AnimationLines(const bots::TMD2& model);

}  // namespace quarn::shell
