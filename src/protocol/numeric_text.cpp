#include "protocol/numeric_text.h"

#include <charconv>
#include <cmath>

namespace dornvel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

  // Check the shape ourselves: from_chars alone would accept "inf", "nan" and
  // would refuse a leading "+".
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t start = i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;

  double value = 0;
  auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
  // Beyond the range of a double either way (1e999, 1e-999): not a usable number.
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

double RoundHalfEven(double v) {
  if (!std::isfinite(v)) return v;
  double floor = std::floor(v);
  double diff = v - floor;
  if (diff > 0.5) return floor + 1;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<std::uint8_t> ToByte(double v) {
  double r = RoundHalfEven(v);
  if (!(r >= 0 && r <= 255)) return std::nullopt;
  return static_cast<std::uint8_t>(r);
}

}  // namespace dornvel
