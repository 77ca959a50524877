#include "ui/number_pattern.h"

#include <charconv>
#include <cmath>

#include "protocol/numeric_text.h"

namespace dornvel {

namespace {

std::string FormatNumber(double number, int digits) {
  if (std::isnan(number)) return "NaN";
  if (std::isinf(number)) return number > 0 ? "Inf" : "-Inf";
  // Halves away from zero, as people read a meter (12.5 shows 13).
  const double whole = std::round(number);
  // The largest double has 309 digits.
  char buffer[320];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(whole), std::chars_format::fixed, 0);
  std::string magnitude(buffer, ec == std::errc() ? end : buffer);
  if (static_cast<int>(magnitude.size()) < digits) magnitude.insert(0, digits - magnitude.size(), '0');
  // -0.4 rounds to zero, which has no sign.
  return whole < 0 ? "-" + magnitude : magnitude;
}

}  // namespace

std::string FormatWithPattern(const Value& value, int digits) {
  if (value.IsEmpty()) return "";
  if (value.IsText()) {
    const std::string text = value.ToText();
    const auto number = ParseNumber(text);
    return number ? FormatNumber(*number, digits) : text;
  }
  return FormatNumber(*value.Number(), digits);
}

}  // namespace dornvel
