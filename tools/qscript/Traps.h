// The two places where the language reads differently from what writers of other languages
// expect, found in a script's text for `qscript --strict`.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarn::qscript {

struct TTrap {
  int32_t Position = 0;  // 1-based, in the text given
  std::string Text;
};

// Finds, in the text of a script that compiles:
// - an adding or multiplying operator whose right operand is an unbracketed operation of the
//   same level, where grouping to the right gives another result than grouping to the left
//   (`a - b + c` is `a - (b + c)`);
// - a WHILE or REPEAT whose condition is a bare variable, element or constant that the loop's
//   body assigns: such a condition is read once, so the loop does not see the change.
// Each with the form that likely was meant. A text that does not tokenize gives none.
std::vector<TTrap> FindTraps(std::string_view text);

}  // namespace quarn::qscript
