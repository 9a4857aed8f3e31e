#pragma once
#include <memory>

#include "bots/SoundManager.h"
#include "sound/DXSound.h"
#include "sound/WaveCollection.h"

namespace quarn::render {
class TConsole;
}

namespace quarn::shell {

class TMainForm;

// The sound device, the bot wave list and the sound manager every bot plays through.
class TSoundHost {
public:
  // Opens the device for the window `owner`; without a sound device the program runs silently.
  explicit TSoundHost(const TMainForm& owner);
  ~TSoundHost();
  TSoundHost(const TSoundHost&) = delete;
  TSoundHost& operator=(const TSoundHost&) = delete;

  // The manager reports missing sounds on `console`.
  void CreateSoundManager(render::TConsole* console);

  sound::TDXSound& Sound() { return *FSound; }
  sound::TDXWaveList& WaveList() { return *FWaveList; }  // the current bot's sound set
  bots::TSoundManager* Manager() const { return FManager.get(); }

private:
  std::unique_ptr<sound::TDXSound> FSound;
  std::unique_ptr<sound::TDXWaveList> FWaveList;
  std::unique_ptr<bots::TSoundManager> FManager;
};

}  // namespace quarn::shell
