#include "script/Text.h"

#include <algorithm>

#include "script/Errors.h"

namespace quarn::script {

namespace {

constexpr int MaxHexDigits = 8;
constexpr uint32_t MaxPositiveMagnitude = 2147483647u;
constexpr uint32_t MaxNegativeMagnitude = 2147483648u;

// The text goes in whole (a printf pattern would end it at a NUL byte).
[[noreturn]] void InvalidInteger(std::string_view text)
{
  const std::string_view pattern = msg::InvalidInteger;
  const size_t at = pattern.find("%s");
  std::string message(pattern.substr(0, at));
  message.append(text).append(pattern.substr(at + 2));
  throw Exception(std::move(message));
}

int HexValue(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int32_t StrToInt(std::string_view text)
{
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) InvalidInteger(text);
  uint64_t magnitude = 0;
  if (hex) {
    int significant = 0;
    for (; i < text.size(); ++i) {
      int digit = HexValue(text[i]);
      if (digit < 0) InvalidInteger(text);
      if (magnitude != 0 || digit != 0) ++significant;
      if (significant > MaxHexDigits) InvalidInteger(text);
      magnitude = magnitude * 16 + static_cast<uint64_t>(digit);
    }
    uint32_t bits = static_cast<uint32_t>(magnitude);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') InvalidInteger(text);
    magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
    if (magnitude > MaxNegativeMagnitude) InvalidInteger(text);
  }
  if (!negative && magnitude > MaxPositiveMagnitude) InvalidInteger(text);
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                  : static_cast<int32_t>(magnitude);
}

std::string IntToStr(int32_t value) { return std::to_string(value); }

std::string TextInsert(std::string_view source, std::string_view target, int32_t index)
{
  int64_t at =
      std::clamp<int64_t>(static_cast<int64_t>(index) - 1, 0, static_cast<int64_t>(target.size()));
  std::string result;
  result.reserve(source.size() + target.size());
  result.append(target.substr(0, static_cast<size_t>(at)));
  result.append(source);
  result.append(target.substr(static_cast<size_t>(at)));
  return result;
}

std::string TextDelete(std::string_view target, int32_t index, int32_t count)
{
  if (index < 1 || static_cast<int64_t>(index) > static_cast<int64_t>(target.size()) || count <= 0)
    return std::string(target);
  size_t at = static_cast<size_t>(index) - 1;
  size_t n = std::min(static_cast<size_t>(count), target.size() - at);
  std::string result(target.substr(0, at));
  result.append(target.substr(at + n));
  return result;
}

std::string_view TextCopy(std::string_view text, int32_t index, int32_t count)
{
  if (index < 1) index = 1;
  if (static_cast<int64_t>(index) > static_cast<int64_t>(text.size()) || count < 0) return {};
  return text.substr(static_cast<size_t>(index) - 1, static_cast<size_t>(count));
}

int32_t TextPos(std::string_view sub, std::string_view text)
{
  if (sub.empty()) return 0;
  // one character (the usual search) is found without the general search's comparisons
  size_t at = sub.size() == 1 ? text.find(sub[0]) : text.find(sub);
  return at == std::string_view::npos ? 0 : static_cast<int32_t>(at + 1);
}

std::string CopyrightText()
{
  return "Quarn script engine version 1.7\n\r"
         "Copyright (c) the Quarn developers";
}

}  // namespace quarn::script
