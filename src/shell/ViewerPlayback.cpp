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
  return FPlayback.PlayGroup(*FBot, name, reason);
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

bool TBotHost::ViewerKey(uint16_t key, std::string& message)
{
  if (!FViewer.ViewerKey(key, *FBot, FPlayback, message)) return false;
  SetShowPlayback(true);
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
