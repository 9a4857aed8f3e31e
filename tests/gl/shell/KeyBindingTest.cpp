// Keys a user chooses: Bind, Unbind and Binds at the console, and the start-up file that keeps
// them.
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "MainFormFixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string Joined(const std::vector<std::string>& lines)
{
  std::string all;
  for (const auto& line : lines) all += line;
  return all;
}

// The movement mask while `key` is held down, and after it is released.
std::pair<uint16_t, uint16_t> Press(quarn::shell::TMainForm& form, uint16_t key)
{
  form.FormKeyDown(key);
  const uint16_t down = form.Bots().KeyState();
  form.FormKeyUp(key);
  return {down, form.Bots().KeyState()};
}

TEST_F(MainFormTest, BoundKeysMoveByTheirActionAndBindsListsTheMap)
{
  for (const char* line : {"Bind('C', KEY_CROUCH)", "Bind('lctrl', KEY_JUMP)",
                           "Bind('F5', KEY_STRAFELEFT)", "Bind('KP5', KEY_UNUSED5)",
                           "Bind('up', KEY_BACK)", "Unbind('KP0')", "Bind('SPACE', KEY_NONE)"})
    EXPECT_TRUE(Run(line).empty()) << line;
  const struct {
    uint16_t Key;
    uint16_t Mask;
  } keys[] = {{'C', 256}, {17, 128}, {116, 32}, {101, 32768}, {38, 2},
              {96, 0},    {32, 0},   {40, 2},   {13, 512}};
  for (const auto& k : keys)
    EXPECT_EQ(Press(*form, k.Key), std::make_pair(k.Mask, uint16_t(0))) << k.Key;

  EXPECT_THAT(Run("Binds"),
              ElementsAre("ENTER KEY_PRIMARYATTACK", "CTRL KEY_JUMP", "UP KEY_BACK",
                          "DOWN KEY_BACK", "C KEY_CROUCH", "KP5 KEY_UNUSED5", "F5 KEY_STRAFELEFT"));
  for (const char* key : {"ENTER", "LCTRL", "UP", "DOWN", "C", "KP5", "F5"})
    Run(std::string("Unbind('") + key + "')");
  EXPECT_THAT(Run("Binds"), ElementsAre("No key is bound"));
}

TEST_F(MainFormTest, BadBindingsAreRuntimeErrorsThatNameTheirCause)
{
  const struct {
    const char* Line;
    const char* Message;
  } cases[] = {
      {"Bind('Q1', KEY_JUMP)", "Unknown key name 'Q1'"},
      {"Bind('', KEY_JUMP)", "Unknown key name ''"},
      {"Unbind('KP10')", "Unknown key name 'KP10'"},
      {"Bind('F13', KEY_JUMP)", "Unknown key name 'F13'"},
      {"Bind('Tab', KEY_JUMP)", "Key 'Tab' cannot be bound"},
      {"Bind('ESCAPE', KEY_JUMP)", "Key 'ESCAPE' cannot be bound"},
      {"Bind('C', 3)", "3 is not a KEY_ constant"},
      {"Bind('C', 8)", "8 is not a KEY_ constant"},
  };
  for (const auto& c : cases) {
    const std::string all = Joined(Run(c.Line));
    EXPECT_THAT(all, ::testing::StartsWith("Runtimeerror: ")) << c.Line;
    EXPECT_THAT(all, HasSubstr(c.Message)) << c.Line;
  }
  EXPECT_EQ(Press(*form, 'C'), std::make_pair(uint16_t(0), uint16_t(0)));
  EXPECT_EQ(Press(*form, 96), std::make_pair(uint16_t(256), uint16_t(0)));
}

TEST_F(MainFormTest, RebindingTheKeyThatEnteredTheLineLeavesNoMovementHeld)
{
  // Enter is held while its own line runs: its key-up must not leave the old action set.
  for (char c : std::string("Bind('ENTER', KEY_JUMP)")) form->FormKeyPress(c);
  form->FormKeyDown(13);
  EXPECT_EQ(form->Bots().KeyState(), 512);
  form->FormKeyPress(13);
  form->FormKeyUp(13);
  EXPECT_EQ(form->Bots().KeyState(), 0);
  EXPECT_EQ(Press(*form, 13), std::make_pair(uint16_t(128), uint16_t(0)));
}

class AutoexecTest : public MainFormTest {
protected:
  void TearDown() override
  {
    MainFormTest::TearDown();
    std::filesystem::remove(File);
  }

  // Restarts the window with `text` as its start-up file and runs the start-up lines.
  void StartWith(const std::string& text, std::vector<std::string> exec = {})
  {
    std::ofstream(File, std::ios::binary) << text;
    // Whatever the umask: a start-up file others may write is not run.
    namespace fs = std::filesystem;
    fs::permissions(File, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    Restart(std::move(exec));
  }

  // Restarts the window with whatever File now is as its start-up file.
  void Restart(std::vector<std::string> exec = {})
  {
    quarn::shell::TMainFormOptions options;
    options.Screen = quarn::shell::TScreenChoice::Windowed;
    options.AutoexecFile = File;
    options.ExecLines = std::move(exec);
    form.reset();
    form = std::make_unique<quarn::shell::TMainForm>(options);
    ASSERT_TRUE(form->Started());
    form->ExecStartupLines();
  }

  std::string File = (std::filesystem::temp_directory_path() /
                      ("quarn_autoexec_" + std::to_string(::getpid()) + ".txt"))
                         .string();
};

TEST_F(AutoexecTest, ItsLinesRunAsTypedBeforeTheExecLines)
{
  StartWith("Bind('C', KEY_CROUCH)\r\nNoSuchCommand\n\nDrawFPS(false)\rBind('C', KEY_JUMP)",
            {"Bind('C', KEY_BACK)"});
  const std::string all = Joined(Lines());
  EXPECT_THAT(all, HasSubstr("NoSuchCommand"));
  EXPECT_THAT(all, HasSubstr("Syntaxerror: "));
  EXPECT_FALSE(form->ShowFPS());
  EXPECT_EQ(Press(*form, 'C').first, 2) << "the --exec line runs last";
}

TEST_F(AutoexecTest, BinaryOrHugeFilesAreReportedAndNotRun)
{
  StartWith(std::string("DrawFPS(false)\n\0\x01\x02", 18));
  EXPECT_THAT(Joined(Lines()), HasSubstr("is not a text file; it was not run."));
  EXPECT_TRUE(form->ShowFPS());

  StartWith("DrawFPS(false)\n" + std::string(quarn::shell::AutoexecMaxBytes, '/'));
  EXPECT_THAT(Joined(Lines()), HasSubstr("is larger than 1 MiB; it was not run."));
  EXPECT_TRUE(form->ShowFPS());
}

TEST_F(AutoexecTest, AStartUpFileThatIsNoRegularFileSaysWhatItIs)
{
  namespace fs = std::filesystem;
  const struct {
    const char* Name;
    void (*Make)(const std::string& path);
    const char* Reason;
  } cases[] = {
      {"folder", [](const std::string& path) { fs::create_directory(path); }, "is a folder"},
      {"fifo", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
       "is a FIFO"},
      {"link_to_a_device",
       [](const std::string& path) { fs::create_symlink("/dev/zero", path); }, "is a device"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(File);
    c.Make(File);
    Restart();
    EXPECT_THAT(Joined(Lines()), HasSubstr("Cannot read " + File + "; it was not run.  " +
                                           File + " " + c.Reason));
    fs::remove_all(File);
  }
}

}  // namespace
