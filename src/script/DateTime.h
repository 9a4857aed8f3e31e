// Date-times as day counts since 30 December 1899 (the fraction is the time of day), and
// their text forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/Locale.h"

namespace quarn::script {

struct TDateTimeParts {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int MilliSecond = 0;
  int DayOfWeek = 7;  // 1 = Sunday .. 7 = Saturday
};

// Day counts of 1 January 0001 and of 1 January 10000, the end of the supported range.
inline constexpr double MinDateTime = -693593.0;
inline constexpr double EndDateTime = 2958466.0;

// The whole part counts days (toward zero), the magnitude of the fraction is the time of day,
// rounded to the millisecond: -1.25 is 29 December 1899, 06:00. False outside the supported
// range, for infinities and NaN.
bool DecodeDateTime(double dateTime, TDateTimeParts& parts);

// Inverse of DecodeDateTime for valid dates (DayOfWeek is ignored).
double EncodeDateTime(const TDateTimeParts& parts);

// The current local date and time, to the millisecond.
double Now();

// Formats with the date-time pattern language (d dd ddd dddd ddddd dddddd, m mm mmm mmmm,
// yy yyyy, h hh, n nn, s ss, z zzz, t tt, c, am/pm a/p ampm, / :, quoted text; "m" right after
// an hour means minutes). An empty pattern formats as "c". The result is cut to 256
// characters. A date-time outside the supported range raises Exception.
std::string FormatDateTime(std::string_view pattern, double dateTime, const TFormatSettings& s);

// The locale's short date, a blank and its long time, as console dumps are stamped.
std::string ShortDateLongTimeText(double dateTime);

}  // namespace quarn::script
