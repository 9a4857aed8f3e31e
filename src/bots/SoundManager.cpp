#include "bots/SoundManager.h"

#include "render/Console.h"
#include "sound/WaveCollection.h"

namespace quarn::bots {

bool TSoundManager::Precache(const std::string& fileName)
{
  try {
    if (!WaveList) throw sound::EWaveCollectionError("no wave list");
    WaveList->Items().LoadFromFile(fileName);
  } catch (...) {
    // Whatever went wrong, the bot file goes on; the set keeps what the load left in it.
    Print("Error precaching" + fileName);
    return false;
  }
  Print("Sound collection " + fileName + " precached");
  return true;
}

void TSoundManager::Play(const std::string& name)
{
  if (!WaveList) return;
  WaveList->Items().Find(name).Play(false);
}

bool TSoundManager::Has(const std::string& name) const
{
  return !WaveList || WaveList->Items().IndexOf(name) >= 0;
}

void TSoundManager::Print(const std::string& line)
{
  if (FConsole) FConsole->Add(line);
}

}  // namespace quarn::bots
