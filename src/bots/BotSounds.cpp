// Sounds attached to body-model frames: the frame-sound table, its two bot file commands and
// the handler that plays a frame's sound.
#include "bots/Bot.h"

#include <algorithm>

#include "bots/SoundManager.h"
#include "render/Console.h"
#include "script/Errors.h"
#include "script/HostArgs.h"

namespace quarn::bots {

void TBot::BodyFrameReached(int32_t frame)
{
  // Frames outside the table (a range past the model's last frame) have no sound.
  if (!SoundManager || frame < 0 || static_cast<size_t>(frame) >= FCadences.size()) return;
  if (const auto& cadence = FCadences[static_cast<size_t>(frame)])
    SoundManager->Play(cadence->SoundName);
}

void TBot::SetSound(const script::TArgList& args)
{
  const int32_t frame = script::ArgInteger(args, 0);
  const std::string name = script::ArgText(args, 1);
  const bool flag = script::ArgBoolean(args, 2);
  // The table has one slot per body frame, sized by LoadMD2: a frame outside it can never
  // be reached, so it is refused rather than silently dropped.
  if (frame < 0 || static_cast<size_t>(frame) >= FCadences.size())
    throw script::EScriptError("Frame " + std::to_string(frame) + " is not a frame of the model");
  FCadences[static_cast<size_t>(frame)] = TCadence{name, flag};
  Print("Cadencer command : " + name + "...OK");
}

void TBot::CheckSounds()
{
  if (!SoundManager) return;
  std::vector<std::string> warned;
  for (const auto& cadence : FCadences) {
    if (!cadence || SoundManager->Has(cadence->SoundName)) continue;
    if (std::find(warned.begin(), warned.end(), cadence->SoundName) != warned.end()) continue;
    warned.push_back(cadence->SoundName);
    Warn("sound " + cadence->SoundName + " is not in the precached set");
  }
}

void TBot::PrecacheSet(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  if (!SoundManager) return;
  std::vector<std::string> tried;
  const std::string path = Locate(name, tried);
  SoundManager->Precache(path, tried.back() != path ? tried.back() : std::string());
}

}  // namespace quarn::bots
