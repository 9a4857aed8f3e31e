#pragma once
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "MainFormFixture.h"
#include "platform/Paths.h"
#include "support/FakeClock.h"
#include "support/ScratchFolder.h"

// A main window whose bot runs on the fake clock, with a scratch folder under the bin
// directory for bot files (LoadBot names are relative to it) and animation files.
class BotHostingTest : public MainFormTest {
protected:
  void SetUp() override
  {
    MainFormTest::SetUp();
    if (HasFatalFailure()) return;
    botClock.emplace(1000);
    form->Bots().TickClock = quarn::test::TFakeClock::Ticks;
    folder.emplace("bot_hosting_tmp_", quarn::platform::ExeDir());
    scratchName = folder->Name;
    scratch = folder->Path;
  }
  void TearDown() override
  {
    MainFormTest::TearDown();
    folder.reset();
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

  std::vector<std::string> LoadBot(const std::string& name)
  {
    return Run("LoadBot('" + name + "')");
  }

  // One frame, 10 ms of bot time after the previous one.
  void Frame()
  {
    botClock->Advance(10);
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

  // The bot's clock: each Frame() moves it on by 10 ms.
  std::optional<quarn::test::TFakeClock> botClock;
  std::optional<quarn::test::TScratchFolder> folder;
  std::string scratchName;  // relative to the bin directory
  std::string scratch;      // full, with a trailing '/'
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
