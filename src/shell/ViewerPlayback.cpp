// Choosing what the bot plays by its frame groups, the window's size and field of view.
#include <algorithm>

#include "render/Console.h"
#include "shell/BotHost.h"

namespace quarn::shell {

namespace {

std::string Range(int32_t first, int32_t last)
{
  return std::to_string(first) + "-" + std::to_string(last);
}

}  // namespace

bool TBotHost::PlayGroup(const std::string& name, std::string& reason)
{
  if (!FBot->Active() || !FBot->Model().IsLoaded()) {
    reason = "no model is loaded";
    return false;
  }
  const std::vector<model::TAnimation> found = model::FindAnimations(FGroups, name);
  if (found.empty()) {
    reason = "the model has no frames named '" + name + "'; Animations lists them";
    return false;
  }
  FPlayback.Play(*FBot, found.front().First, found.front().Last, found.front().Name);
  return true;
}

bool TBotHost::PlayFrames(int32_t first, int32_t last, std::string& reason)
{
  if (!FBot->Active() || !FBot->Model().IsLoaded()) {
    reason = "no model is loaded";
    return false;
  }
  const int32_t frames = FBot->Model().GetFrameCount();
  if (first < 0 || last < first || last >= frames) {
    reason = "frames " + Range(first, last) + " are not a range of the model's frames 0-" +
             std::to_string(frames - 1);
    return false;
  }
  FPlayback.Play(*FBot, first, last, "frames " + Range(first, last));
  return true;
}

bool TBotHost::PlayNextGroup(int direction, std::string& reason)
{
  if (FGroups.empty()) {
    reason = FBot->Model().IsLoaded() ? "the model's frames have no names" : "no model is loaded";
    return false;
  }
  // The group playing, or the one the frame shown lies in.
  const int32_t frame = FBot->Model().CurrentFrame;
  int64_t at = -1;
  for (size_t i = 0; i < FGroups.size(); ++i) {
    const model::TAnimation& group = FGroups[i];
    const bool playing =
        FPlayback.Playing() && group.First == FPlayback.First() && group.Last == FPlayback.Last();
    if (playing || (at < 0 && frame >= group.First && frame <= group.Last)) at = int64_t(i);
    if (playing) break;
  }
  const int64_t count = int64_t(FGroups.size());
  const int64_t next =
      at < 0 ? (direction > 0 ? 0 : count - 1) : ((at + direction) % count + count) % count;
  const model::TAnimation& group = FGroups[size_t(next)];
  FPlayback.Play(*FBot, group.First, group.Last, group.Name);
  return true;
}

void TBotHost::Resize(int viewportWidth, int viewportHeight)
{
  FCameraControl.Resize(viewportWidth, viewportHeight);
}

void TBotHost::SetFieldOfView(double degrees)
{
  FStyle.FieldOfView = degrees;
  FCameraControl.SetFieldOfView(degrees);
}

}  // namespace quarn::shell
