// What compiling a script may take: the tree's memory, within the text's own limit and the
// run's budget, and the time until a stop request is honoured.
#include <gtest/gtest.h>

#include <string>

#include "ScriptRunner.h"
#include "script/Host.h"
#include "script/MemoryBudget.h"

namespace quarn::script::test {
namespace {

std::string Repeated(const std::string& piece, size_t count)
{
  std::string text;
  text.reserve(piece.size() * count);
  for (size_t i = 0; i < count; ++i) text += piece;
  return text;
}

std::string Numbered(const std::string& before, const std::string& after, size_t count)
{
  std::string text;
  for (size_t i = 0; i < count; ++i) text += before + std::to_string(i) + after;
  return text;
}

TEST(CompileLimits, ALargeTreeFailsAndTheNextScriptCompiles)
{
  struct TCase {
    const char* Title;
    uint64_t Budget;
    std::string Text;
    const char* Error;
  };
  const TCase cases[] = {
      // 1.5 MB of text makes some 75 MB of tree, past twice the text and 56 MiB
      {"the text's own limit", DefaultScriptMemoryLimit, Repeated("x:=1;", 300000),
       "ERROR: Runtimeerror: Out of memory: the compiled script would take more than 58 MiB "
       "[Position "},
      {"the script memory budget", uint64_t{4} << 20, Repeated("x:=1;", 60000),
       "ERROR: Runtimeerror: Out of memory [Position "},
      {"many names within the budget", uint64_t{4} << 20, Numbered("v", ":=1;", 60000),
       "ERROR: Runtimeerror: Out of memory [Position "},
  };
  for (const TCase& c : cases) {
    SetScriptMemoryLimit(c.Budget);
    TScriptRunner runner;
    const std::string out = runner.Run(c.Text);
    EXPECT_EQ(out.rfind(c.Error, 0), 0u) << c.Title << ": " << out.substr(0, 200);
    EXPECT_FALSE(runner.Script.Compiled()) << c.Title;
    EXPECT_EQ(runner.Run("x := 2; Print(x)"), "2\n") << c.Title;
    SetScriptMemoryLimit(DefaultScriptMemoryLimit);
  }
}

TEST(CompileLimits, ManyDistinctNamesCompile)
{
  TScriptRunner runner;
  EXPECT_EQ(runner.Run(Numbered("v", ":=1;", 50000) + "Print(v0 + v49999)"), "2\n");
}

// Asks the script to stop at its polls-th question, and meanwhile tries to run the script
// being compiled, as a console line entered during a long compile would.
class TStopWhileCompiling : public TScriptHost {
public:
  TStopWhileCompiling(TScript& script, int polls) : FScript(script), FLeft(polls) {}
  bool Terminating() override { return --FLeft < 0; }
  void PumpMessages() override
  {
    if (FScript.Compiled()) return;
    try {
      NestedRefused = !FScript.Run();
    } catch (...) {
      NestedRefused = false;
    }
  }
  bool NestedRefused = true;

private:
  TScript& FScript;
  int FLeft;
};

TEST(CompileLimits, AStopRequestEndsACompile)
{
  const std::string texts[] = {
      Repeated("x:=1;", 200000),
      "{" + std::string(size_t{10} << 20, ' ') + "}",
      "x := '" + std::string(size_t{10} << 20, 'a') + "'",
  };
  for (const std::string& text : texts) {
    TScriptRunner runner;
    TStopWhileCompiling host(runner.Script, 2);
    SetScriptHost(&host);
    const std::string out = runner.Run(text);
    SetScriptHost(nullptr);
    EXPECT_EQ(out.rfind("ERROR: Runtimeerror: Script stopped. [Position ", 0), 0u)
        << out.substr(0, 100);
    EXPECT_TRUE(host.NestedRefused);
    EXPECT_EQ(runner.Run("Print(1)"), "1\n");
  }
}

}  // namespace
}  // namespace quarn::script::test
