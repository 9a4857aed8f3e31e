// Shortest round-trip float text, as printed by tools that show script values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "script/FormatFloat.h"

namespace quarn::script {
namespace {

TEST(ShortestFloatText, ReadsBackWithFewestDigits)
{
  struct {
    double Value;
    const char* Expected;
  } const cases[] = {
      {1.5, "1.5"},
      {3.0, "3"},
      {-2.5, "-2.5"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.30000000000000004"},
      {1.0 / 3.0, "0.3333333333333333"},
      {2147483648.0, "2147483648"},
      {9007199254740992.0, "9007199254740992"},
      {123456789.125, "123456789.125"},
      {100000000000000.0, "100000000000000"},
      {1e15, "1000000000000000"},
      {1e16, "1E16"},
      {1e20, "1E20"},
      {1.5e300, "1.5E300"},
      {0.00001, "0.00001"},
      {1e-7, "1E-7"},
      {5e-324, "5E-324"},
      {0.0, "0"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
      {std::nan(""), "NAN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    EXPECT_EQ(ShortestFloatText(c.Value), c.Expected);
  }
}

TEST(ShortestFloatText, EveryTextReadsBack)
{
  const double values[] = {
      0.1,  2.0 / 3.0, 1e-300, 1.7976931348623157e308, 123.456e-7, -9.999999999999999e22,
      4.35, 1e16 + 2};
  for (double v : values) EXPECT_EQ(std::strtod(ShortestFloatText(v).c_str(), nullptr), v);
}

}  // namespace
}  // namespace quarn::script
