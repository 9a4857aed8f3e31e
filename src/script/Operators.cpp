#include "script/Operators.h"

#include <cmath>

#include "script/Errors.h"
#include "script/Rounding.h"

namespace quarn::script {

namespace {

constexpr const char* InvalidFloatOperation = "Invalid floating point operation";
constexpr double TwoPow63 = 9223372036854775808.0;

int32_t LowBits(double integral)
{
  if (!(integral >= -TwoPow63 && integral < TwoPow63)) throw Exception(InvalidFloatOperation);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(integral)));
}

}  // namespace

void RaiseDivisionByZero() { throw Exception(msg::DivisionByZero); }

int32_t RoundToInt(double value) { return LowBits(RoundHalfEven(value)); }

int32_t TruncToInt(double value) { return LowBits(std::trunc(value)); }

double IntPart(double value) { return std::trunc(value); }

double FracPart(double value) { return value - std::trunc(value); }

}  // namespace quarn::script
