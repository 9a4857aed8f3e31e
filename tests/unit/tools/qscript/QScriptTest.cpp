// qscript's command line: modes, constants, exit statuses and messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "QScript.h"
#include "script/Nodes.h"

namespace quarn::qscript {
namespace {

struct TResult {
  int Status;
  std::string Out, Err;
};

TResult RunQScript(std::vector<std::string> args)
{
  std::ostringstream out, err;
  int status = Main(args, out, err);
  return {status, out.str(), err.str()};
}

class QScriptFiles : public ::testing::Test {
protected:
  std::string Write(const std::string& text)
  {
    std::string name = ::testing::TempDir() + "qscript_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    std::ofstream(name, std::ios::binary) << text;
    FFiles.push_back(name);
    return name;
  }
  void TearDown() override
  {
    for (const std::string& name : FFiles) std::remove(name.c_str());
  }
  std::vector<std::string> FFiles;
};

TEST_F(QScriptFiles, RunsAFile)
{
  TResult r = RunQScript({Write("x := 0;\nfor i := 1 to 4 do x := x + i;\nPrint('sum', x);")});
  EXPECT_EQ(r.Status, ExitSuccess);
  EXPECT_EQ(r.Out, "sum 10\n");
  EXPECT_EQ(r.Err, "");
}

// The kinds the compiler chose, one node a line with its place; with --no-specialise every
// call is a general call and the tree keeps its shape. Nothing runs.
TEST_F(QScriptFiles, DumpTreeShowsEachNodesKind)
{
  const bool before = script::SpecialiseNodes();
  script::SetSpecialiseNodes(true);
  const std::string name = Write(
      "x := 0;\nfor i := 1 to 3 do\n  if i mod 2 = 0 then x := x + i else a[i] := 'v' + 'w';\n"
      "Print(x * 1.5);\nwhile x < 0 do x := 1; repeat until true");
  TResult typed = RunQScript({"--dump-tree", name});
  TResult general = RunQScript({"--no-specialise", "--dump-tree", name});
  script::SetSpecialiseNodes(before);
  EXPECT_EQ(typed.Status, ExitSuccess);
  EXPECT_EQ(typed.Out,
            "block SCRIPT\n"
            "  assignment SET 1:1\n"
            "    variable X @0 1:1\n"
            "    constant 0 1:6\n"
            "  for FOR 2:1\n"
            "    variable I @1 2:5\n"
            "    constant 1 2:10\n"
            "    constant 3 2:15\n"
            "    constant 1\n"
            "    if-else ELSE 3:34\n"
            "      number operator = 3:14\n"
            "        number operator MOD 3:8\n"
            "          variable I @1 3:6\n"
            "          constant 2 3:12\n"
            "        constant 0 3:16\n"
            "      number assignment SET 3:23\n"
            "        variable X @0 3:23\n"
            "        number operator + 3:30\n"
            "          variable X @0 3:28\n"
            "          variable I @1 3:32\n"
            "      assignment SET 3:39\n"
            "        element A @2 3:39\n"
            "          variable I @1 3:41\n"
            "        constant 'vw' 3:51\n"
            "  call PRINT 4:1\n"
            "    number operator * 4:9\n"
            "      variable X @0 4:7\n"
            "      constant 1.5 4:11\n"
            "  while WHILE 5:1\n"
            "    number operator < 5:9\n"
            "      variable X @0 5:7\n"
            "      constant 0 5:11\n"
            "    assignment SET 5:16\n"
            "      variable X @0 5:16\n"
            "      constant 1 5:21\n"
            "  repeat REPEAT 5:24\n"
            "    constant TRUE 5:37\n");
  // Every typed node's kind, at the start of its line after the indent, reads "call".
  std::string expected;
  std::istringstream lines(typed.Out);
  for (std::string line; std::getline(lines, line);) {
    const size_t indent = line.find_first_not_of(' ');
    for (const char* kind : {"block ", "if-else ", "number operator ", "number assignment ", "logic ",
                             "assignment ", "operator ", "for ", "while ", "repeat "})
      if (line.compare(indent, std::strlen(kind), kind) == 0) {
        line.replace(indent, std::strlen(kind), "call ");
        break;
      }
    expected += line + '\n';
  }
  EXPECT_EQ(general.Status, ExitSuccess);
  EXPECT_EQ(general.Out, expected);
  EXPECT_EQ(RunQScript({"--dump-tree", Write("x := ;")}).Status, ExitScriptFailed);
}

TEST_F(QScriptFiles, CheckCompilesWithoutRunning)
{
  TResult ok = RunQScript({"--check", Write("Print('ran'); x := 1 div 1")});
  EXPECT_EQ(ok.Status, ExitSuccess);
  EXPECT_EQ(ok.Out, "");
  const std::string name = Write("x := ;");
  TResult bad = RunQScript({"--check", name});
  EXPECT_EQ(bad.Status, ExitScriptFailed);
  EXPECT_EQ(bad.Err, name + ":1:6: Syntaxerror: Expression expected. [Position 6]\n");
}

TEST_F(QScriptFiles, ErrorsStartWithFileLineAndColumn)
{
  // Lines end at LF, CR LF or a lone CR; the message after the place is the usual one.
  const struct {
    const char* Text;
    const char* Start;
  } Cases[] = {
      {"Print(1);\nx := ;\n", ":2:6: Syntaxerror: Expression expected. [Position "},
      {"x := 0;\r\ny := 1 div x", ":2:8: Runtimeerror: Division by zero [Position "},
      {"x := 0;\r\r  y := 1 div x", ":3:10: Runtimeerror: Division by zero [Position "},
  };
  for (const auto& c : Cases) {
    const std::string name = Write(c.Text);
    EXPECT_EQ(RunQScript({name}).Err.rfind(name + c.Start, 0), 0u) << c.Text;
  }
}

TEST_F(QScriptFiles, UnreadableFileFails)
{
  TResult r = RunQScript({"/nonexistent/dir/script.txt"});
  EXPECT_EQ(r.Status, ExitScriptFailed);
  EXPECT_EQ(r.Err, "qscript: cannot read /nonexistent/dir/script.txt\n");
}

TEST(QScriptCommandLine, EvalText)
{
  TResult r = RunQScript({"-e", "Print(format('%d items at %.2f', 3, 1.5))"});
  EXPECT_EQ(r.Status, ExitSuccess);
  EXPECT_EQ(r.Out, "3 items at 1.50\n");
}

TEST(QScriptCommandLine, ScriptErrorsAndOtherExceptions)
{
  TResult runtime = RunQScript({"-e", "x := 0; Print(1 div x)"});
  EXPECT_EQ(runtime.Status, ExitScriptFailed);
  EXPECT_EQ(runtime.Err, "-e:1:17: Runtimeerror: Division by zero [Position 17]\n");
  TResult outside = RunQScript({"-e", "break"});
  EXPECT_EQ(outside.Status, ExitScriptFailed);
  EXPECT_EQ(outside.Err, "-e: Exception : \n");
  TResult exited = RunQScript({"-e", "Print(1); exit; Print(2)"});
  EXPECT_EQ(exited.Status, ExitSuccess);
  EXPECT_EQ(exited.Out, "1\n");
}

TEST(QScriptCommandLine, OutputBeforeAnErrorIsKept)
{
  TResult r = RunQScript({"-e", "Print('before'); x := StrToInt('no')"});
  EXPECT_EQ(r.Out, "before\n");
  EXPECT_EQ(r.Err, "-e:1:23: Runtimeerror: 'no' is not a valid integer value [Position 23]\n");
}

TEST(QScriptCommandLine, DefinesConstants)
{
  TResult r = RunQScript({"-D", "N=5", "-DF=2.5", "-D", "S=hello world", "-D", "H=$10", "-e",
                          "Print(N + 1, F * 2, S, H)"});
  EXPECT_EQ(r.Status, ExitSuccess) << r.Err;
  EXPECT_EQ(r.Out, "6 5 hello world 16\n");
}

TEST(QScriptCommandLine, ConstantValueKinds)
{
  EXPECT_TRUE(ConstantValue("12").IsInteger());
  EXPECT_TRUE(ConstantValue("-0x1F").IsInteger());
  EXPECT_TRUE(ConstantValue("1.5").IsFloat());
  EXPECT_TRUE(ConstantValue("1e3").IsFloat());
  EXPECT_TRUE(ConstantValue("99999999999").IsFloat());
  EXPECT_TRUE(ConstantValue("inf").IsString());
  EXPECT_TRUE(ConstantValue("").IsString());
  EXPECT_TRUE(ConstantValue("1.5x").IsString());
  EXPECT_TRUE(ConstantValue("bot.txt").IsString());
}

TEST(QScriptCommandLine, UsageErrors)
{
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {},
           {"-e"},
           {"--check"},
           {"--frobnicate", "x"},
           {"-D", "1X=2", "-e", "x"},
           {"-D", "NOVALUE", "-e", "x"},
           {"a.txt", "b.txt"},
           {"-e", "x", "b.txt"},
           {"--bot"},
           {"-D", "N=1", "--bot", "robot.bot"},
           {"--bot", "robot.bot"},  // this runner has no bot commands
       }) {
    TResult r = RunQScript(args);
    EXPECT_EQ(r.Status, ExitUsage);
    EXPECT_EQ(r.Err.rfind("qscript: ", 0), 0u) << r.Err;
  }
}

TEST(QScriptCommandLine, HelpExplainsUsage)
{
  TResult r = RunQScript({"--help"});
  EXPECT_EQ(r.Status, ExitSuccess);
  for (const char* word : {"-e TEXT", "--check FILE", "-D NAME=VALUE", "Print(ALL OPEN);",
                           "Exception : ", "True/False", "--bot FILE"})
    EXPECT_NE(r.Out.find(word), std::string::npos) << word;
}

}  // namespace
}  // namespace quarn::qscript
