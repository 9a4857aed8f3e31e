#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "SoundTestSupport.h"
#include "platform/Paths.h"
#include "sound/SoundSetFile.h"
#include "sound/Stream.h"

namespace quarn::test {

// A scratch folder under the bin directory, named after the running test, for bot files and
// sound sets. Bot files name their files relative to the bin directory, so the folder's name
// relative to it is what they use.
class TScratchFolder {
public:
  TScratchFolder()
  {
    // Parameterised test names hold a '/': one folder per test, not a nested one.
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(test.begin(), test.end(), '/', '_');
    Name = "bot_sound_tmp_" + std::to_string(getpid()) + "_" + test;
    Path = platform::ExeDir() + Name + "/";
    std::filesystem::create_directories(Path);
  }
  ~TScratchFolder()
  {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  // Writes `text` to the file `name`; the result is its name relative to the bin directory.
  std::string Write(const std::string& name, const std::string& text) const
  {
    std::ofstream(Path + name, std::ios::binary) << text;
    return Name + "/" + name;
  }

  // A sound set `name` whose waves, one per name, are a second of a constant level; the result
  // is its name relative to the bin directory.
  std::string WriteSet(const std::string& name, std::initializer_list<const char*> waveNames) const
  {
    sound::TWaveCollection waves;
    for (const char* waveName : waveNames) {
      sound::TWaveCollectionItem& item = waves.Add();
      item.SetName(waveName);
      sound::test::MakeConstantWave(item.Wave(), sound::test::kRate);
    }
    sound::TFileStream file(Path + name, sound::TFileStream::fmCreate);
    sound::WriteSoundSet(file, waves);
    return Name + "/" + name;
  }

  std::string Name;  // relative to the bin directory
  std::string Path;  // full, with a trailing '/'
};

// Lines of a bot file with the demo robot's body model whose state 0 plays the run animation
// (frames 40 to 45) and advances one frame tick per 10 ms.
inline std::string RunningRobot()
{
  return "LoadMD2('bots/robot/robot.md2');\r\n"
         "SetTiming(0, 10);\r\n"
         "AddState(0, 'Run', KEY_NONE, RUN, true);\r\n";
}

inline constexpr int kRobotFrames = 199;
inline constexpr int kRunFirst = 40;
inline constexpr int kRunLast = 45;

}  // namespace quarn::test
