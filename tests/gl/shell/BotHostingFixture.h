#pragma once
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "MainFormFixture.h"
#include "platform/Paths.h"

// The bot's clock in these tests: each Frame() moves it on by 10 ms.
inline uint32_t gBotNow = 0;
inline uint32_t FakeBotClock() { return gBotNow; }

// A main window whose bot runs on the fake clock, with a scratch folder under the bin
// directory for bot files (LoadBot names are relative to it) and animation files.
class BotHostingTest : public MainFormTest {
protected:
  void SetUp() override
  {
    MainFormTest::SetUp();
    if (HasFatalFailure()) return;
    gBotNow = 1000;
    form->Bots().TickClock = FakeBotClock;
    // Parameterised test names hold a '/': one folder per test, not a nested one.
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(test.begin(), test.end(), '/', '_');
    scratchName = "bot_hosting_tmp_" + std::to_string(getpid()) + "_" + test;
    scratch = quarn::platform::ExeDir() + scratchName + "/";
    std::filesystem::create_directories(scratch);
  }
  void TearDown() override
  {
    MainFormTest::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
  }

  // Writes a file into the scratch folder; the result is its name relative to the bin
  // directory, as LoadBot takes it.
  std::string WriteBot(const std::string& name, const std::string& text)
  {
    std::ofstream(scratch + name, std::ios::binary) << text;
    return scratchName + "/" + name;
  }
  // Writes a file into the scratch folder and returns its full path.
  std::string WriteFile(const std::string& name, const std::string& text)
  {
    std::ofstream(scratch + name, std::ios::binary) << text;
    return scratch + name;
  }

  std::vector<std::string> LoadBot(const std::string& name) { return Run("LoadBot('" + name + "')"); }

  // One frame, 10 ms of bot time after the previous one.
  void Frame()
  {
    gBotNow += 10;
    form->GLTimerTimer(form->GLTimer(), 1);
  }
  // Runs frames until pred() holds or `limit` frames have run; the result is the number run,
  // or -1 when pred never held.
  template <class Pred>
  int FramesUntil(Pred pred, int limit = 2000)
  {
    for (int n = 1; n <= limit; ++n) {
      Frame();
      if (pred()) return n;
    }
    return -1;
  }

  int32_t State() { return form->Bots().Bot().Automata().Current(); }
  int32_t Requested() { return form->Bots().Bot().Automata().Requested(); }
  void KeyDown(uint16_t key) { form->FormKeyDown(key); }
  void KeyUp(uint16_t key) { form->FormKeyUp(key); }

  // The wrapped lines of one script error joined back into its message.
  static std::string Joined(const std::vector<std::string>& lines)
  {
    std::string all;
    for (const std::string& line : lines) all += line;
    return all;
  }

  std::string scratchName;
  std::string scratch;
};

// A bot with an idle and a running state and transitions both ways; the running state's
// interruptible flag is the parameter. Files are those of the demo robot.
inline std::string IdleRunBot(bool runInterruptible)
{
  return "LoadMD2('bots/robot/robot.md2');\r\n"
         "SetTiming(0, 10);\r\n"
         "AddState(0, 'Idle', KEY_NONE, IDLE1, true);\r\n"
         "AddState(1, 'Run', KEY_FORWARD, RUN, " +
         std::string(runInterruptible ? "true" : "false") +
         ");\r\n"
         "AddNextState(0, 1);\r\n"
         "AddNextState(1, 0);\r\n";
}
