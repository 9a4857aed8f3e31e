#include "script/FormatFloat.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace quarn::script {

namespace {

constexpr int DefaultSignificant = 15;
constexpr int DefaultDecimals = 2;
constexpr int StoredDigits = 18;        // digits kept from the binary value
constexpr int MaxGeneralDigits = 18;    // beyond these General would only add zeros it strips
constexpr int MinExponentDigits = 3;    // the exponent form always shows at least E+000
constexpr int GeneralFixedLowest = -4;  // General stays fixed down to 0.00001

// value = 0.Digits x 10^Exponent; Digits has no trailing zeros and is empty for zero.
struct TDecimal {
  bool Negative = false;
  int Exponent = 0;
  std::string Digits;

  char DigitAt(int index) const
  {
    return index >= 0 && index < static_cast<int>(Digits.size()) ? Digits[index] : '0';
  }
  bool IsZero() const { return Digits.empty(); }
};

void StripTrailingZeros(TDecimal& d)
{
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  if (d.Digits.empty()) d.Exponent = 0;
}

// The finite value v with `significant` digits, correctly rounded from the binary value.
TDecimal Decompose(double v, int significant)
{
  TDecimal d;
  d.Negative = std::signbit(v);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, std::fabs(v));
  std::string_view text(buffer);
  size_t e = text.find('e');
  for (size_t i = 0; i < e; ++i)  // skips the separator, whatever the C locale makes it
    if (text[i] >= '0' && text[i] <= '9') d.Digits += text[i];
  d.Exponent = std::atoi(buffer + e + 1) + 1;
  StripTrailingZeros(d);
  return d;
}

// Keeps the first `keep` digits, rounding half away from zero.
void RoundTo(TDecimal& d, int keep)
{
  if (keep >= static_cast<int>(d.Digits.size())) return;
  if (keep < 0) {
    d.Digits.clear();
    d.Exponent = 0;
    return;
  }
  bool up = d.Digits[keep] >= '5';
  d.Digits.resize(keep);
  if (up) {
    while (!d.Digits.empty() && d.Digits.back() == '9') d.Digits.pop_back();
    if (d.Digits.empty()) {
      d.Digits.push_back('1');  // not = "1": g++ 12 -O3 reports a false overlap (-Wrestrict)
      d.Exponent += 1;
    } else {
      d.Digits.back() += 1;
    }
  }
  StripTrailingZeros(d);
}

std::string SignOf(const TDecimal& d) { return d.Negative && !d.IsZero() ? "-" : ""; }

// Digits of the integer part, grouped by `thousands` when it is not empty.
std::string IntegerPart(const TDecimal& d, const std::string& thousands)
{
  if (d.Exponent <= 0) return "0";
  std::string text;
  for (int i = 0; i < d.Exponent; ++i) {
    if (i > 0 && !thousands.empty() && (d.Exponent - i) % 3 == 0) text += thousands;
    text += d.DigitAt(i);
  }
  return text;
}

// Unsigned fixed text of d with `decimals` digits after the separator.
std::string FixedDigits(TDecimal d, int decimals, const std::string& thousands,
                        const std::string& decimal)
{
  RoundTo(d, d.Exponent + decimals);
  std::string text = IntegerPart(d, thousands);
  if (decimals > 0) {
    text += decimal;
    for (int j = 0; j < decimals; ++j) text += d.DigitAt(d.Exponent + j);
  }
  return text;
}

std::string ExponentDigits(int exponent, int minDigits)
{
  std::string digits = std::to_string(exponent < 0 ? -static_cast<long>(exponent) : exponent);
  if (static_cast<int>(digits.size()) < minDigits)
    digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), '0');
  return digits;
}

std::string ExponentForm(TDecimal d, int significant, const std::string& decimal)
{
  if (significant < 1) significant = 1;
  RoundTo(d, significant);
  int exponent = d.IsZero() ? 0 : d.Exponent - 1;
  std::string text = SignOf(d);
  text += d.DigitAt(0);
  if (significant > 1) {
    text += decimal;
    for (int i = 1; i < significant; ++i) text += d.DigitAt(i);
  }
  text += exponent < 0 ? "E-" : "E+";
  return text + ExponentDigits(exponent, MinExponentDigits);
}

// Fixed when the integer part has at most `fixedLimit` digits and the magnitude is at least
// 0.00001, else "d.dddE[-]x"; no trailing zeros, no separator without decimals.
std::string GeneralLayout(const TDecimal& d, int fixedLimit, const std::string& decimal)
{
  if (d.IsZero()) return "0";
  std::string text = SignOf(d);
  int count = static_cast<int>(d.Digits.size());
  if (d.Exponent <= fixedLimit && d.Exponent >= GeneralFixedLowest) {
    text += IntegerPart(d, std::string());
    if (count > d.Exponent) {
      text += decimal;
      for (int j = d.Exponent; j < count; ++j) text += d.DigitAt(j);
    }
    return text;
  }
  text += d.Digits[0];
  if (count > 1) text += decimal + d.Digits.substr(1);
  int exponent = d.Exponent - 1;
  text += exponent < 0 ? "E-" : "E";
  return text + ExponentDigits(exponent, 1);
}

// '$' stands for the currency string, '1' for the amount, '-' for the sign.
constexpr std::array<std::string_view, 4> PositiveCurrencyLayouts{"$1", "1$", "$ 1", "1 $"};
constexpr std::array<std::string_view, 16> NegativeCurrencyLayouts{
    "($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
    "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};

std::string CurrencyForm(const TDecimal& d, int decimals, const TFormatSettings& s)
{
  std::string amount = FixedDigits(d, decimals, s.ThousandSeparator, s.DecimalSeparator);
  // A negative value that rounds to zero is shown as a plain zero amount.
  TDecimal rounded = d;
  RoundTo(rounded, rounded.Exponent + decimals);
  bool negative = rounded.Negative && !rounded.IsZero();
  std::string_view layout =
      negative ? NegativeCurrencyLayouts[static_cast<size_t>(s.NegCurrFormat) % 16]
               : PositiveCurrencyLayouts[static_cast<size_t>(s.CurrencyFormat) % 4];
  std::string text;
  for (char c : layout) {
    if (c == '$')
      text += s.CurrencyString;
    else if (c == '1')
      text += amount;
    else
      text += c;
  }
  return text;
}

}  // namespace

std::string FloatToText(double value, TFloatForm form, int precision, const TFormatSettings& s)
{
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  TDecimal d = Decompose(value, StoredDigits);
  switch (form) {
    case TFloatForm::Exponent:
      return ExponentForm(d, precision < 0 ? DefaultSignificant : precision, s.DecimalSeparator);
    case TFloatForm::General: {
      int significant = precision < 0 ? DefaultSignificant : precision;
      if (significant < 1) significant = 1;
      if (significant > MaxGeneralDigits) significant = MaxGeneralDigits;
      RoundTo(d, significant);
      return GeneralLayout(d, significant, s.DecimalSeparator);
    }
    case TFloatForm::Fixed:
    case TFloatForm::Number: {
      int decimals = precision < 0 ? DefaultDecimals : precision;
      RoundTo(d, d.Exponent + decimals);
      const std::string thousands =
          form == TFloatForm::Number ? s.ThousandSeparator : std::string();
      return SignOf(d) + FixedDigits(d, decimals, thousands, s.DecimalSeparator);
    }
    case TFloatForm::Currency:
      return CurrencyForm(d, precision < 0 ? s.CurrencyDecimals : precision, s);
  }
  return std::string();
}

std::string ShortestFloatText(double value)
{
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  constexpr int MaxRoundTripDigits = 17;
  constexpr int FixedLimit = 16;  // every integer below 2^53 stays in fixed notation
  TDecimal d;
  for (int digits = 1; digits <= MaxRoundTripDigits; ++digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
    if (std::strtod(buffer, nullptr) == value || digits == MaxRoundTripDigits) {
      d = Decompose(value, digits);
      break;
    }
  }
  return GeneralLayout(d, FixedLimit, ".");
}

}  // namespace quarn::script
