// qscript --strict: the two places where the language reads otherwise than it looks, found in
// the text with the form that was likely meant, and nothing said where the reading is the same.
#include <gtest/gtest.h>

#include "QScript.h"
#include "Traps.h"

namespace quarn::qscript {
namespace {

struct TTrapCase {
  const char* Text;
  std::vector<std::string> Traps;  // "POSITION: text"
};

TEST(FindTraps, RightGroupingThatChangesTheResultAndConditionsReadOnce)
{
  const TTrapCase cases[] = {
      {"x := a - b + c",
       {"8: 'a - b + c' is read as 'a - (b + c)': operators of one level group to the right; "
        "write '(a - b) + c' if that is meant"}},
      {"x := 10 div 2 * 3; y := a / b / c",
       {"9: '10 div 2 * 3' is read as '10 div (2 * 3)': operators of one level group to the "
        "right; write '(10 div 2) * 3' if that is meant",
        "27: 'a / b / c' is read as 'a / (b / c)': operators of one level group to the right; "
        "write '(a / b) / c' if that is meant"}},
      // Left-to-right and right-to-left give the same: no warning.
      {"x := a + b + c - d; y := a * b * c; z := p and q and r; s := 'a' + t + 'b'", {}},
      {"x := (a - b) + c; y := a - (b + c); z := a - b * c; w := a * b - c", {}},
      {"if a - b - c > 0 then x := f(a - b - c)",
       {"6: 'a - b - c' is read as 'a - (b - c)': operators of one level group to the right; "
        "write '(a - b) - c' if that is meant",
        "32: 'a - b - c' is read as 'a - (b - c)': operators of one level group to the right; "
        "write '(a - b) - c' if that is meant"}},
      {"flag := true; while flag do begin n := n + 1; if n > 3 then flag := false end",
       {"21: WHILE flag reads the condition once, before the loop, so the loop does not see FLAG "
        "change at position 61; write 'while flag = true' to read it before every turn"}},
      {"repeat inc(n); done[0] := n > 3 until done[0]",
       {"39: UNTIL done[0] reads the condition once, before the loop, so the loop does not see "
        "DONE change at position 16; write 'until done[0] = true' to read it after every turn"}},
      // A comparison is read at every turn, and a flag the body leaves alone is no trap.
      {"while flag = true do flag := false; while flag do n := n + 1", {}},
      {"repeat x := x + 1 until x > 10", {}},
      {"x := 'unterminated", {}},
  };
  for (const TTrapCase& c : cases) {
    std::vector<std::string> found;
    for (const TTrap& trap : FindTraps(c.Text))
      found.push_back(std::to_string(trap.Position) + ": " + trap.Text);
    EXPECT_EQ(found, c.Traps) << c.Text;
  }
}

TEST(FindTraps, StrictWarnsWithThePlaceRunsAndFails)
{
  std::ostringstream out, err;
  const int status = Main({"--strict", "-e", "Print(7 - 2 + 1)"}, out, err, nullptr);
  EXPECT_EQ(status, ExitScriptFailed);
  EXPECT_EQ(out.str(), "4\n");
  EXPECT_EQ(err.str(),
            "-e:1:9: Warning: '7 - 2 + 1' is read as '7 - (2 + 1)': operators of one level group "
            "to the right; write '(7 - 2) + 1' if that is meant [Position 9]\n");
  std::ostringstream quietOut, quietErr;
  EXPECT_EQ(Main({"--strict", "-e", "Print((7 - 2) + 1)"}, quietOut, quietErr, nullptr),
            ExitSuccess);
  EXPECT_EQ(quietErr.str(), "");
}

}  // namespace
}  // namespace quarn::qscript
