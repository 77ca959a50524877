#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dornvel {

// The one rule for "is this text a number, and which": surrounding blanks, an
// optional sign, digits with an optional "." fraction, an optional exponent.
// Locale-independent; no hexadecimal, no "inf" or "nan".
std::optional<double> ParseNumber(std::string_view text);

// Rounds to the nearest whole number, an exact half to the even neighbour.
double RoundHalfEven(double v);

// A number as a byte (0-255) after rounding half to even; none when out of range.
std::optional<std::uint8_t> ToByte(double v);

}  // namespace dornvel
