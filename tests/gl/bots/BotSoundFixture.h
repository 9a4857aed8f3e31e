#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "SoundTestSupport.h"
#include "platform/Paths.h"
#include "sound/SoundSetFile.h"
#include "sound/Stream.h"
#include "support/ScratchFolder.h"

namespace quarn::test {

// A scratch folder under the bin directory for bot files and sound sets. Bot files name their
// files relative to the bin directory, so the folder's name relative to it is what they use.
class TBotScratchFolder : public TScratchFolder {
public:
  TBotScratchFolder() : TScratchFolder("bot_sound_tmp_", platform::ExeDir()) {}

  // A sound set `name` whose waves, one per name, are a second of a constant level; the result
  // is its name relative to the bin directory.
  std::string WriteSet(const std::string& name, std::initializer_list<const char*> waveNames) const
  {
    sound::TWaveCollection waves;
    for (const char* waveName : waveNames) {
      sound::TWaveCollectionItem& item = waves.Add();
      item.SetName(waveName);
      sound::test::MakeConstantWave(item.Wave(), sound::test::Rate);
    }
    sound::TFileStream file(Path + name, sound::TFileStream::fmCreate);
    sound::WriteSoundSet(file, waves);
    return Name + "/" + name;
  }
};

// Lines of a bot file with the demo robot's body model whose state 0 plays the run animation
// (frames 40 to 45) and advances one frame tick per 10 ms.
inline std::string RunningRobot()
{
  return "LoadMD2('bots/robot/robot.md2');\r\n"
         "SetTiming(0, 10);\r\n"
         "AddState(0, 'Run', KEY_NONE, RUN, true);\r\n";
}

inline constexpr int RobotFrames = 199;
inline constexpr int RunFirst = 40;
inline constexpr int RunLast = 45;

}  // namespace quarn::test
