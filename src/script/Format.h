// The format routine: printf-like directives over integer, float and string arguments.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "script/Locale.h"

namespace quarn::script {

struct TFormatArg {
  // Other: a value no directive accepts (a boolean, for instance).
  enum class TKind { Integer, Float, String, Other };
  TKind Kind = TKind::Integer;
  int32_t Integer = 0;
  double Float = 0.0;
  std::string_view String;  // must outlive the call it is passed to

  static TFormatArg OfInteger(int32_t value) { return {TKind::Integer, value, 0.0, {}}; }
  static TFormatArg OfFloat(double value) { return {TKind::Float, 0, value, {}}; }
  static TFormatArg OfString(std::string_view value) { return {TKind::String, 0, 0.0, value}; }
  static TFormatArg OfOther() { return {TKind::Other, 0, 0.0, {}}; }
};

// The locale settings a format needs, asked for only when a directive reads them (reading
// the current locale costs more than formatting an integer).
class TSettingsSource {
public:
  explicit TSettingsSource(const TFormatSettings& settings) : FSettings(&settings) {}
  explicit TSettingsSource(const TFormatSettings& (*read)()) : FRead(read) {}
  const TFormatSettings& Get() const { return FSettings ? *FSettings : FRead(); }

private:
  const TFormatSettings* FSettings = nullptr;
  const TFormatSettings& (*FRead)() = nullptr;
};

// Widths and precisions above this are format errors rather than giant strings.
inline constexpr int MaxFormatWidth = 65536;

// Formats `format` with its directives "%" [index ":"] ["-"] [width] ["." precision] type,
// types d x e f g n m s (either case), "*" taking a width, precision or index from the
// arguments, and "%%" for a percent sign. Raises Exception with
// "Format '%s' invalid or incompatible with argument" or "No argument for format '%s'".
std::string FormatArgs(std::string_view format, std::span<const TFormatArg> args,
                       const TFormatSettings& settings);

// The script's format(f, x1, ..., xk): f is cut into one segment per argument, each holding
// one directive (every "%" starts a segment), and each segment is formatted with its own
// argument alone. Text after the last argument's segment is dropped; with no arguments the
// result is empty.
std::string FormatSegments(std::string_view format, std::span<const TFormatArg> args,
                           const TFormatSettings& settings);
// The same, appended to out.
void FormatSegments(std::string_view format, std::span<const TFormatArg> args,
                    TSettingsSource settings, std::string& out);

}  // namespace quarn::script
