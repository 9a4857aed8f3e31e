// The conventions read from the process locale; tests run with LC_ALL=C.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "script/Locale.h"

namespace quarn::script {
namespace {

void ExpectCDefaults(const TFormatSettings& s)
{
  EXPECT_EQ(s.DecimalSeparator, ".");
  EXPECT_EQ(s.ThousandSeparator, ",");
  EXPECT_EQ(s.CurrencyString, "$");
  EXPECT_EQ(s.CurrencyFormat, 0);  // "$1"
  EXPECT_EQ(s.NegCurrFormat, 1);   // "-$1"
  EXPECT_EQ(s.CurrencyDecimals, 2);
  EXPECT_EQ(s.DateSeparator, "/");
  EXPECT_EQ(s.TimeSeparator, ":");
  EXPECT_EQ(s.ShortDateFormat, "dd/mm/yyyy");
  EXPECT_EQ(s.LongDateFormat, "dddd, d mmmm yyyy");
  EXPECT_EQ(s.ShortTimeFormat, "hh:nn");
  EXPECT_EQ(s.LongTimeFormat, "hh:nn:ss");
  EXPECT_EQ(s.TimeAMString, "AM");
  EXPECT_EQ(s.TimePMString, "PM");
  EXPECT_EQ(s.ShortDayNames[0], "Sun");
  EXPECT_EQ(s.LongDayNames[6], "Saturday");
  EXPECT_EQ(s.ShortMonthNames[0], "Jan");
  EXPECT_EQ(s.LongMonthNames[8], "September");
}

class LocaleSettings : public ::testing::Test {
protected:
  void SetUp() override { FSaved = std::setlocale(LC_ALL, nullptr); }
  void TearDown() override { std::setlocale(LC_ALL, FSaved.c_str()); }
  std::string FSaved;
};

TEST_F(LocaleSettings, DefaultsAreTheCLocaleConventions)
{
  ExpectCDefaults(DefaultFormatSettings());
}

TEST_F(LocaleSettings, CAndPosixLocalesGiveTheDefaults)
{
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    SCOPED_TRACE(name);
    if (std::setlocale(LC_ALL, name) == nullptr) continue;
    ExpectCDefaults(ReadFormatSettings());
    ExpectCDefaults(FormatSettings());
  }
}

TEST_F(LocaleSettings, EnvironmentLocaleIsReadLikeTheProgramsDo)
{
  // The test environment sets LC_ALL=C, so the programs' setlocale(LC_ALL, "") gives C.
  if (std::setlocale(LC_ALL, "") == nullptr) GTEST_SKIP();
  const TFormatSettings& s = FormatSettings();
  EXPECT_FALSE(s.DecimalSeparator.empty());
  EXPECT_FALSE(s.ShortDateFormat.empty());
  EXPECT_FALSE(s.LongDayNames[0].empty());
}

}  // namespace
}  // namespace quarn::script
