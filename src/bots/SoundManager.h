#pragma once
#include <string>

namespace quarn::render {
class TConsole;
}
namespace quarn::sound {
class TDXSound;
class TDXWaveList;
}  // namespace quarn::sound

namespace quarn::bots {

// The bots' link to sound output: loads a sound set into the main window's wave list, reporting
// the outcome on the console, and plays a wave of that set by name. One set is held at a time.
class TSoundManager {
public:
  explicit TSoundManager(render::TConsole* console) : FConsole(console) {}

  // Loads the sound set file `fileName` (used as given). Any failure becomes the console line
  // "Error precaching<fileName>" and false, followed by an indented line with the reader's reason
  // when the file is there; success prints "Sound collection <fileName> precached". A file that
  // is not there names `alsoTried` too, when given: another place it was looked for.
  bool Precache(const std::string& fileName, const std::string& alsoTried = "");
  // Starts the wave `name` of the current set without waiting for it. A name not in the set
  // raises EWaveCollectionError "Wave '<name>' not found".
  void Play(const std::string& name);
  // The current set holds a wave of that name (letter case aside); true without a wave list.
  bool Has(const std::string& name) const;

  sound::TDXSound* Sound = nullptr;        // not owned: the main window's DXSound
  sound::TDXWaveList* WaveList = nullptr;  // not owned: the main window's BotWaveList

private:
  void Print(const std::string& line);

  render::TConsole* FConsole;  // not owned; may be null
};

}  // namespace quarn::bots
