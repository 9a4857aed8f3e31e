// qscript --bot as a bot author uses it: where an error is, warnings, and --strict.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

struct TRun {
  int Status = -1;
  std::string Out, Err;
};

std::string ReadAll(const fs::path& file)
{
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `qscript OPTIONS FILE` in a fresh folder holding FILE with `text`.
TRun RunBot(const std::string& options, const std::string& text)
{
  const fs::path dir =
      fs::temp_directory_path() / ("quarn_qscript_diag_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "my.bot", std::ios::binary) << text;
  const std::string command = "cd '" + dir.string() + "' && '" + QUARN_QSCRIPT + "' " + options +
                              " my.bot >out.txt 2>err.txt";
  const int status = std::system(command.c_str());
  TRun run;
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Out = ReadAll(dir / "out.txt");
  run.Err = ReadAll(dir / "err.txt");
  fs::remove_all(dir);
  return run;
}

TEST(QScriptBotDiagnostics, ErrorsOnStderrStartWithFileLineAndColumn)
{
  const struct {
    const char* Text;
    std::string Err;
  } Cases[] = {
      {"SetTiming(0, 10);\nLoadMD2('bots/robot/absent.md2');\n",
       "my.bot:2:1: Runtimeerror: Model bots/robot/absent.md2 not found [Position 20]\n"},
      {"SetTiming(0, 10);\r\n  SetTiming(0, );\r\n",
       "my.bot:2:16: Syntaxerror: Expression expected. [Position 35]\n"},
  };
  for (const auto& c : Cases) {
    const TRun run = RunBot("--bot", c.Text);
    EXPECT_EQ(run.Status, 1) << c.Text;
    EXPECT_NE(run.Err.find(c.Err), std::string::npos) << run.Err;
  }
}

TEST(QScriptBotDiagnostics, WarningsAreConsoleLinesAndStrictFailsOnThem)
{
  const std::string text =
      "LoadMD2('bots/robot/robot.md2');\n"
      "LoadMD2Skin('bots/robot/robot.tga');\n"
      "AddState(0, 'Idle', KEY_NONE, 25, true);\n"
      "AddState(1, 'Run', KEY_FORWARD, RUN, true);\n"
      "SetSound(41, 'footstep', false);\n"
      "SetSound(42, 'no such wave', false);\n"
      "SetSound(43, 'no such wave', false);\n"
      "PrecacheSet('bots/robot/robot.snd');\n";
  const TRun lax = RunBot("--bot", text);
  EXPECT_EQ(lax.Status, 0) << lax.Err;
  const std::string expected[] = {
      "State Idle added\nWarning: animation 25 of state Idle is not one of 0-18\nState Run added\n",
      "precached\nWarning: sound no such wave is not in the precached set\nBot file my.bot "
      "compiled\n",
  };
  for (const std::string& lines : expected)
    EXPECT_NE(lax.Out.find(lines), std::string::npos) << lax.Out;

  EXPECT_EQ(RunBot("--bot --strict", text).Status, 1);
  EXPECT_EQ(RunBot("--bot --strict",
                   "LoadMD2('bots/robot/robot.md2');"
                   "LoadMD2Skin('bots/robot/robot.tga');")
                .Status,
            0);
  // A model without a skin is a warning too.
  const TRun bare = RunBot("--bot --strict", "LoadMD2('bots/robot/robot.md2');");
  EXPECT_EQ(bare.Status, 1);
  EXPECT_NE(bare.Out.find("\nWarning: model robot.md2 has no skin; it is drawn plain grey\nBot "
                          "file my.bot compiled\n"),
            std::string::npos)
      << bare.Out;
}

}  // namespace
