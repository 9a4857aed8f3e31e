// Reading library arguments whose value is not of the declared kind. Matching checks a call's
// declared result type, not its value, so a STRING parameter can receive a number from a
// call declared ADD; these apply the value library's conversions in that case.
#pragma once

#include <string>

#include "script/Value.h"

namespace quarn::script {

// Strings unchanged, integers in decimal, floats in the general form, booleans True/False,
// empty as ''. Arrays raise ERTE "Invalid variant type conversion".
std::string ValueText(const Variant& value);

// Booleans unchanged, numbers true when not zero, empty false, 'true'/'false' in any case.
// Anything else raises ERTE "Invalid variant type conversion".
bool ValueBoolean(const Variant& value);

}  // namespace quarn::script
