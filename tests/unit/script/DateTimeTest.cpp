// Date-time day counts and the date-time pattern language, against the conventional results.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "script/DateTime.h"
#include "script/Errors.h"

namespace quarn::script {
namespace {

double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
  TDateTimeParts p;
  p.Year = y, p.Month = mo, p.Day = d, p.Hour = h, p.Minute = mi, p.Second = s;
  p.MilliSecond = ms;
  return EncodeDateTime(p);
}

std::string Fmt(std::string_view pattern, double t)
{
  return FormatDateTime(pattern, t, DefaultFormatSettings());
}

TEST(DateTimeDayCount, CountsFrom30December1899)
{
  EXPECT_EQ(At(1899, 12, 30), 0.0);
  EXPECT_EQ(At(1899, 12, 31), 1.0);
  EXPECT_EQ(At(1900, 1, 1), 2.0);
  EXPECT_EQ(At(1900, 3, 1), 61.0);  // 1900 was no leap year
  EXPECT_EQ(At(2000, 1, 1), 36526.0);
  EXPECT_EQ(At(1, 1, 1), MinDateTime);
  EXPECT_EQ(At(2000, 1, 1, 18), 36526.75);
  EXPECT_EQ(At(1899, 12, 29, 6), -1.25);  // before day 0 the fraction counts forward
}

TEST(DateTimeDayCount, DecodesDatesTimesAndWeekDays)
{
  TDateTimeParts p;
  ASSERT_TRUE(DecodeDateTime(-1.25, p));
  EXPECT_EQ(p.Year * 10000 + p.Month * 100 + p.Day, 18991229);
  EXPECT_EQ(p.Hour, 6);
  ASSERT_TRUE(DecodeDateTime(At(2001, 11, 22, 13, 5, 7, 89), p));
  EXPECT_EQ(p.Year * 10000 + p.Month * 100 + p.Day, 20011122);
  EXPECT_EQ(p.Hour * 10000 + p.Minute * 100 + p.Second, 130507);
  EXPECT_EQ(p.MilliSecond, 89);
  EXPECT_EQ(p.DayOfWeek, 5);  // Thursday
  ASSERT_TRUE(DecodeDateTime(0.0, p));
  EXPECT_EQ(p.DayOfWeek, 7);  // Saturday
  ASSERT_TRUE(DecodeDateTime(At(2024, 2, 29), p));
  EXPECT_EQ(p.Month * 100 + p.Day, 229);
  // 23:59:59.9996 rounds to the next day's midnight
  ASSERT_TRUE(DecodeDateTime(At(2000, 1, 1) + 0.9999999999, p));
  EXPECT_EQ(p.Day * 100 + p.Hour, 200);
  EXPECT_FALSE(DecodeDateTime(EndDateTime, p));
  EXPECT_FALSE(DecodeDateTime(MinDateTime - 1.0, p));
  EXPECT_FALSE(DecodeDateTime(std::nan(""), p));
  EXPECT_FALSE(DecodeDateTime(1e300, p));
}

TEST(DateTimeDayCount, NowIsATodayDayCount)
{
  double now = Now();
  EXPECT_GT(now, At(2020, 1, 1));
  EXPECT_LT(now, At(2200, 1, 1));
}

TEST(FormatDateTime, PatternLanguage)
{
  const double t = At(2001, 11, 22, 13, 5, 7, 89);  // a Thursday afternoon
  const double morning = At(2001, 3, 4, 9, 8, 0);   // a Sunday
  const double midnight = At(2001, 3, 4);
  struct {
    const char* Pattern;
    double Value;
    const char* Expected;
  } const cases[] = {
      {"yyyy-mm-dd hh:nn:ss.zzz", t, "2001-11-22 13:05:07.089"},
      {"d/m/yy", morning, "4/3/01"},
      {"dd/mm/yyyy", morning, "04/03/2001"},
      {"y", t, "01"},
      {"yyy", t, "2001"},
      {"ddd dddd", t, "Thu Thursday"},
      {"ddd dddd", morning, "Sun Sunday"},
      {"mmm mmmm", t, "Nov November"},
      {"MMMM", morning, "March"},
      {"ddddd", t, "22/11/2001"},
      {"dddddd", t, "Thursday, 22 November 2001"},
      {"c", t, "22/11/2001 13:05:07"},
      {"c", midnight, "04/03/2001"},
      {"", t, "22/11/2001 13:05:07"},
      {"t", t, "13:05"},
      {"tt", t, "13:05:07"},
      {"h:n:s", morning, "9:8:0"},
      {"hh:nn:ss", morning, "09:08:00"},
      {"h:mm", t, "13:05"},  // m right after an hour is the minute
      {"hh mm", t, "13 05"},
      {"h mm", t, "13 05"},         // blanks and separators between keep the minute
      {"hh:nn mm", t, "13:05 11"},  // not after an hour: the month
      {"hh:nn am/pm", t, "01:05 pm"},
      {"h AM/PM", morning, "9 AM"},
      {"h:nn a/p", t, "1:05 p"},
      {"h:nn A/P", morning, "9:08 A"},
      {"h ampm", t, "1 PM"},
      {"h am/pm", midnight, "12 am"},
      {"hh", t, "13"},  // no marker: 24-hour clock
      {"z", t, "89"},
      {"zzz", t, "089"},
      {"\"day\" d", t, "day 22"},
      {"'yyyy' yyyy", t, "yyyy 2001"},
      {"'open", t, "open"},
      {"d.m.yyyy", t, "22.11.2001"},
      {"dd/mm", t, "22/11"},
      {"x-q!", t, "x-q!"},
      {"a", t, "a"},
      {"yyyy", At(5, 6, 7), "0005"},
      {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Pattern);
    EXPECT_EQ(Fmt(c.Pattern, c.Value), c.Expected);
  }
}

TEST(FormatDateTime, SeparatorsAndNamesComeFromTheSettings)
{
  TFormatSettings s;
  s.DateSeparator = ".";
  s.TimeSeparator = "-";
  s.LongMonthNames[10] = "Novembre";
  s.TimeAMString = "vorm.";
  const double t = At(2001, 11, 22, 1, 5);
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", t, s), "22.11.2001 01-05");
  EXPECT_EQ(FormatDateTime("mmmm h ampm", t, s), "Novembre 1 vorm.");
}

TEST(FormatDateTime, ConsoleDumpStampIsShortDateAndLongTime)
{
  EXPECT_EQ(ShortDateLongTimeText(At(2001, 11, 22, 13, 5, 7)), "22/11/2001 13:05:07");
  EXPECT_EQ(ShortDateLongTimeText(At(2001, 11, 22)), "22/11/2001 00:00:00");
}

TEST(FormatDateTime, ResultIsCutAt256Characters)
{
  EXPECT_EQ(Fmt(std::string(300, 'x'), 0.0), std::string(256, 'x'));
  std::string dates;
  for (int i = 0; i < 50; ++i) dates += "c ";
  EXPECT_EQ(Fmt(dates, At(2001, 1, 1, 12)).size(), 256u);
}

TEST(FormatDateTime, LocaleFormatsDoNotNestWithoutEnd)
{
  TFormatSettings s;
  s.ShortDateFormat = "c";
  s.LongTimeFormat = "tt";
  EXPECT_NO_THROW(FormatDateTime("c", At(2001, 1, 1, 12), s));
}

TEST(FormatDateTime, OutOfRangeValuesAreErrors)
{
  EXPECT_THROW(Fmt("yyyy", 1e300), Exception);
  EXPECT_THROW(Fmt("yyyy", std::nan("")), Exception);
  EXPECT_THROW(Fmt("yyyy", -1e7), Exception);
  try {
    Fmt("yyyy", 3e6);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "'3000000' is not a valid date and time");
  }
}

}  // namespace
}  // namespace quarn::script
