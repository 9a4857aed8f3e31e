#include "script/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "script/Errors.h"
#include "script/FormatFloat.h"
#include "script/Locale.h"
#include "script/Rounding.h"

namespace quarn::script {

namespace {

constexpr int64_t MillisecondsPerDay = 86400000;
constexpr int64_t DaysFrom1970To1899 = -25569;  // 30 December 1899 relative to 1 January 1970
constexpr size_t MaxDateTimeText = 256;
constexpr int MaxNestedFormats = 2;  // "c", "t", "ddddd"... inside a locale format
constexpr const char* InvalidDateTime = "'%s' is not a valid date and time";

// Days since 1 January 1970 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

class TDateTimeFormatter {
public:
  TDateTimeFormatter(const TDateTimeParts& parts, const TFormatSettings& s)
      : FParts(parts), FSettings(s)
  {
  }

  void Append(std::string_view pattern, int level)
  {
    if (level > MaxNestedFormats) return;
    char lastToken = ' ';
    bool twelveHour = false;
    size_t i = 0;
    while (i < pattern.size() && FText.size() < MaxDateTimeText) {
      char starter = pattern[i++];
      char token = starter >= 'a' && starter <= 'z' ? static_cast<char>(starter - 32) : starter;
      if (token >= 'A' && token <= 'Z') {
        if (token == 'M' && lastToken == 'H') token = 'N';
        lastToken = token;
      }
      switch (token) {
        case 'Y': {
          int count = Count(pattern, i, starter);
          if (count <= 2)
            Number(FParts.Year % 100, 2);
          else
            Number(FParts.Year, 4);
          break;
        }
        case 'M': {
          int count = Count(pattern, i, starter);
          if (count <= 2)
            Number(FParts.Month, count);
          else if (count == 3)
            Add(FSettings.ShortMonthNames[FParts.Month - 1]);
          else
            Add(FSettings.LongMonthNames[FParts.Month - 1]);
          break;
        }
        case 'D': {
          int count = Count(pattern, i, starter);
          if (count <= 2)
            Number(FParts.Day, count);
          else if (count == 3)
            Add(FSettings.ShortDayNames[FParts.DayOfWeek - 1]);
          else if (count == 4)
            Add(FSettings.LongDayNames[FParts.DayOfWeek - 1]);
          else if (count == 5)
            Append(FSettings.ShortDateFormat, level + 1);
          else
            Append(FSettings.LongDateFormat, level + 1);
          break;
        }
        case 'H': {
          int count = Count(pattern, i, starter);
          if (MarkerFollows(pattern, i)) twelveHour = true;
          int hour = FParts.Hour;
          if (twelveHour) {
            if (hour == 0)
              hour = 12;
            else if (hour > 12)
              hour -= 12;
          }
          Number(hour, count > 2 ? 2 : count);
          break;
        }
        case 'N': {
          int count = Count(pattern, i, starter);
          Number(FParts.Minute, count > 2 ? 2 : count);
          break;
        }
        case 'S': {
          int count = Count(pattern, i, starter);
          Number(FParts.Second, count > 2 ? 2 : count);
          break;
        }
        case 'Z': {
          int count = Count(pattern, i, starter);
          Number(FParts.MilliSecond, count <= 2 ? 1 : 3);
          break;
        }
        case 'T': {
          int count = Count(pattern, i, starter);
          Append(count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, level + 1);
          break;
        }
        case 'C': {
          Count(pattern, i, starter);
          Append(FSettings.ShortDateFormat, level + 1);
          if (FParts.Hour != 0 || FParts.Minute != 0 || FParts.Second != 0) {
            Add(" ");
            Append(FSettings.LongTimeFormat, level + 1);
          }
          break;
        }
        case 'A': Marker(pattern, i, twelveHour); break;
        case '/': Add(FSettings.DateSeparator); break;
        case ':': Add(FSettings.TimeSeparator); break;
        case '\'':
        case '"': {
          size_t end = pattern.find(starter, i);
          if (end == std::string_view::npos) end = pattern.size();
          Add(pattern.substr(i, end - i));
          i = end < pattern.size() ? end + 1 : end;
          break;
        }
        default: Add(std::string_view(&starter, 1)); break;
      }
    }
  }

  std::string Text() const { return FText.substr(0, MaxDateTimeText); }

private:
  const TDateTimeParts& FParts;
  const TFormatSettings& FSettings;
  std::string FText;

  // Number of repeats of `starter` at i (the one already read included); moves i past them.
  static int Count(std::string_view pattern, size_t& i, char starter)
  {
    int count = 1;
    while (i < pattern.size() && pattern[i] == starter) {
      ++i;
      ++count;
    }
    return count;
  }

  static bool StartsWithNoCase(std::string_view text, std::string_view prefix)
  {
    if (text.size() < prefix.size()) return false;
    for (size_t k = 0; k < prefix.size(); ++k) {
      char c = text[k];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      if (c != prefix[k]) return false;
    }
    return true;
  }

  // Whether a 12-hour marker comes before the next hour field (outside quotes): the first
  // "a" decides.
  static bool MarkerFollows(std::string_view pattern, size_t i)
  {
    bool quoted = false;
    for (; i < pattern.size(); ++i) {
      char c = pattern[i];
      if (c == '\'' || c == '"') quoted = !quoted;
      if (quoted) continue;
      if (c == 'a' || c == 'A') {
        std::string_view at = pattern.substr(i);
        return StartsWithNoCase(at, "am/pm") || StartsWithNoCase(at, "a/p") ||
               StartsWithNoCase(at, "ampm");
      }
      if (c == 'h' || c == 'H') return false;
    }
    return false;
  }

  // "am/pm" and "a/p" print their own am or pm half as written; "ampm" the locale's text.
  void Marker(std::string_view pattern, size_t& i, bool& twelveHour)
  {
    std::string_view at = pattern.substr(i - 1);
    bool afternoon = FParts.Hour >= 12;
    if (StartsWithNoCase(at, "am/pm")) {
      Add(at.substr(afternoon ? 3 : 0, 2));
      i += 4;
      twelveHour = true;
    } else if (StartsWithNoCase(at, "a/p")) {
      Add(at.substr(afternoon ? 2 : 0, 1));
      i += 2;
      twelveHour = true;
    } else if (StartsWithNoCase(at, "ampm")) {
      Add(afternoon ? FSettings.TimePMString : FSettings.TimeAMString);
      i += 3;
      twelveHour = true;
    } else {
      Add(at.substr(0, 1));
    }
  }

  void Add(std::string_view text)
  {
    if (FText.size() < MaxDateTimeText)
      FText.append(text.substr(0, MaxDateTimeText - FText.size()));
  }

  void Number(int value, int digits)
  {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < digits)
      text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
    Add(text);
  }
};

}  // namespace

bool DecodeDateTime(double dateTime, TDateTimeParts& parts)
{
  if (!(dateTime > MinDateTime - 1.0 && dateTime < EndDateTime + 1.0)) return false;
  int64_t total =
      static_cast<int64_t>(RoundHalfEven(dateTime * static_cast<double>(MillisecondsPerDay)));
  int64_t days = total / MillisecondsPerDay;
  int64_t time = total % MillisecondsPerDay;
  if (time < 0) time = -time;
  if (days < static_cast<int64_t>(MinDateTime) || days >= static_cast<int64_t>(EndDateTime))
    return false;
  CivilFromDays(days + DaysFrom1970To1899, parts.Year, parts.Month, parts.Day);
  parts.Hour = static_cast<int>(time / 3600000);
  parts.Minute = static_cast<int>(time / 60000 % 60);
  parts.Second = static_cast<int>(time / 1000 % 60);
  parts.MilliSecond = static_cast<int>(time % 1000);
  // Day 0 (30 December 1899) was a Saturday.
  parts.DayOfWeek = static_cast<int>(((days % 7 + 7) % 7 + 6) % 7 + 1);
  return true;
}

double EncodeDateTime(const TDateTimeParts& p)
{
  int64_t days = DaysFromCivil(p.Year, p.Month, p.Day) - DaysFrom1970To1899;
  int64_t ms =
      ((static_cast<int64_t>(p.Hour) * 60 + p.Minute) * 60 + p.Second) * 1000 + p.MilliSecond;
  double fraction = static_cast<double>(ms) / static_cast<double>(MillisecondsPerDay);
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

double Now()
{
  using namespace std::chrono;
  system_clock::time_point now = system_clock::now();
  std::time_t seconds = system_clock::to_time_t(now);
  int64_t ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  if (ms < 0) ms += 1000;
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return 0.0;
  TDateTimeParts parts;
  parts.Year = local.tm_year + 1900;
  parts.Month = local.tm_mon + 1;
  parts.Day = local.tm_mday;
  parts.Hour = local.tm_hour;
  parts.Minute = local.tm_min;
  parts.Second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second reads as :59
  parts.MilliSecond = static_cast<int>(ms);
  return EncodeDateTime(parts);
}

std::string FormatDateTime(std::string_view pattern, double dateTime, const TFormatSettings& s)
{
  TDateTimeParts parts;
  if (!DecodeDateTime(dateTime, parts)) {
    std::string text = ShortestFloatText(dateTime);
    throw Exception(FormatMessage(InvalidDateTime, text.c_str()));
  }
  TDateTimeFormatter formatter(parts, s);
  formatter.Append(pattern.empty() ? std::string_view("c") : pattern, 1);
  return formatter.Text();
}

std::string ShortDateLongTimeText(double dateTime)
{
  return FormatDateTime("ddddd tt", dateTime, FormatSettings());
}

}  // namespace quarn::script
