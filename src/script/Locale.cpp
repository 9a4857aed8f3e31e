#include "script/Locale.h"

#include <climits>
#include <clocale>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

namespace quarn::script {

namespace {

// "C", "POSIX" and "C.<codeset>" all behave as the C locale, whose conventions the library
// replaces by its own defaults (the C locale has no thousands separator or currency string).
bool IsCLocale(int category)
{
  const char* name = std::setlocale(category, nullptr);
  if (name == nullptr) return true;
  std::string_view n(name);
  return n == "C" || n == "POSIX" || n.substr(0, 2) == "C.";
}

std::string Strftime(const char* pattern, const std::tm& tm)
{
  char buffer[256];
  size_t size = std::strftime(buffer, sizeof buffer, pattern, &tm);
  return std::string(buffer, size);
}

std::tm MakeTm(int year, int month, int day, int hour, int minute, int second, int weekDay)
{
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_wday = weekDay;
  return tm;
}

// 22 November 2001 was a Thursday, 2 December 2001 a Sunday.
constexpr int SampleWeekDay = 4;

// A sample formatted by the locale, split into its runs of digits and what lies between.
struct TSample {
  std::vector<std::string> Numbers;
  std::vector<std::string> Gaps;  // Gaps[i] precedes Numbers[i]; one more gap at the end
};

TSample Split(const std::string& text)
{
  TSample sample;
  std::string gap;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] >= '0' && text[i] <= '9') {
      size_t start = i;
      while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
      sample.Gaps.push_back(gap);
      sample.Numbers.push_back(text.substr(start, i - start));
      gap.clear();
    } else {
      gap += text[i++];
    }
  }
  sample.Gaps.push_back(gap);
  return sample;
}

bool HasLetter(const std::string& text)
{
  for (unsigned char c : text)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80) return true;
  return false;
}

// The short date pattern and separator, from the locale's rendering of 22 November 2001.
void ReadDateFormats(TFormatSettings& s)
{
  TSample sample = Split(Strftime("%x", MakeTm(2001, 11, 22, 12, 0, 0, SampleWeekDay)));
  if (sample.Numbers.size() != 3 || !sample.Gaps.front().empty() || !sample.Gaps.back().empty())
    return;
  const std::string& separator = sample.Gaps[1];
  if (separator.empty() || separator != sample.Gaps[2] || HasLetter(separator)) return;
  std::string pattern;
  char order[3] = {};
  for (size_t i = 0; i < 3; ++i) {
    const std::string& n = sample.Numbers[i];
    const char* field;
    if (n == "22")
      field = "dd", order[i] = 'd';
    else if (n == "11")
      field = "mm", order[i] = 'm';
    else if (n == "2001")
      field = "yyyy", order[i] = 'y';
    else if (n == "01")
      field = "yy", order[i] = 'y';
    else
      return;
    if (i > 0) pattern += '/';
    pattern += field;
  }
  s.DateSeparator = separator;
  s.ShortDateFormat = pattern;
  if (order[0] == 'm')
    s.LongDateFormat = "dddd, mmmm d, yyyy";
  else if (order[0] == 'y')
    s.LongDateFormat = "dddd, yyyy mmmm d";
  else
    s.LongDateFormat = "dddd, d mmmm yyyy";
}

// The long and short time patterns and separator, from the locale's rendering of 13:45:56.
void ReadTimeFormats(TFormatSettings& s)
{
  std::tm afternoon = MakeTm(2001, 11, 22, 13, 45, 56, SampleWeekDay);
  std::string text = Strftime("%X", afternoon);
  TSample sample = Split(text);
  if (sample.Numbers.size() != 3) return;
  const std::string& separator = sample.Gaps[1];
  if (separator.empty() || separator != sample.Gaps[2] || HasLetter(separator)) return;
  std::string hour;
  if (sample.Numbers[0] == "13")
    hour = "hh";
  else if (sample.Numbers[0] == "01")
    hour = "hh";
  else if (sample.Numbers[0] == "1")
    hour = "h";
  else
    return;
  if (sample.Numbers[1] != "45" || sample.Numbers[2] != "56") return;
  bool twelveHour = sample.Numbers[0] != "13";
  std::string before = sample.Gaps.front();
  std::string after = sample.Gaps.back();
  if (twelveHour) {
    // The marker stands where the locale puts its PM text; "ampm" prints the locale's text.
    bool markerFirst = !before.empty() && after.empty();
    std::string longTime = hour + ":nn:ss";
    std::string shortTime = hour + ":nn";
    s.LongTimeFormat = markerFirst ? "ampm " + longTime : longTime + " ampm";
    s.ShortTimeFormat = markerFirst ? "ampm " + shortTime : shortTime + " ampm";
  } else {
    if (!before.empty() || !after.empty()) return;
    s.LongTimeFormat = hour + ":nn:ss";
    s.ShortTimeFormat = hour + ":nn";
  }
  s.TimeSeparator = separator;
}

void ReadTimeNames(TFormatSettings& s)
{
  for (int month = 1; month <= 12; ++month) {
    std::tm tm = MakeTm(2001, month, 1, 12, 0, 0, 0);
    s.ShortMonthNames[month - 1] = Strftime("%b", tm);
    s.LongMonthNames[month - 1] = Strftime("%B", tm);
  }
  for (int day = 0; day < 7; ++day) {
    std::tm tm = MakeTm(2001, 12, 2 + day, 12, 0, 0, day);
    s.ShortDayNames[day] = Strftime("%a", tm);
    s.LongDayNames[day] = Strftime("%A", tm);
  }
  std::string am = Strftime("%p", MakeTm(2001, 11, 22, 1, 0, 0, SampleWeekDay));
  std::string pm = Strftime("%p", MakeTm(2001, 11, 22, 13, 0, 0, SampleWeekDay));
  if (!am.empty() && !pm.empty()) {
    s.TimeAMString = am;
    s.TimePMString = pm;
  }
}

// Index into the negative currency layouts from the C library's description:
// [symbol before][space between][sign position 0..4].
constexpr int NegativeLayoutFromLconv[2][2][5] = {
    {{4, 5, 7, 6, 7}, {15, 8, 10, 13, 10}},  // symbol after the amount
    {{0, 1, 3, 1, 2}, {14, 9, 11, 9, 12}},   // symbol before the amount
};

void ReadMonetary(TFormatSettings& s)
{
  const std::lconv* lc = std::localeconv();
  if (lc == nullptr) return;
  if (lc->currency_symbol != nullptr && lc->currency_symbol[0] != '\0')
    s.CurrencyString = lc->currency_symbol;
  if (lc->frac_digits != CHAR_MAX && lc->frac_digits >= 0 && lc->frac_digits <= 18)
    s.CurrencyDecimals = lc->frac_digits;
  auto flag = [](char value, int fallback) { return value == CHAR_MAX ? fallback : value != 0; };
  int before = flag(lc->p_cs_precedes, 1);
  int space = flag(lc->p_sep_by_space, 0);
  s.CurrencyFormat = before ? (space ? 2 : 0) : (space ? 3 : 1);
  int negBefore = flag(lc->n_cs_precedes, before);
  int negSpace = flag(lc->n_sep_by_space, space);
  int position = lc->n_sign_posn == CHAR_MAX || lc->n_sign_posn > 4 ? 1 : lc->n_sign_posn;
  s.NegCurrFormat = NegativeLayoutFromLconv[negBefore][negSpace][position];
}

void ReadNumeric(TFormatSettings& s)
{
  const std::lconv* lc = std::localeconv();
  if (lc == nullptr) return;
  if (lc->decimal_point != nullptr && lc->decimal_point[0] != '\0')
    s.DecimalSeparator = lc->decimal_point;
  if (lc->thousands_sep != nullptr) s.ThousandSeparator = lc->thousands_sep;
}

}  // namespace

TFormatSettings DefaultFormatSettings() { return TFormatSettings{}; }

TFormatSettings ReadFormatSettings()
{
  TFormatSettings s;
  if (!IsCLocale(LC_NUMERIC)) ReadNumeric(s);
  if (!IsCLocale(LC_MONETARY)) ReadMonetary(s);
  if (!IsCLocale(LC_TIME)) {
    ReadTimeNames(s);
    ReadDateFormats(s);
    ReadTimeFormats(s);
  }
  return s;
}

const TFormatSettings& FormatSettings()
{
  static std::string cachedName;
  static TFormatSettings cached;
  static bool loaded = false;
  const char* name = std::setlocale(LC_ALL, nullptr);
  const std::string_view current = name != nullptr ? name : "";
  if (!loaded || current != cachedName) {  // compared in place: no copy per call
    cached = ReadFormatSettings();
    cachedName = current;
    loaded = true;
  }
  return cached;
}

}  // namespace quarn::script
