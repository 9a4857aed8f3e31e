// Script text -> what Print wrote, or the exact error line, grouped by what they exercise.
#include <gtest/gtest.h>

#include <string>

#include "ScriptRunner.h"

namespace quarn::script::test {
namespace {

struct TScriptCase {
  const char* Source;
  const char* Expected;
};

void PrintTo(const TScriptCase& c, std::ostream* os) { *os << c.Source; }

class ScriptCases : public ::testing::TestWithParam<TScriptCase> {};

TEST_P(ScriptCases, PrintsOrFails)
{
  TScriptRunner runner;
  EXPECT_EQ(runner.Run(GetParam().Source), GetParam().Expected) << GetParam().Source;
}

const TScriptCase GrammarCases[] = {
    {"", ""},
    {"{only} // comments", ""},
    {";;;", ""},
    {"begin x := 1; end", ""},
    {"x := 10 - 3 - 2; Print(x)", "9\n"},            // right grouping: 10 - (3 - 2)
    {"x := 8 / 4 / 2; Print(x, Type(x))", "4 40\n"},  // 8 / (4 / 2), a FLOAT
    {"x := 2 * 3 + 4 * 5; Print(x)", "26\n"},
    {"x := -3 * 2; Print(x)", "-6\n"},
    {"x := +4; Print(x)", "4\n"},
    {"x := not true; Print(x)", "False\n"},
    {"x := not 1 = 1; Print(x)", "ERROR: Runtimeerror: Function NOT expects type BOOLEAN "
                                 "instead of type INTEGER at argument 1 [Position 10]"},
    {"Print(STRING, INTEGER, FLOAT, BOOLEAN)", "16 4 8 2\n"},
    {"CONST a = 1; CONST a = 2; Print(a)", "1\n"},
    {"x := 1; CONST x = 2; Print(x)", "1\n"},
    {"CONST k = 2 * 3; Print(k + 1)", "7\n"},
    {"CONST = 5", "ERROR: Syntaxerror: \";\" expected. [Position 7]"},
    {"CONST a 5", "ERROR: Syntaxerror: \"=\" expected [Position 9]"},
    {"CONST a =", "ERROR: Syntaxerror: Name expected [Position 9]"},
    {"length := 3", ""},
    {"x;", "ERROR: Syntaxerror: Function X is not defined [Position 1]"},
    {"y := foo(1)", "ERROR: Syntaxerror: Function FOO not found [Position 6]"},
    {"if a then x := 1; else x := 2", "ERROR: Syntaxerror: Name expected [Position 19]"},
    {"end", "ERROR: Syntaxerror: Name expected [Position 1]"},
    {"x := 1; until x", "ERROR: Syntaxerror: Name expected [Position 9]"},
    {"if true then end", "ERROR: Syntaxerror: Name expected [Position 14]"},
    {"begin if true then end; repeat if true then until true; Print(1)", "1\n"},
    {"begin x := 1 y := 2 end", "ERROR: Syntaxerror: \";\" expected. [Position 14]"},
    {"begin x := 1", "ERROR: Syntaxerror: \";\" expected. [Position 12]"},
    {"repeat x := 1", "ERROR: Syntaxerror: \";\" expected. [Position 13]"},
    {"x := 1 y", "ERROR: Syntaxerror: \";\" expected. [Position 8]"},
    {"a[] := 1", "ERROR: Syntaxerror: Expression expected. [Position 3]"},
    {"x := a[1,]", "ERROR: Syntaxerror: Expression expected. [Position 10]"},
    {"x := a[1", "ERROR: Syntaxerror: Closing bracket \"]\" expected [Position 8]"},
    {"x := (1", "ERROR: Syntaxerror: \")\" expected. [Position 7]"},
    {"Print(1 = 1 = true)", "ERROR: Syntaxerror: \")\" expected. [Position 13]"},
    {"x := ", "ERROR: Syntaxerror: Expression expected. [Position 3]"},
    {"if true Print(1)", "ERROR: Syntaxerror: THEN expected. [Position 9]"},
    {"while true Print(1)", "ERROR: Syntaxerror: DO expected. [Position 12]"},
    {"for i = 1 to 3 do", "ERROR: Syntaxerror: \":=\" expected. [Position 7]"},
    {"for i := 1 too 3 do", "ERROR: Syntaxerror: TO expected. [Position 12]"},
    {"for i := 1 to 3 Print(i)", "ERROR: Syntaxerror: DO expected. [Position 17]"},
    {"for 1 := 1 to 3 do", "ERROR: Syntaxerror: Name expected [Position 5]"},
    {"SCRIPT", "ERROR: Syntaxerror: Name expected [Position 1]"},
    {"var := 1", "ERROR: Syntaxerror: Variable expected. [Position 1]"},
    {"x := 'abc", "ERROR: Syntaxerror: End of string constant not found (end of line) "
                  "(\"\r\", 13) [Position 10]"},
    {"a[1]", "ERROR: Runtimeerror: Not enough arguments for function SET (1 instead of 2). "
             "[Position 1]"},
    {"x := 1 + 'a'", "ERROR: Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
                     "Arguments: (INTEGER, STRING)\n\rParameter patterns:\n\r"
                     "(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\rFunction: + "
                     "[Position 8]"},
    {"x := 1 div 0", "ERROR: Runtimeerror: Division by zero [Position 8]"},  // folded
};
INSTANTIATE_TEST_SUITE_P(Grammar, ScriptCases, ::testing::ValuesIn(GrammarCases));

const TScriptCase StatementCases[] = {
    {"for i := 1 to 3 do x := i; Print(i, x)", "4 3\n"},
    {"for i := 3 to 1 do x := i; Print(i)", "3\n"},
    {"for i := 3 downto 1 do Print(i); Print(i)", "3\n2\n1\n0\n"},
    {"for i := 1 to 10 do if i = 5 then break; Print(i)", "5\n"},
    {"for i := 1 to 3 do begin if i = 2 then continue; Print(i) end", "1\n3\n"},
    {"for i := 5 to 10 do begin Print(i); i := 0 end; Print(i)", "5\n1\n"},
    {"for i := 2147483647 to 2147483647 do Print(i)",
     "2147483647\nERROR: Runtimeerror: Variable I expects type INTEGER instead of type FLOAT. "
     "[Position 1]"},
    {"i := 1.5; for i := 1 to 2 do", "ERROR: Runtimeerror: Function FOR expects type VAR "
                                     "VOID/INTEGER instead of type VAR FLOAT at argument 1 "
                                     "[Position 11]"},
    {"for i := 1 to 3 do begin Print(i); if i = 2 then exit end; Print(9)", "1\n2\n"},
    {"i := 0; while i < 3 do i := i + 1; Print(i)", "3\n"},
    {"b := true; n := 0; while b do begin b := false; n := n + 1; if n = 3 then break end; "
     "Print(n)", "3\n"},
    {"i := 0; while i < 5 do begin i := i + 1; if i mod 2 = 0 then continue; Print(i) end",
     "1\n3\n5\n"},
    {"x := 0; repeat x := x + 1 until x > 2; Print(x)", "3\n"},
    {"repeat Print(1) until true", "1\n"},
    {"x := 0; repeat x := x + 1; if x = 2 then break until false; Print(x)", "2\n"},
    {"if 1 < 2 then Print('a') else Print('b')", "a\n"},
    {"if 1 > 2 then Print('a') else Print('b')", "b\n"},
    {"if 1 > 2 then Print('a')", ""},
    {"if true then", ""},
    {"if true then else Print(1)", "ERROR: Syntaxerror: Name expected [Position 14]"},
    {"if false then Print(1) else", ""},
    {"if true then if false then Print(1) else Print(2)", "2\n"},  // ELSE binds to the nearest IF
    {"Set(x, 4); Print(x)", "4\n"},
    {"exit; Print(1)", ""},
    {"begin begin exit end end; Print(1)", ""},
    {"break", "EXCEPTION: "},
    {"continue", "EXCEPTION: "},
    {"const a = exit; Print(1)", "EXCEPTION: "},
    {"const a = break; Print(1)", "EXCEPTION: "},
    {"const a = continue; Print(1)", "EXCEPTION: "},
    // a break or continue in an index ends the statement: nothing is read or assigned
    {"SetArray(a, INTEGER, 2); for i := 1 to 3 do a[break] := 5; Print(a[0], i)", "0 1\n"},
    {"SetArray(a, INTEGER, 2); for i := 1 to 3 do inc(a[break]); Print(a[0], i)", "0 1\n"},
    {"SetArray(a, INTEGER, 2); for i := 1 to 3 do begin x := a[continue]; Print(i) end; "
     "Print(i)", "4\n"},
    {"Print(Type(x)); x := 1; Print(Type(x)); SetArray(s, STRING, 2); Print(Type(s))",
     "33\n36\n112\n"},
    {"x := 1.5; Print(Type(x) = FLOAT + 32)", "True\n"},
    {"SetArray(a, INTEGER, 2, 3); Print(length(a), a[1, 2]); a[1, 2] := 7; SetArray(a, 5); "
     "Print(a[1, 2], a[1, 4])", "2 0\n7 0\n"},
    {"SetArray(a, INTEGER, 4); a[3] := 9; SetArray(a, 2); SetArray(a, 4); Print(a[3])", "0\n"},
    {"SetArray(a, 3, 10)",
     "ERROR: Runtimeerror: Bad array type! (VOID/BOOLEAN) Only basic types allowed. [Position 1]"},
    {"SetArray(a, INTEGER, 2); SetArray(a, INTEGER, 2)",
     "ERROR: Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
     "Arguments: (ARRAY VAR INTEGER, INTEGER, INTEGER)\n\rParameter patterns:\n\r"
     "(VAR VOID, INTEGER, INTEGER, INTEGER OPEN)\n\r"
     "(ARRAY VAR INTEGER/FLOAT/STRING/BOOLEAN, INTEGER)\n\rFunction: SETARRAY [Position 26]"},
    {"SetArray(a, BOOLEAN, 2); SetArray(f, FLOAT, 1); SetArray(s, STRING, 1); "
     "Print(a[1], f[0], s[0], length(s))", "False 0  1\n"},
    {"x := 1; SetArray(x[0], 2)", "ERROR: Runtimeerror: Variant is not an array [Position 9]"},
    {"x := 1; SetArray(x, 2)", "ERROR: Runtimeerror: The arguments don't fit to a parameter "
                               "pattern:\n\rArguments: (VAR INTEGER, INTEGER)\n\rParameter "
                               "patterns:\n\r(VAR VOID, INTEGER, INTEGER, INTEGER OPEN)\n\r"
                               "(ARRAY VAR INTEGER/FLOAT/STRING/BOOLEAN, INTEGER)\n\r"
                               "Function: SETARRAY [Position 9]"},
    {"SetArray(a, INTEGER, 2000000000, 2000000000)",
     "ERROR: Runtimeerror: Out of memory [Position 1]"},
    {"SetArray(a, INTEGER, -1)",
     "ERROR: Runtimeerror: Error creating variant or safe array [Position 1]"},
    {"SetArray(a, INTEGER, 0); Print(length(a))", "0\n"},
    {"const K = 1; K := 5",
     "ERROR: Runtimeerror: Function SET expects type VAR VOID/INTEGER/FLOAT/STRING/BOOLEAN "
     "instead of type INTEGER at argument 1 [Position 14]"},
};
INSTANTIATE_TEST_SUITE_P(Statements, ScriptCases, ::testing::ValuesIn(StatementCases));

const TScriptCase VariableCases[] = {
    {"Print(x)", "ERROR: Runtimeerror: Variable X is not defined. [Position 7]"},
    {"x := 1; x := 2.5",
     "ERROR: Runtimeerror: Variable X expects type INTEGER instead of type FLOAT. [Position 9]"},
    {"x := 2.5; x := 1",
     "ERROR: Runtimeerror: Variable X expects type FLOAT instead of type INTEGER. [Position 11]"},
    {"x := 'b'; x := 'a'; Print(x)", "a\n"},
    {"x := true; x := 1", "ERROR: Runtimeerror: Variable X expects type BOOLEAN instead of "
                          "type INTEGER. [Position 12]"},
    {"SetArray(a, INTEGER, 2); x := 1; x := a",
     "ERROR: Runtimeerror: Variable X expects type INTEGER instead of type ARRAY INTEGER. "
     "[Position 34]"},
    {"SetArray(a, INTEGER, 2); a[0] := 1; b := a; b[0] := 5; Print(a[0], b[0])", "1 5\n"},
    {"SetArray(a, INTEGER, 2, 3); x := a[2, 0]",
     "ERROR: Runtimeerror: Array index (2) out of bounds (dimension 1 has bounds [0..1]) "
     "[Position 34]"},
    {"SetArray(a, INTEGER, 2, 3); x := a[0, -1]",
     "ERROR: Runtimeerror: Array index (-1) out of bounds (dimension 2 has bounds [0..2]) "
     "[Position 34]"},
    {"SetArray(a, INTEGER, 2, 3); x := a[1]",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 34]"},
    {"SetArray(a, INTEGER, 4); a[1] := 10; a[2] := 20; Print(a[1.5], a[2.5])", "20 20\n"},
    {"SetArray(a, INTEGER, 4); a[true] := 1", "ERROR: Runtimeerror: Array index (-1) out of "
                                              "bounds (dimension 1 has bounds [0..3]) "
                                              "[Position 26]"},
    {"SetArray(a, INTEGER, 4); a['2'] := 5; Print(a[2])", "5\n"},
    {"SetArray(a, INTEGER, 4); a['x'] := 5",
     "ERROR: Runtimeerror: Invalid variant type conversion [Position 26]"},
    {"SetArray(a, INTEGER, 2); a[0] := 'x'",
     "ERROR: Runtimeerror: Variable A expects type INTEGER instead of type STRING. "
     "[Position 26]"},
    {"SetArray(m, INTEGER, 2, 2); m[0] := 'x'",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 29]"},
    {"SetArray(a, INTEGER, 2); a[0] := 1.5",
     "ERROR: Runtimeerror: Variable A expects type INTEGER instead of type FLOAT. [Position 26]"},
    {"x := a[0]", "ERROR: Runtimeerror: Variable A is not defined. [Position 6]"},
    {"a[0] := 1", "ERROR: Runtimeerror: Variable A is not defined. [Position 1]"},
    {"x := 1; y := x[0]", "ERROR: Runtimeerror: Variant is not an array [Position 14]"},
    {"SetArray(s, STRING, 3); Print(length(s[0]))",
     "ERROR: Runtimeerror: Variant is not an array [Position 31]"},
    // the innermost call reports: the div node, not the assignment
    {"x := 1; y := 0; z := x div y", "ERROR: Runtimeerror: Division by zero [Position 24]"},
    {"x := 1; Print(x, z)", "ERROR: Runtimeerror: Variable Z is not defined. [Position 18]"},
    // an index expression that replaces the array it indexes: the element is looked up in
    // the array as it is after all indices were evaluated
    {"SetArray(a, INTEGER, 3); SetArray(b, INTEGER, 2, 2); x := a[Set(a, b)]",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 59]"},
    {"SetArray(a, INTEGER, 3); SetArray(b, INTEGER, 2, 2); a[Set(a, b)] := 7",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 54]"},
    {"SetArray(a, INTEGER, 3); SetArray(b, INTEGER, 2, 2); inc(a[Set(a, b)])",
     "ERROR: Runtimeerror: Bad number of indices (1 instead of 2) [Position 58]"},
    {"SetArray(a, INTEGER, 300, 3); a[299, 0] := 42; SetArray(b, INTEGER, 1, 1); "
     "x := a[299, Set(a, b)]; Print(x, a)",
     "ERROR: Runtimeerror: Array index (299) out of bounds (dimension 1 has bounds [0..0]) "
     "[Position 81]"},
    {"SetArray(a, STRING, 300, 3); a[299, 0] := 'abc'; SetArray(b, STRING, 1, 1); "
     "x := a[299, Set(a, b)]",
     "ERROR: Runtimeerror: Array index (299) out of bounds (dimension 1 has bounds [0..0]) "
     "[Position 82]"},
    {"SetArray(a, INTEGER, 2, 3); a[1, 2] := 5; Print(a[1, SetArray(a, 1)], a[1, 0])", "0 0\n"},
    {"SetArray(a, INTEGER, 4); a[SetArray(a, 0)] := 1",
     "ERROR: Runtimeerror: Array index (0) out of bounds (dimension 1 has bounds [0..-1]) "
     "[Position 26]"},
    {"x := 1; y := x + z", "ERROR: Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
                           "Arguments: (VAR INTEGER, VAR VOID)\n\rParameter patterns:\n\r"
                           "(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\rFunction: + "
                           "[Position 16]"},
};
INSTANTIATE_TEST_SUITE_P(Variables, ScriptCases, ::testing::ValuesIn(VariableCases));

// Texts that once could have exhausted the stack: they fail with a clear error instead.
TEST(ScriptLimits, DeepNestingIsASyntaxError)
{
  const std::string nested[] = {
      "x := " + std::string(5000, '(') + "1" + std::string(5000, ')'),
      [] {
        std::string text = "x := ";
        for (int i = 0; i < 3000; ++i) text += "not ";
        return text + "true";
      }(),
      "x := " + std::string(6000, '-') + "1",
      [] {
        std::string text;
        for (int i = 0; i < 3000; ++i) text += "begin ";
        return text;
      }(),
      [] {
        std::string text;
        for (int i = 0; i < 3000; ++i) text += "if true then ";
        return text + "x := 1";
      }(),
  };
  for (const std::string& text : nested) {
    TScriptRunner runner;
    const std::string result = runner.Run(text);
    EXPECT_NE(result.find("Syntaxerror: Nesting too deep (more than 1000 levels)."),
              std::string::npos)
        << text.substr(0, 40) << ": " << result.substr(0, 200);
  }
}

TEST(ScriptLimits, ModerateNestingStillWorks)
{
  TScriptRunner runner;
  std::string text = "x := 1; y := x";
  for (int i = 0; i < 100; ++i) text += " + x";
  text += "; Print(y); z := " + std::string(100, '(') + "2" + std::string(100, ')') + "; Print(z)";
  EXPECT_EQ(runner.Run(text), "101\n2\n");
}

// A long chain of operators is one level as written: it compiles and runs, and only a chain
// too long to evaluate safely is refused.
TEST(ScriptLimits, LongOperatorChains)
{
  TScriptRunner runner;
  std::string text = "x := 1; y := x";
  for (int i = 1; i < 5000; ++i) text += " + x";
  text += "; z := 1";
  for (int i = 1; i < 5000; ++i) text += " + 1";
  EXPECT_EQ(runner.Run(text + "; Print(y, z)"), "5000 5000\n");

  std::string longer = "x := 1; y := x";
  for (int i = 0; i < 10000; ++i) longer += " * x";
  EXPECT_EQ(runner.Run(longer),
            "ERROR: Syntaxerror: Expression too complex (more than 6000 operations nested). "
            "[Position 16012]");
}

}  // namespace
}  // namespace quarn::script::test
