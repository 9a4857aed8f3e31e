// qscript --bot: the built tool loads bot files against the demo robot's files next to it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "BotRun.h"
#include "support/ScratchFolder.h"

namespace quarn::qscript {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int Status = -1;
  std::vector<std::string> Lines;  // stdout
  std::string Err;
};

std::string ShellQuote(const std::string& text)
{
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::vector<std::string> ReadLines(const fs::path& file)
{
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A file the bot file names, found from the program's folder.
std::string InBin(const std::string& name)
{
  return (fs::path(QUARN_BIN) / name).lexically_normal().string();
}

class QScriptBot : public ::testing::Test {
protected:
  void SetUp() override
  {
    FScratch = std::make_unique<test::TScratchFolder>("quarn_qscript_bot_");
    FDir = FScratch->Path;
  }
  void TearDown() override { FScratch.reset(); }

  // Writes a bot file into the test's directory; the result is its name relative to it.
  std::string Write(const std::string& name, const std::string& text)
  {
    std::ofstream(FDir / name, std::ios::binary) << text;
    return name;
  }

  // qscript --bot file, run from the test's directory.
  TRun Run(const std::string& file)
  {
    const fs::path out = FDir / "stdout.txt", err = FDir / "stderr.txt";
    const std::string command = "cd " + ShellQuote(FDir.string()) + " && " +
                                ShellQuote(QUARN_QSCRIPT) + " --bot " + ShellQuote(file) + " >" +
                                ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
    TRun run;
    const int status = std::system(command.c_str());
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Lines = ReadLines(out);
    std::ifstream errIn(err);
    run.Err.assign(std::istreambuf_iterator<char>(errIn), std::istreambuf_iterator<char>());
    return run;
  }

  std::unique_ptr<test::TScratchFolder> FScratch;
  fs::path FDir;
};

TEST_F(QScriptBot, DemoBotLoads)
{
  const TRun run = Run(std::string(QUARN_BIN) + "/bots/robot/robot.bot");
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Err, "");  // a GL context was made and no reader complained
  ASSERT_GE(run.Lines.size(), 6u);
  const std::vector<std::string> first(run.Lines.begin(), run.Lines.begin() + 6);
  EXPECT_EQ(first, (std::vector<std::string>{
                       "Load model bots/robot/robot.md2..OK",
                       "Load model skin bots/robot/robot.tga..OK",
                       "Load weapon bots/robot/weapon.md2..OK",
                       "Load weapon skin bots/robot/weapon.jpg..OK",
                       "Bot timing set",
                       "State Idle added",
                   }));
  const std::string precached =
      "Sound collection " +
      (fs::path(QUARN_BIN) / "bots/robot/robot.snd").lexically_normal().string() + " precached";
  EXPECT_NE(std::find(run.Lines.begin(), run.Lines.end(), precached), run.Lines.end()) << precached;
  EXPECT_EQ(run.Lines.back(), "Bot file robot.bot compiled");
}

// Each failing bot file: the lines printed before the failure, then the failure's own line.
struct TFailure {
  const char* Name;
  const char* Text;
  std::vector<std::string> Lines;
};

TEST_F(QScriptBot, FailuresPrintTheirLineAndExit1)
{
  const std::vector<TFailure> cases = {
      {"missing_model",
       "LoadMD2('bots/robot/absent.md2');\r\n",
       {"Runtimeerror: Model bots/robot/absent.md2 not found [Position 1]",
        "  tried " + InBin("bots/robot/absent.md2") + " and bots/robot/absent.md2"}},
      // A syntax error stops the file before any command runs.
      {"syntax",
       "LoadMD2('bots/robot/robot.md2');\nSetTiming(0, );\n",
       {"Syntaxerror: Expression expected. [Position 48]"}},
      {"missing_skin",
       "LoadMD2('bots/robot/robot.md2');\nLoadMD2Skin('bots/robot/absent.tga');\n",
       {"Load model bots/robot/robot.md2..OK",
        "Runtimeerror: Model skinbots/robot/absent.tga not found [Position 35]",
        "  tried " + InBin("bots/robot/absent.tga") + " and bots/robot/absent.tga"}},
      {"wrong_type",
       "SetTiming(0, 10);\nAddState('0', 'Idle', KEY_NONE, IDLE1, true);\n",
       {"Bot timing set",
        "Runtimeerror: Function ADDSTATE expects type INTEGER instead of type STRING at argument 1 "
        "[Position 20]"}},
      {"unknown_command",
       "LoadBot('robot.bot');\n",
       {"Syntaxerror: Function LOADBOT is not defined [Position 1]"}},
  };
  for (const TFailure& c : cases) {
    SCOPED_TRACE(c.Name);
    const TRun run = Run(Write(std::string(c.Name) + ".bot", c.Text));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Lines, c.Lines);
  }
}

TEST_F(QScriptBot, FileIsFoundFromTheCurrentDirectory)
{
  // The bot file is a command-line path; the model it names is found next to qscript.
  Write("mine.bot", "LoadMD2('bots/robot/robot.md2'); SetTiming(0, 20);");
  const TRun run = Run("mine.bot");
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Lines, (std::vector<std::string>{
                           "Load model bots/robot/robot.md2..OK", "Bot timing set",
                           "Warning: model robot.md2 has no skin; it is drawn plain grey",
                           "Bot file mine.bot compiled"}));
}

TEST_F(QScriptBot, UnreadableFileIsARuntimeError)
{
  for (const std::string name : {"absent.bot", "it's here.bot", "."}) {
    const TRun run = Run(name);
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Lines,
              std::vector<std::string>{"Runtimeerror: Cannot open file " + name + " [Position 1]"});
  }
}

TEST(ScriptLiteral, HoldsAnyTextExactly)
{
  const std::array<std::pair<const char*, const char*>, 6> cases{{
      {"", "''"},
      {"a.bot", "'a.bot'"},
      {"it's", "'it''s'"},
      {"'", "''''"},
      {"a\nb", "'a'#10'b'"},
      {"\t", "#9"},
  }};
  for (const auto& [text, literal] : cases) EXPECT_EQ(ScriptLiteral(text), literal) << text;
}

}  // namespace
}  // namespace quarn::qscript
