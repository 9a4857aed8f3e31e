#include "bots/SoundManager.h"

#include <filesystem>

#include "render/Console.h"
#include "sound/Stream.h"
#include "sound/WaveCollection.h"

namespace quarn::bots {

bool TSoundManager::Precache(const std::string& fileName, const std::string& alsoTried)
{
  // Whatever went wrong, the bot file goes on; the set keeps what the load left in it.
  try {
    if (!WaveList) throw sound::EWaveCollectionError("no wave list");
    WaveList->Items().LoadFromFile(fileName);
  } catch (const sound::EFOpenError&) {
    std::error_code error;
    const bool exists = std::filesystem::exists(fileName, error);
    Print("Error precaching" + fileName);
    if (!exists && !alsoTried.empty()) Print("  also tried " + alsoTried);
    if (exists)
      Print(std::filesystem::is_regular_file(fileName, error) ? "  cannot open the file"
                                                              : "  not a regular file");
    return false;
  } catch (const std::exception& e) {
    Print("Error precaching" + fileName);
    Print(std::string("  ") + e.what());
    return false;
  } catch (...) {
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
