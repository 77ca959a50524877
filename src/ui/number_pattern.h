#pragma once

#include <string>

#include "protocol/value.h"

namespace dornvel {

// A value as a value box shows it under a pattern of `digits` zeros: rounded to a
// whole number (an exact half to the even neighbour), padded with leading zeros to
// at least `digits` digits, a minus sign in front of negative numbers. A value
// never read shows as the empty text, NaN as "NaN", the infinities as "Inf" and
// "-Inf"; a text that is no number is shown as it is.
std::string FormatWithPattern(const Value& value, int digits);

}  // namespace dornvel
