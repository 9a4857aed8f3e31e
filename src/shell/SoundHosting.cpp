// The sound device, the bot wave list and the sound manager every bot plays through.
#include "shell/MainForm.h"

namespace quarn::shell {

void TMainForm::CreateSoundComponents()
{
  // As stored with the window: exclusive cooperation, initialised once loaded. Without a
  // sound device the component stays uninitialised and the program runs silently.
  DXSound = std::make_unique<sound::TDXSound>(this);
  DXSound->SetOptions({sound::soExclusive});
  BotWaveList = std::make_unique<sound::TDXWaveList>();
  BotWaveList->SetDXSound(DXSound.get());
  DXSound->Loaded();
}

void TMainForm::CreateSoundManager()
{
  FSoundManager = std::make_unique<bots::TSoundManager>(FConsole.get());
  FSoundManager->Sound = DXSound.get();
  FSoundManager->WaveList = BotWaveList.get();
}

void TMainForm::LinkBotSound(bots::TBot& bot) { bot.SoundManager = FSoundManager.get(); }

}  // namespace quarn::shell
