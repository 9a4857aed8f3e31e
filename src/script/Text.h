// String routines of the script library, on 8-bit strings with 1-based character positions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarn::script {

// Optional leading blanks, optional sign, then decimal digits, or hexadecimal digits after
// "$", "x", "X", "0x" or "0X" (up to 8 of them, read as 32-bit two's complement). Anything
// else, and any value outside the 32-bit range, raises Exception with
// "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view text);

// Decimal text, "-" for negative values.
std::string IntToStr(int32_t value);

// `source` put into `target` before position `index`: below 1 inserts at the front, beyond
// the end appends.
std::string TextInsert(std::string_view source, std::string_view target, int32_t index);

// `target` without the `count` characters from `index`; unchanged when index < 1,
// index > length or count <= 0; count is cut to the characters available.
std::string TextDelete(std::string_view target, int32_t index, int32_t count);

// The `count` characters of `text` from `index` (a view into it): index < 1 counts as 1; empty when
// index is beyond the end or count < 0; count is cut to the characters available.
std::string_view TextCopy(std::string_view text, int32_t index, int32_t count);

// 1-based position of the first `sub` in `text`, 0 when absent or `sub` is empty.
int32_t TextPos(std::string_view sub, std::string_view text);

// The script engine's copyright notice: two lines joined by a line feed and a carriage return.
std::string CopyrightText();

}  // namespace quarn::script
