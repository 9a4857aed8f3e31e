#pragma once
#include <cmath>

namespace quarn::script {

// Nearest integer with ties to even, as a double; NaN and infinities pass through.
// std::nearbyint rounds in the current rounding mode, and the program never leaves the
// default one, to nearest with ties to even: on x86-64 the SSE unit does all float and double
// arithmetic, and its default control state already rounds to nearest and masks every
// floating-point exception (infinities and NaNs instead of traps), so nothing is set at
// start-up. A cast truncates instead.
inline double RoundHalfEven(double value) { return std::nearbyint(value); }

}  // namespace quarn::script
