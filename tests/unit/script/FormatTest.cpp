// The format routine against what users of printf-like formatting expect.
#include <gtest/gtest.h>

#include <vector>

#include "script/Errors.h"
#include "script/Format.h"

namespace quarn::script {
namespace {

using A = TFormatArg;

std::string Fmt(std::string_view format, std::vector<A> args)
{
  return FormatArgs(format, args, DefaultFormatSettings());
}

std::string Segments(std::string_view format, std::vector<A> args)
{
  return FormatSegments(format, args, DefaultFormatSettings());
}

std::string ErrorOf(std::string_view format, std::vector<A> args)
{
  try {
    Segments(format, args);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no error";
}

struct TCase {
  const char* Format;
  A Arg;
  const char* Expected;
};

TEST(FormatDirectives, SingleArgument)
{
  const TCase cases[] = {
      // integers
      {"%d", A::OfInteger(42), "42"},
      {"%d", A::OfInteger(-2147483647 - 1), "-2147483648"},
      {"%5d|", A::OfInteger(42), "   42|"},
      {"%-5d|", A::OfInteger(42), "42   |"},
      {"%.4d", A::OfInteger(42), "0042"},
      {"%.3d", A::OfInteger(-5), "-005"},
      {"%6.3d", A::OfInteger(-5), "  -005"},
      {"%1d", A::OfInteger(12345), "12345"},
      {"%D", A::OfInteger(7), "7"},
      {"%x", A::OfInteger(255), "FF"},
      {"%X", A::OfInteger(48879), "BEEF"},
      {"%x", A::OfInteger(-1), "FFFFFFFF"},
      {"%.4x", A::OfInteger(255), "00FF"},
      {"%6x|", A::OfInteger(255), "    FF|"},
      // fixed
      {"%f", A::OfFloat(1.5), "1.50"},
      {"%.2f", A::OfFloat(1.5), "1.50"},
      {"%8.3f", A::OfFloat(3.14159), "   3.142"},
      {"%-8.1f|", A::OfFloat(2.25), "2.3     |"},
      {"%.0f", A::OfFloat(2.5), "3"},
      {"%.2f", A::OfFloat(0.125), "0.13"},
      {"%.2f", A::OfFloat(-0.125), "-0.13"},
      {"%.2f", A::OfFloat(-0.001), "0.00"},
      {"%.2f", A::OfFloat(999.999), "1000.00"},
      {"%.1f", A::OfFloat(0.05), "0.1"},
      {"%.3f", A::OfFloat(1e-10), "0.000"},
      {"%.2f", A::OfFloat(1e20), "100000000000000000000.00"},
      {"%.2f", A::OfFloat(1234567.891), "1234567.89"},
      // scientific
      {"%e", A::OfFloat(1000.0), "1.00000000000000E+003"},
      {"%.3e", A::OfFloat(12345.678), "1.23E+004"},
      {"%.2e", A::OfFloat(-0.00123), "-1.2E-003"},
      {"%e", A::OfFloat(0.0), "0.00000000000000E+000"},
      {"%.1e", A::OfFloat(9.96), "1E+001"},
      {"%.4e", A::OfFloat(1.5e300), "1.500E+300"},
      // general
      {"%g", A::OfFloat(1.5), "1.5"},
      {"%g", A::OfFloat(100.0), "100"},
      {"%g", A::OfFloat(1.0 / 3.0), "0.333333333333333"},
      {"%g", A::OfFloat(0.1 + 0.2), "0.3"},
      {"%g", A::OfFloat(1e20), "1E20"},
      {"%g", A::OfFloat(0.00001), "0.00001"},
      {"%g", A::OfFloat(0.000001), "1E-6"},
      {"%g", A::OfFloat(-123456789012345678.0), "-1.23456789012346E17"},
      {"%.3g", A::OfFloat(3.14159), "3.14"},
      {"%.3g", A::OfFloat(31415.9), "3.14E4"},
      {"%g", A::OfFloat(0.0), "0"},
      // thousands and currency
      {"%n", A::OfFloat(1234567.891), "1,234,567.89"},
      {"%.0n", A::OfFloat(1234.5), "1,235"},
      {"%n", A::OfFloat(-1234.5), "-1,234.50"},
      {"%n", A::OfFloat(999.999), "1,000.00"},
      {"%n", A::OfFloat(12.0), "12.00"},
      {"%m", A::OfFloat(1234.5), "$1,234.50"},
      {"%m", A::OfFloat(-1.0), "-$1.00"},
      {"%.0m", A::OfFloat(5.0), "$5"},
      {"%12m|", A::OfFloat(-1234.5), "  -$1,234.50|"},
      // infinities and NaN
      {"%f", A::OfFloat(1.0 / 0.0), "INF"},
      {"%e", A::OfFloat(-1.0 / 0.0), "-INF"},
      {"%g", A::OfFloat(0.0 / 0.0), "NAN"},
      // strings
      {"%s", A::OfString("abc"), "abc"},
      {"%5s|", A::OfString("ab"), "   ab|"},
      {"%-5s|", A::OfString("ab"), "ab   |"},
      {"%.3s", A::OfString("abcdef"), "abc"},
      {"%.10s", A::OfString("abc"), "abc"},
      {"[%s]", A::OfString(""), "[]"},
      // index, literal text, percent sign
      {"%0:d", A::OfInteger(3), "3"},
      {"%0:d-%0:d", A::OfInteger(3), "3-3"},
      {"100%%", A::OfInteger(3), "100%"},
      {"no directive", A::OfInteger(3), "no directive"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Format);
    EXPECT_EQ(Fmt(c.Format, {c.Arg}), c.Expected);
  }
}

TEST(FormatDirectives, LocaleSeparators)
{
  TFormatSettings s;
  s.DecimalSeparator = ",";
  s.ThousandSeparator = ".";
  s.CurrencyString = "EUR";
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  std::vector<A> x{A::OfFloat(-1234.5)};
  EXPECT_EQ(FormatArgs("%n", x, s), "-1.234,50");
  EXPECT_EQ(FormatArgs("%m", x, s), "-1.234,50 EUR");
  EXPECT_EQ(FormatArgs("%.1f", x, s), "-1234,5");
  std::vector<A> y{A::OfFloat(2.0)};
  EXPECT_EQ(FormatArgs("%m", y, s), "2,00 EUR");
}

struct TErrorCase {
  const char* Format;
  A Arg;
  const char* Expected;
};

TEST(FormatDirectives, Errors)
{
  const TErrorCase cases[] = {
      {"%s", A::OfInteger(5), "Format '%s' invalid or incompatible with argument"},
      {"%d", A::OfFloat(1.5), "Format '%d' invalid or incompatible with argument"},
      {"%f", A::OfInteger(1), "Format '%f' invalid or incompatible with argument"},
      {"%x", A::OfString("a"), "Format '%x' invalid or incompatible with argument"},
      {"%q", A::OfInteger(1), "Format '%q' invalid or incompatible with argument"},
      {"%u", A::OfInteger(1), "Format '%u' invalid or incompatible with argument"},
      {"abc%", A::OfInteger(1), "Format 'abc%' invalid or incompatible with argument"},
      {"%5.", A::OfInteger(1), "Format '%5.' invalid or incompatible with argument"},
      {"%d", A::OfOther(), "Format '%d' invalid or incompatible with argument"},
      {"%*d", A::OfInteger(5), "No argument for format '%*d'"},
      {"%.*f", A::OfFloat(1.5), "No argument for format '%.*f'"},
      {"%1:d", A::OfInteger(5), "No argument for format '%1:d'"},
      // huge widths and precisions are refused, not allocated
      {"%999999999d", A::OfInteger(1),
       "Format '%999999999d' invalid or incompatible with argument"},
      {"%.99999999999999999999f", A::OfFloat(1),
       "Format '%.99999999999999999999f' invalid or incompatible with argument"},
      {"%65537s", A::OfString(""), "Format '%65537s' invalid or incompatible with argument"},
      // long format texts are quoted by their first 31 characters
      {"a rather long text before it: %s", A::OfInteger(1),
       "Format 'a rather long text before it: %' invalid or incompatible with argument"},
  };
  for (const TErrorCase& c : cases) {
    SCOPED_TRACE(c.Format);
    EXPECT_EQ(ErrorOf(c.Format, {c.Arg}), c.Expected);
  }
}

TEST(FormatDirectives, LargestWidthIsAccepted)
{
  EXPECT_EQ(Fmt("%65536d", {A::OfInteger(1)}).size(), 65536u);
}

TEST(FormatSegments, EachValueFormatsItsOwnSegment)
{
  EXPECT_EQ(Segments("%d items at %.2f", {A::OfInteger(3), A::OfFloat(1.5)}), "3 items at 1.50");
  EXPECT_EQ(Segments("x=%d", {A::OfInteger(7)}), "x=7");
  EXPECT_EQ(Segments("%s and %s!", {A::OfString("a"), A::OfString("b")}), "a and b!");
  EXPECT_EQ(Segments("[%5d][%-5d]", {A::OfInteger(1), A::OfInteger(2)}), "[    1][2    ]");
  // text after the last value's directive stays; a directive without value is dropped with
  // everything after it
  EXPECT_EQ(Segments("a %d b %d", {A::OfInteger(1)}), "a 1 b ");
  EXPECT_EQ(Segments("%d", {}), "");
  EXPECT_EQ(Segments("plain", {}), "");
  EXPECT_EQ(Segments("plain", {A::OfInteger(5)}), "plain");
  EXPECT_EQ(Segments("plain", {A::OfInteger(5), A::OfInteger(6)}), "plain");
  EXPECT_EQ(Segments("%d%%", {A::OfInteger(5)}), "5");
  // long strings are not cut
  std::string longText(300, 'x');
  EXPECT_EQ(Segments("%s", {A::OfString(longText)}), longText);
}

TEST(FormatSegments, EveryPercentStartsASegment)
{
  EXPECT_EQ(ErrorOf("%d%%", {A::OfInteger(5), A::OfInteger(6)}),
            "Format '%' invalid or incompatible with argument");
  EXPECT_EQ(ErrorOf("%d and %s", {A::OfInteger(5), A::OfInteger(6)}),
            "Format '%s' invalid or incompatible with argument");
  // the first value's segment includes the text before its directive
  EXPECT_EQ(ErrorOf("value: %s", {A::OfInteger(5)}),
            "Format 'value: %s' invalid or incompatible with argument");
}

}  // namespace
}  // namespace quarn::script
