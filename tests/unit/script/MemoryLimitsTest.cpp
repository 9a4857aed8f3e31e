// Memory a script can take: the string cap on every string-growing built-in, and the budget of
// one run over many values each under its own cap.
#include <gtest/gtest.h>

#include <string>

#include "ScriptRunner.h"
#include "script/MemoryBudget.h"

namespace quarn::script::test {
namespace {

// Restores the process-wide budget when a test changes it.
class TBudget {
public:
  explicit TBudget(uint64_t bytes) { SetScriptMemoryLimit(bytes); }
  ~TBudget() { SetScriptMemoryLimit(DefaultScriptMemoryLimit); }
};

TEST(StringCap, InsertRefusesAResultOverTheCap)
{
  // 2^27 + 1 characters inserted into themselves make 2^28 + 2, over the 256 MiB cap.
  TScriptRunner runner;
  const std::string out = runner.Run(
      "s := 'x'; for i := 1 to 27 do s := s + s; s := s + 'y'; insert(s, s, 1); Print(length(s))");
  EXPECT_EQ(out.rfind("ERROR: Runtimeerror: Out of memory", 0), 0u) << out;
}

TEST(ScriptMemoryBudget, ManyValuesEachUnderTheirCapFailAndTheNextRunGoesOn)
{
  TBudget budget(uint64_t{64} << 20);
  TScriptRunner runner;
  struct {
    const char* Text;
  } const cases[] = {
      // arrays of 40 MB each
      {"SetArray(a, INTEGER, 10000000); SetArray(b, INTEGER, 10000000); Print(1)"},
      // strings of 16 MB each, kept in an array
      {"s := 'x'; for i := 1 to 24 do s := s + s; SetArray(a, STRING, 8);"
       "for i := 0 to 7 do a[i] := s + IntToStr(i); Print(1)"},
      // an array copied by assignment
      {"SetArray(a, FLOAT, 5000000); b := a; c := b; Print(1)"},
  };
  for (const auto& c : cases) {
    const std::string out = runner.Run(c.Text);
    EXPECT_EQ(out.rfind("ERROR: Runtimeerror: Out of memory", 0), 0u) << c.Text << "\n" << out;
    EXPECT_EQ(runner.Run("SetArray(a, INTEGER, 1000000); Print(length(a))"), "1000000\n");
  }
}

TEST(Tokenizer, AnInvalidNulCharacterIsQuotedWhole)
{
  using namespace std::string_literals;
  TScriptRunner runner;
  EXPECT_EQ(runner.Run("x := 1;\0"s),
            "ERROR: Syntaxerror: Invalid character (\"\0\", 0) [Position 8]"s);
}

}  // namespace
}  // namespace quarn::script::test
