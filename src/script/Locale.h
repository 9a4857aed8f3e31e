// Number, currency, date and time conventions of the process locale, as the library's
// formatting routines use them.
#pragma once

#include <array>
#include <string>

namespace quarn::script {

struct TFormatSettings {
  std::string DecimalSeparator = ".";
  std::string ThousandSeparator = ",";
  std::string CurrencyString = "$";
  // Placement of the currency string around a positive amount:
  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
  int CurrencyFormat = 0;
  // Placement for a negative amount, 0..15 (see NegativeCurrencyLayouts in Format.cpp):
  // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-", 8 "-1 $",
  // 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)".
  int NegCurrFormat = 1;
  int CurrencyDecimals = 2;
  std::string DateSeparator = "/";
  std::string TimeSeparator = ":";
  // Date-time patterns; "/" and ":" in them stand for the two separators above.
  std::string ShortDateFormat = "dd/mm/yyyy";
  std::string LongDateFormat = "dddd, d mmmm yyyy";
  std::string ShortTimeFormat = "hh:nn";
  std::string LongTimeFormat = "hh:nn:ss";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> LongMonthNames{"January",   "February", "March",    "April",
                                             "May",       "June",     "July",     "August",
                                             "September", "October",  "November", "December"};
  // Sunday first.
  std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
};

// The settings of the C/POSIX locale (the member defaults above).
TFormatSettings DefaultFormatSettings();

// Reads the settings of the process locale as setlocale() has set it; categories in the
// C/POSIX locale keep the defaults.
TFormatSettings ReadFormatSettings();

// The process locale's settings, read again whenever setlocale() has changed the locale
// since the last call.
const TFormatSettings& FormatSettings();

}  // namespace quarn::script
