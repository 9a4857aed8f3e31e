// Float to text in the forms of the format routine's e, f, g, n and m directives.
#pragma once

#include <string>

#include "script/Locale.h"

namespace quarn::script {

enum class TFloatForm {
  Exponent,  // "-d.ddd...E+ddd": precision = significant digits (default 15)
  Fixed,     // "-ddd.ddd": precision = decimals (default 2)
  General,   // shortest of fixed and exponent: precision = significant digits (default 15)
  Number,    // "-d,ddd.ddd": precision = decimals (default 2)
  Currency,  // locale currency layout: precision = decimals (default: the locale's)
};

// precision < 0 selects the form's default. Infinities and NaN read "INF", "-INF", "NAN".
// Digits are taken from the value rounded to 18 significant digits, then rounded half away
// from zero to the requested precision (so 0.125 with 2 decimals reads 0.13).
std::string FloatToText(double value, TFloatForm form, int precision, const TFormatSettings& s);

// The shortest text that reads back to the same double, with "." as decimal separator:
// fixed notation for magnitudes from 1E-5 below 1E16, else "1.5E20" / "1E-7".
std::string ShortestFloatText(double value);

}  // namespace quarn::script
