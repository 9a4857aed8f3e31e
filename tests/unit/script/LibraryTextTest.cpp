// String and number routines of the library.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "script/Errors.h"
#include "script/Operators.h"
#include "script/Text.h"

namespace quarn::script {
namespace {

TEST(StrToInt, AcceptedTexts)
{
  struct {
    const char* Text;
    int32_t Expected;
  } const cases[] = {
      {"12", 12},
      {" 12", 12},
      {"   -7", -7},
      {"+5", 5},
      {"0", 0},
      {"-0", 0},
      {"007", 7},
      {"$1F", 31},
      {"$1f", 31},
      {"x10", 16},
      {"X10", 16},
      {"0x10", 16},
      {"0XfF", 255},
      {"-$10", -16},
      {" -0x1", -1},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"$7FFFFFFF", 2147483647},
      {"$FFFFFFFF", -1},
      {"$80000000", -2147483647 - 1},
      {"$000000001", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(StrToInt(c.Text), c.Expected);
  }
}

TEST(StrToInt, RejectedTextsNameThemselves)
{
  const std::string cases[] = {"",
                               " ",
                               "12 ",
                               "1 2",
                               "abc",
                               "-",
                               "$",
                               "0x",
                               "x",
                               "1.5",
                               "1e3",
                               "- 1",
                               "$1G",
                               "2147483648",
                               "-2147483649",
                               "$100000000",
                               "99999999999999999999999",
                               "\t12",
                               "0x-1",
                               std::string("1\0"
                                           "2",
                                           3)};
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "'" + text + "' is not a valid integer value");
    }
  }
}

TEST(IntToStr, DecimalWithSign)
{
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
}

TEST(TextRoutines, CopyDeleteInsertPos)
{
  EXPECT_EQ(TextCopy("hello", 0, 2), "he");
  EXPECT_EQ(TextCopy("hello", -5, 2), "he");
  EXPECT_EQ(TextCopy("hello", 4, 10), "lo");
  EXPECT_EQ(TextCopy("hello", 5, 1), "o");
  EXPECT_EQ(TextCopy("hello", 6, 1), "");
  EXPECT_EQ(TextCopy("hello", 2, -1), "");
  EXPECT_EQ(TextCopy("hello", 2, 0), "");
  EXPECT_EQ(TextCopy("hello", 2, 2147483647), "ello");
  EXPECT_EQ(TextCopy("hello", 2147483647, 2147483647), "");

  EXPECT_EQ(TextDelete("hello", 2, 2), "hlo");
  EXPECT_EQ(TextDelete("hello", 0, 2), "hello");
  EXPECT_EQ(TextDelete("hello", 6, 1), "hello");
  EXPECT_EQ(TextDelete("hello", 2, 0), "hello");
  EXPECT_EQ(TextDelete("hello", 2, -3), "hello");
  EXPECT_EQ(TextDelete("hello", 4, 99), "hel");
  EXPECT_EQ(TextDelete("hello", 1, 2147483647), "");

  EXPECT_EQ(TextInsert("XY", "hello", 1), "XYhello");
  EXPECT_EQ(TextInsert("XY", "hello", 3), "heXYllo");
  EXPECT_EQ(TextInsert("XY", "hello", 6), "helloXY");
  EXPECT_EQ(TextInsert("XY", "hello", 99), "helloXY");
  EXPECT_EQ(TextInsert("XY", "hello", -2147483647 - 1), "XYhello");
  EXPECT_EQ(TextInsert("", "hello", 3), "hello");

  EXPECT_EQ(TextPos("c", "abc"), 3);
  EXPECT_EQ(TextPos("", "abc"), 0);
  EXPECT_EQ(TextPos("x", "abc"), 0);
  EXPECT_EQ(TextPos("B", "abc"), 0);
  EXPECT_EQ(TextPos("ab", "cabab"), 2);
}

TEST(TextRoutines, CopyrightIsTwoLines)
{
  std::string text = CopyrightText();
  size_t split = text.find("\n\r");
  ASSERT_NE(split, std::string::npos);
  EXPECT_NE(text.find("1.7"), std::string::npos);
  EXPECT_NE(text.find("Quarn developers"), std::string::npos);
  EXPECT_EQ(text.find('\n', split + 2), std::string::npos);
}

TEST(NumberRoutines, RoundTiesToEvenTruncTowardZero)
{
  struct {
    double Value;
    int32_t Round, Trunc;
  } const cases[] = {
      {0.5, 0, 0},
      {1.5, 2, 1},
      {2.5, 2, 2},
      {3.5, 4, 3},
      {-2.5, -2, -2},
      {-0.5, 0, 0},
      {1.99, 2, 1},
      {-2.7, -3, -2},
      {0.49999999999999994, 0, 0},
      {4503599627370497.0, 1, 1},                        // 2^52 + 1
      {2147483648.0, -2147483647 - 1, -2147483647 - 1},  // low 32 bits of the 64-bit value
      {1e10, 1410065408, 1410065408},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value);
    EXPECT_EQ(RoundToInt(c.Value), c.Round);
    EXPECT_EQ(TruncToInt(c.Value), c.Trunc);
  }
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 1e19, -1e300}) {
    EXPECT_THROW(RoundToInt(bad), Exception);
    EXPECT_THROW(TruncToInt(bad), Exception);
  }
}

TEST(NumberRoutines, IntAndFracKeepTheSign)
{
  EXPECT_EQ(IntPart(-2.7), -2.0);
  EXPECT_EQ(IntPart(2.7), 2.0);
  EXPECT_EQ(FracPart(-2.75), -0.75);
  EXPECT_EQ(FracPart(2.5), 0.5);
  EXPECT_EQ(FracPart(3.0), 0.0);
}

TEST(NumberRoutines, IntegerDivision)
{
  EXPECT_EQ(IntDiv(7, 2), 3);
  EXPECT_EQ(IntDiv(-7, 2), -3);
  EXPECT_EQ(IntMod(-7, 2), -1);
  EXPECT_EQ(IntMod(7, -2), 1);
  EXPECT_EQ(IntDiv(-2147483647 - 1, -1), -2147483647 - 1);
  EXPECT_EQ(IntMod(-2147483647 - 1, -1), 0);
  try {
    IntDiv(1, 0);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Division by zero");
  }
  EXPECT_THROW(IntMod(1, 0), Exception);
}

TEST(NumberRoutines, WrappingArithmetic)
{
  EXPECT_EQ(WrapAdd(2147483647, 1), -2147483647 - 1);
  EXPECT_EQ(WrapSub(-2147483647 - 1, 1), 2147483647);
  EXPECT_EQ(WrapMul(65536, 65536), 0);
  EXPECT_EQ(WrapMul(-3, 7), -21);
  EXPECT_EQ(WrapNeg(-2147483647 - 1), -2147483647 - 1);
}

}  // namespace
}  // namespace quarn::script
