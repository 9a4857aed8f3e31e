// The operator and library built-ins as a script author meets them: script text run through
// qscript's runner, checked against Print's output or the exact error line.
#include <gtest/gtest.h>

#include <sstream>

#include "QScript.h"

namespace quarn::qscript {
namespace {

struct TScriptCase {
  const char* Text;
  const char* Output;  // Print's lines; for a failing script, the error line
  bool Fails = false;
};

void RunCases(std::initializer_list<TScriptCase> cases)
{
  for (const TScriptCase& c : cases) {
    SCOPED_TRACE(c.Text);
    std::ostringstream out, err;
    TOptions options;
    int status = RunText(c.Text, options, out, err);
    if (c.Fails) {
      EXPECT_EQ(status, ExitScriptFailed);
      EXPECT_EQ(err.str(), std::string(c.Output) + "\n");
    } else {
      EXPECT_EQ(status, ExitSuccess) << err.str();
      EXPECT_EQ(out.str(), std::string(c.Output) + "\n");
    }
  }
}

TScriptCase Fails(const char* text, const char* error) { return {text, error, true}; }

TEST(LibraryScripts, Comparisons)
{
  RunCases({
      {"Print(1 = 1.0, 1 < 1.5, 2 > 1, 3 <> 3, 2 >= 2.0, 2 <= 1)",
       "True True True False True False"},
      {"Print('a' < 'b', 'A' < 'a', 'ab' > 'a', 'abc' = 'abc', '' < 'a')",
       "True True True True True"},
      {"Print(#200 > 'z', 'a' <= 'a', 'b' >= 'c')", "True True False"},
      {"Print(false < true, true = true, false <> true)", "True True True"},
      {"i := 3; f := 3.0; Print(i = f, i < f + 0.5, 2147483647 < 2147483648.0)", "True True True"},
      Fails("Print('a' = 1)",
            "Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
            "Arguments: (STRING, INTEGER)\n\rParameter patterns:\n\r(INTEGER/FLOAT, INTEGER/FLOAT)"
            "\n\r(STRING, STRING)\n\r(BOOLEAN, BOOLEAN)\n\rFunction: = [Position 11]"),
  });
}

TEST(LibraryScripts, Logic)
{
  RunCases({
      {"Print(not true, true and false, true or false, true xor true, false xor true)",
       "False False True False True"},
      {"a := 1; Print((a > 0) and (a < 2), not (a = 1))", "True False"},
  });
}

TEST(LibraryScripts, Arithmetic)
{
  RunCases({
      {"x := 2147483647; Print(x + 1)", "-2147483648"},
      {"x := -2147483647; Print(x - 2, x * 2, -x, x * -1)", "2147483647 2 2147483647 2147483647"},
      {"x := -2147483647 - 1; Print(-x)", "-2147483648"},
      {"x := 65536; Print(x * x)", "0"},
      {"x := 2147483647; Print(x + 1.0)", "2147483648"},
      {"Print(1.5 + 1, 2 * 0.25, 1 - 0.5, -(2.5))", "2.5 0.5 0.5 -2.5"},
      {"Print('ab' + 'cd', '' + 'x')", "abcd x"},
      {"Print(7 / 2, 1 / 4, 6 / 3)", "3.5 0.25 2"},
      {"a := 7; b := 2; c := -7; Print(a div b, c div b, c mod b, a mod b, a mod -2)",
       "3 -3 -1 1 1"},
      {"x := 0; Print(1 / x, -1 / x)", "INF -INF"},
      {"x := 0.0; Print(x / x)", "NAN"},
      {"x := 1e308; Print(x * 10)", "INF"},
      Fails("x := 0; Print(1 div x)", "Runtimeerror: Division by zero [Position 17]"),
      Fails("x := 0; y := 5 mod x", "Runtimeerror: Division by zero [Position 16]"),
      {"x := -2147483647 - 1; y := -1; Print(x div y, x mod y)", "-2147483648 0"},
  });
}

TEST(LibraryScripts, IncAndDec)
{
  RunCases({
      {"i := 1; inc(i); inc(i, 10); dec(i); dec(i, 3); Print(i)", "8"},
      {"f := 1.5; inc(f); inc(f, 2); dec(f, 0.25); Print(f)", "4.25"},
      {"SetArray(a, INTEGER, 3); a[1] := 5; inc(a[1], 2); Print(a[1])", "7"},
      Fails("i := 2147483647; inc(i)",
            "Runtimeerror: Variable I expects type INTEGER instead of type FLOAT. [Position 18]"),
      Fails("i := 1; inc(i, 0.5)",
            "Runtimeerror: Variable I expects type INTEGER instead of type FLOAT. [Position 9]"),
      Fails("i := 1; inc(i, 0.5); Print(i)",
            "Runtimeerror: Variable I expects type INTEGER instead of type FLOAT. [Position 9]"),
      Fails("inc(x)",
            "Runtimeerror: The arguments don't fit to a parameter pattern:\n\r"
            "Arguments: (VAR VOID)\n\rParameter patterns:\n\r(VAR INTEGER/FLOAT)\n\r"
            "(VAR INTEGER/FLOAT, INTEGER/FLOAT)\n\rFunction: INC [Position 1]"),
  });
}

TEST(LibraryScripts, NumberFunctions)
{
  RunCases({
      {"Print(Round(0.5), Round(1.5), Round(2.5), Round(3.5), Round(-2.5))", "0 2 2 4 -2"},
      {"Print(Trunc(1.99), Trunc(-2.7), Int(-2.7), Frac(-2.75), Frac(2.5))", "1 -2 -2 -0.75 0.5"},
      {"x := 1e10; Print(Round(x), Trunc(x))", "1410065408 1410065408"},
      {"i := 4; Print(Round(i * 2))", "8"},
      {"f := 1.5; Print(IntToStr(f + 1))", "2"},
      Fails("Print(Round(5))",
            "Runtimeerror: Function ROUND expects type FLOAT instead of type INTEGER at argument 1 "
            "[Position 7]"),
      Fails("i := 4; Print(Round(i))",
            "Runtimeerror: Function ROUND expects type FLOAT instead of type VAR INTEGER at "
            "argument 1 "
            "[Position 15]"),
      Fails("x := 1e300; Print(Trunc(x))",
            "Runtimeerror: Invalid floating point operation [Position 19]"),
  });
}

TEST(LibraryScripts, Strings)
{
  RunCases({
      {"s := 'hello'; Print(length(s), length(''), copy(s, 0, 2), copy(s, 4, 10), copy(s, 6, 1))",
       "5 0 he lo "},
      {"s := 'hello'; delete(s, 2, 2); Print(s); delete(s, 0, 1); Print(s)", "hlo\nhlo"},
      {"s := 'hello'; insert('XY', s, 99); Print(s); insert('>', s, 0); Print(s)",
       "helloXY\n>helloXY"},
      {"Print(pos('', 'abc'), pos('c', 'abc'), pos('bc', 'abcbc'), pos('C', 'abc'))", "0 3 2 0"},
      {"SetArray(a, STRING, 3, 4); Print(length(a))", "3"},
      Fails("SetArray(a, STRING, 3); Print(length(a[0]))",
            "Runtimeerror: Variant is not an array [Position 31]"),
      Fails("i := 5; delete(i, 1, 1)",
            "Runtimeerror: Function DELETE expects type VAR STRING instead of type VAR INTEGER at "
            "argument 1 [Position 9]"),
  });
}

TEST(LibraryScripts, Conversions)
{
  RunCases({
      {"Print(StrToInt('12'), StrToInt(' 12'), StrToInt('$1F'), StrToInt('-0x10'))",
       "12 12 31 -16"},
      {"Print(IntToStr(-42) + '!')", "-42!"},
      Fails("Print(StrToInt('12 '))",
            "Runtimeerror: '12 ' is not a valid integer value [Position 7]"),
      Fails("Print(StrToInt('2147483648'))",
            "Runtimeerror: '2147483648' is not a valid integer value [Position 7]"),
  });
}

TEST(LibraryScripts, Format)
{
  RunCases({
      {"Print(format('%d items at %.2f', 3, 1.5))", "3 items at 1.50"},
      {"Print(format('x=%d', 7))", "x=7"},
      {"Print(format('a %d b %d', 1) + '|')", "a 1 b |"},
      {"Print(format('%d') + '|')", "|"},
      {"Print(format('%s-%5s-%-3s|', 'a', 'b', 'c'))", "a-    b-c  |"},
      {"Print(format('%x %.3d %e', 255, 7, 1000.0))", "FF 007 1.00000000000000E+003"},
      {"Print(format('%n %m %g', 1234567.5, -2.5, 0.1))", "1,234,567.50 -$2.50 0.1"},
      Fails("Print(format('%s', 5))",
            "Runtimeerror: Format '%s' invalid or incompatible with argument [Position 7]"),
      Fails("Print(format('%*d', 5))", "Runtimeerror: No argument for format '%*d' [Position 7]"),
      Fails("Print(format('%999999999999d', 5))",
            "Runtimeerror: Format '%999999999999d' invalid or incompatible with argument [Position "
            "7]"),
  });
}

TEST(LibraryScripts, DatesAndCopyright)
{
  RunCases({
      {"Print(formatdatetime('yyyy-mm-dd hh:nn:ss', 36526.75))", "2000-01-01 18:00:00"},
      {"Print(formatdatetime('dddd d mmmm yyyy h am/pm', 0.5))", "Saturday 30 December 1899 12 pm"},
      {"Print(formatdatetime('c', 36526.0))", "01/01/2000"},
      {"t := now; Print(t > 43000.0, Frac(t) >= 0.0)", "True True"},
      {"Print(pos('1.7', copyright) > 0, pos(#10#13, copyright) > 0)", "True True"},
      Fails("Print(formatdatetime('yyyy', 1e10))",
            "Runtimeerror: '10000000000' is not a valid date and time [Position 7]"),
  });
}

TEST(QScriptPrint, TextForms)
{
  RunCases({
      {"Print(1, -2, 1.5, 3.0, 0.1 + 0.2, true, false, 'text', '')",
       "1 -2 1.5 3 0.30000000000000004 True False text "},
      Fails("Print(x)", "Runtimeerror: Variable X is not defined. [Position 7]"),
      {"Print()", ""},
      {"SetArray(a, INTEGER, 3); a[2] := 7; Print(a)", "[0, 0, 7]"},
  });
}

}  // namespace
}  // namespace quarn::qscript
