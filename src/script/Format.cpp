#include "script/Format.h"

#include <algorithm>
#include <charconv>

#include "script/Errors.h"
#include "script/FormatFloat.h"
#include "script/Value.h"

namespace quarn::script {

namespace {

// Error messages quote at most this much of the format text.
constexpr size_t MaxQuotedFormat = 31;
constexpr int Unset = -1;
constexpr int FromArgument = -2;  // "*"

enum class TFormatError { Invalid, NoArgument };

[[noreturn]] void Fail(TFormatError error, std::string_view format)
{
  std::string quoted(format.substr(0, MaxQuotedFormat));
  throw Exception(FormatMessage(
      error == TFormatError::Invalid ? msg::FormatInvalid : msg::FormatNoArgument, quoted.c_str()));
}

// Appends a piece of text; the pieces around a directive are mostly empty or one character,
// which cost far less than the general append.
inline void AppendPiece(std::string& out, std::string_view piece)
{
  if (piece.size() == 1)
    out.push_back(piece[0]);
  else if (!piece.empty())
    out.append(piece);
}

// The next "%" from `from`, or npos. Format texts are short: a plain loop costs less than
// the library's search.
size_t FindPercent(std::string_view text, size_t from)
{
  for (size_t i = from; i < text.size(); ++i)
    if (text[i] == '%') return i;
  return std::string_view::npos;
}

struct TDirective {
  bool LeftJustify = false;
  int Index = Unset;
  int Width = Unset;
  int Precision = Unset;
  char Type = 0;
};

class TFormatter {
public:
  // settings is read only by the float directives, and only then asked for.
  TFormatter(std::string_view format, std::span<const TFormatArg> args, TSettingsSource settings)
      : FFormat(format), FArgs(args), FSettings(settings)
  {
  }

  // Appends the formatted text to out.
  void Run(std::string& out)
  {
    size_t i = 0;
    while (i < FFormat.size()) {
      size_t percent = FindPercent(FFormat, i);
      if (percent == std::string_view::npos) percent = FFormat.size();
      AppendPiece(out, FFormat.substr(i, percent - i));
      i = percent;
      if (i >= FFormat.size()) break;
      ++i;
      if (i < FFormat.size() && FFormat[i] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (i < FFormat.size() && FArgIndex < FArgs.size() && Plain(FFormat[i], FArgs[FArgIndex])) {
        // a bare %d or %s with its argument: nothing to parse, pad or resolve
        const TFormatArg& arg = FArgs[FArgIndex++];
        ++i;
        if (arg.Kind == TFormatArg::TKind::Integer)
          IntegerText(arg.Integer, false, Unset, TDirective(), out);
        else
          Pad(arg.String, TDirective(), out);
        continue;
      }
      TDirective d = Parse(i);
      Convert(d, out);
    }
  }

private:
  std::string_view FFormat;
  std::span<const TFormatArg> FArgs;
  TSettingsSource FSettings;
  size_t FArgIndex = 0;

  [[noreturn]] void Fail(TFormatError error) const { quarn::script::Fail(error, FFormat); }

  // A type letter right after "%" that takes the argument as it is.
  static bool Plain(char type, const TFormatArg& arg)
  {
    using K = TFormatArg::TKind;
    return ((type == 'd' || type == 'D') && arg.Kind == K::Integer) ||
           ((type == 's' || type == 'S') && arg.Kind == K::String);
  }

  // A decimal number or "*"; returns Unset when there is neither.
  int ReadNumber(size_t& i) const
  {
    if (i < FFormat.size() && FFormat[i] == '*') {
      ++i;
      return FromArgument;
    }
    int value = Unset;
    while (i < FFormat.size() && FFormat[i] >= '0' && FFormat[i] <= '9') {
      if (value == Unset) value = 0;
      if (value <= MaxFormatWidth) value = value * 10 + (FFormat[i] - '0');
      ++i;
    }
    return value;
  }

  TDirective Parse(size_t& i) const
  {
    TDirective d;
    if (i < FFormat.size() && FFormat[i] == '-') {
      d.LeftJustify = true;
      ++i;
    }
    int number = ReadNumber(i);
    if (i < FFormat.size() && FFormat[i] == ':') {
      ++i;
      d.Index = number == Unset ? 0 : number;
      if (i < FFormat.size() && FFormat[i] == '-') {
        d.LeftJustify = true;
        ++i;
      }
      number = ReadNumber(i);
    }
    d.Width = number;
    if (i < FFormat.size() && FFormat[i] == '.') {
      ++i;
      d.Precision = ReadNumber(i);
      if (d.Precision == Unset) d.Precision = 0;
    }
    if (i >= FFormat.size()) Fail(TFormatError::Invalid);
    char type = FFormat[i++];
    d.Type = type >= 'A' && type <= 'Z' ? static_cast<char>(type - 'A' + 'a') : type;
    return d;
  }

  const TFormatArg& NextArgument()
  {
    if (FArgIndex >= FArgs.size()) Fail(TFormatError::NoArgument);
    return FArgs[FArgIndex++];
  }

  // Resolves "*" fields: each takes the next argument, which must be an integer. A directive
  // that needs more arguments than are left is a missing-argument error before anything else.
  void ResolveStars(TDirective& d)
  {
    size_t needed =
        1 + (d.Index == FromArgument) + (d.Width == FromArgument) + (d.Precision == FromArgument);
    size_t first = d.Index >= 0 ? static_cast<size_t>(d.Index) : FArgIndex;
    if (d.Index == FromArgument) first = FArgIndex;
    if (first > FArgs.size() || FArgs.size() - first < needed) Fail(TFormatError::NoArgument);
    auto star = [&]() {
      const TFormatArg& arg = NextArgument();
      if (arg.Kind != TFormatArg::TKind::Integer) Fail(TFormatError::Invalid);
      return arg.Integer;
    };
    if (d.Index == FromArgument) d.Index = std::max(star(), 0);
    if (d.Index >= 0) FArgIndex = static_cast<size_t>(d.Index);
    if (d.Width == FromArgument) {
      int width = star();
      if (width < 0) {
        d.LeftJustify = true;
        width = width == INT32_MIN ? MaxFormatWidth + 1 : -width;
      }
      d.Width = width;
    }
    if (d.Precision == FromArgument) {
      int precision = star();
      d.Precision = precision < 0 ? Unset : precision;
    }
  }

  // Appends the directive's text, padded to its width.
  void Convert(TDirective& d, std::string& out)
  {
    ResolveStars(d);
    const TFormatArg& arg = NextArgument();
    if (d.Width > MaxFormatWidth || d.Precision > MaxFormatWidth) Fail(TFormatError::Invalid);
    using K = TFormatArg::TKind;
    switch (d.Type) {
      case 'd':
      case 'x': {
        if (arg.Kind != K::Integer) Fail(TFormatError::Invalid);
        IntegerText(arg.Integer, d.Type == 'x', d.Precision, d, out);
        return;
      }
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm': {
        if (arg.Kind != K::Float) Fail(TFormatError::Invalid);
        Pad(FloatToText(arg.Float, FloatForm(d.Type), d.Precision, FSettings.Get()), d, out);
        return;
      }
      case 's': {
        if (arg.Kind != K::String) Fail(TFormatError::Invalid);
        std::string_view text = arg.String;
        if (d.Precision >= 0 && static_cast<size_t>(d.Precision) < text.size())
          text = text.substr(0, static_cast<size_t>(d.Precision));
        Pad(text, d, out);
        return;
      }
      default: Fail(TFormatError::Invalid);
    }
  }

  static TFloatForm FloatForm(char type)
  {
    switch (type) {
      case 'e': return TFloatForm::Exponent;
      case 'f': return TFloatForm::Fixed;
      case 'g': return TFloatForm::General;
      case 'n': return TFloatForm::Number;
      default: return TFloatForm::Currency;
    }
  }

  // Decimal with "-" for negatives, or the 32-bit two's complement in upper-case hex, with
  // zeros before the digits up to the precision.
  static void IntegerText(int32_t value, bool hex, int precision, const TDirective& d,
                          std::string& out)
  {
    bool negative = !hex && value < 0;
    uint32_t magnitude =
        hex ? static_cast<uint32_t>(value)
            : static_cast<uint32_t>(negative ? -static_cast<int64_t>(value) : value);
    char buffer[16];  // 32 bits take at most 10 decimal digits
    char* end = buffer + sizeof buffer;
    char* first = end;
    do {
      uint32_t digit = magnitude % (hex ? 16 : 10);
      *--first = static_cast<char>(digit < 10 ? '0' + digit : 'A' + digit - 10);
      magnitude /= hex ? 16 : 10;
    } while (magnitude != 0);
    const size_t count = static_cast<size_t>(end - first);
    const size_t zeros =
        precision > static_cast<int>(count) ? static_cast<size_t>(precision) - count : 0;
    Pad(negative ? "-" : "", zeros, std::string_view(first, count), d, out);
  }

  // Appends sign, zeros and text filled with blanks to the directive's width.
  static void Pad(std::string_view sign, size_t zeros, std::string_view text, const TDirective& d,
                  std::string& out)
  {
    const size_t size = sign.size() + zeros + text.size();
    const size_t fill = d.Width > static_cast<int>(size) ? static_cast<size_t>(d.Width) - size : 0;
    if (out.size() + size + fill > MaxStringLength) throw ERTE(msg::OutOfMemory);
    if (fill && !d.LeftJustify) out.append(fill, ' ');
    if (!sign.empty()) out.append(sign);
    if (zeros) out.append(zeros, '0');
    out.append(text);
    if (fill && d.LeftJustify) out.append(fill, ' ');
  }
  static void Pad(std::string_view text, const TDirective& d, std::string& out)
  {
    Pad({}, 0, text, d, out);
  }
};

// A segment whose one directive is a bare %d or %s with its argument, appended without the
// formatter; false, with nothing appended, for any other.
bool PlainSegment(std::string_view segment, const TFormatArg& arg, std::string& out)
{
  const size_t percent = FindPercent(segment, 0);
  if (percent == std::string_view::npos || percent + 1 >= segment.size()) return false;
  const char type = segment[percent + 1];
  char digits[12];  // a sign and 10 digits
  std::string_view text;
  if ((type == 'd' || type == 'D') && arg.Kind == TFormatArg::TKind::Integer) {
    const auto end = std::to_chars(digits, digits + sizeof digits, arg.Integer).ptr;
    text = std::string_view(digits, static_cast<size_t>(end - digits));
  } else if ((type == 's' || type == 'S') && arg.Kind == TFormatArg::TKind::String) {
    text = arg.String;
  } else {
    return false;
  }
  // the text around the directive holds no other "%": every "%" starts a segment
  const std::string_view before = segment.substr(0, percent);
  const std::string_view after = segment.substr(percent + 2);
  if (out.size() + before.size() + text.size() + after.size() > MaxStringLength)
    throw ERTE(msg::OutOfMemory);
  AppendPiece(out, before);
  AppendPiece(out, text);
  AppendPiece(out, after);
  return true;
}

}  // namespace

std::string FormatArgs(std::string_view format, std::span<const TFormatArg> args,
                       const TFormatSettings& settings)
{
  std::string out;
  TFormatter(format, args, TSettingsSource(settings)).Run(out);
  return out;
}

void FormatSegments(std::string_view format, std::span<const TFormatArg> args,
                    TSettingsSource settings, std::string& out)
{
  // Positions are counted from 1 as the segment rule is stated: p is where the first "%"
  // stands (0 when there is none), q where the next "%" stands in what follows.
  size_t first = FindPercent(format, 0);
  size_t p = first == std::string_view::npos ? 0 : first + 1;
  std::string_view rest = format.substr(p);
  std::string_view whole = format;
  for (const TFormatArg& arg : args) {
    size_t next = FindPercent(rest, 0);
    size_t q = next == std::string_view::npos ? rest.size() + 1 : next + 1;
    size_t length = std::min(p + q - 1, whole.size());
    const std::string_view segment = whole.substr(0, length);
    if (!PlainSegment(segment, arg, out))
      TFormatter(segment, std::span<const TFormatArg>(&arg, 1), settings).Run(out);
    whole.remove_prefix(length);
    rest.remove_prefix(std::min(q, rest.size()));
    p = 1;
  }
}

std::string FormatSegments(std::string_view format, std::span<const TFormatArg> args,
                           const TFormatSettings& settings)
{
  std::string result;
  FormatSegments(format, args, TSettingsSource(settings), result);
  return result;
}

}  // namespace quarn::script
