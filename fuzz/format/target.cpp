// The format routine, the date-time patterns and StrToInt over arbitrary text.
// Input: one byte choosing up to four argument kinds (two bits each), eight bytes of a
// double, then the format text.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "script/DateTime.h"
#include "script/Errors.h"
#include "script/Format.h"
#include "script/Text.h"

using namespace quarn::script;

namespace {

constexpr size_t HeaderSize = 9;
constexpr int MaxArgs = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < HeaderSize) return 0;
  uint8_t kinds = data[0];
  double number = 0;
  std::memcpy(&number, data + 1, sizeof number);
  std::string_view text(reinterpret_cast<const char*>(data + HeaderSize), size - HeaderSize);
  int32_t integer = 0;
  std::memcpy(&integer, data + 1, sizeof integer);

  std::vector<TFormatArg> args;
  for (int i = 0; i < MaxArgs; ++i) {
    switch ((kinds >> (2 * i)) & 3) {
      case 0: args.push_back(TFormatArg::OfInteger(integer)); break;
      case 1: args.push_back(TFormatArg::OfFloat(number)); break;
      case 2: args.push_back(TFormatArg::OfString(text)); break;
      default: break;
    }
  }
  const TFormatSettings settings = DefaultFormatSettings();
  try {
    (void)FormatArgs(text, args, settings);
  } catch (const Exception&) {
  }
  try {
    (void)FormatSegments(text, args, settings);
  } catch (const Exception&) {
  }
  try {
    // Keep a representable date so the pattern itself is exercised.
    double when = std::isfinite(number) ? std::fmod(number, 100000.0) : 0.0;
    std::string out = FormatDateTime(text, when, settings);
    if (out.size() > 256) __builtin_trap();
    (void)FormatDateTime(text, number, settings);
  } catch (const Exception&) {
  }
  try {
    (void)StrToInt(text);
  } catch (const Exception&) {
  }
  return 0;
}
