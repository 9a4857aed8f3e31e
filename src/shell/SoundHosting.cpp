// The sound device, the bot wave list and the sound manager every bot plays through.
#include "shell/MainForm.h"

namespace quarn::shell {

void TMainForm::CreateSoundManager() {}

void TMainForm::LinkBotSound(bots::TBot& bot) { bot.SoundManager = nullptr; }

}  // namespace quarn::shell
