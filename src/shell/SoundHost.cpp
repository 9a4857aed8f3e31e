#include "shell/SoundHost.h"

#include <cstdio>

namespace quarn::shell {

TSoundHost::TSoundHost(const TMainForm& owner)
{
  // As stored with the window: exclusive cooperation, initialised once loaded. Without a
  // sound device the component stays uninitialised.
  FSound = std::make_unique<sound::TDXSound>(&owner);
  FSound->SetOptions({sound::soExclusive});
  FWaveList = std::make_unique<sound::TDXWaveList>();
  FWaveList->SetDXSound(FSound.get());
  FSound->Loaded();
  if (!FSound->Initialized()) std::fprintf(stderr, "quarn: no sound device, running silently\n");
}

TSoundHost::~TSoundHost() = default;

void TSoundHost::CreateSoundManager(render::TConsole* console)
{
  FManager = std::make_unique<bots::TSoundManager>(console);
  FManager->Sound = FSound.get();
  FManager->WaveList = FWaveList.get();
}

}  // namespace quarn::shell
