#include "protocol/line_settings.h"

#include <charconv>
#include <vector>

namespace dornvel {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::optional<int> WholeNumber(std::string_view s) {
  int value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return value;
}

std::optional<Parity> ParityOf(std::string_view s) {
  if (s.size() != 1) return std::nullopt;
  switch (s.front()) {
    case 'N':
    case 'n': return Parity::None;
    case 'E':
    case 'e': return Parity::Even;
    case 'O':
    case 'o': return Parity::Odd;
    case 'M':
    case 'm': return Parity::Mark;
    case 'S':
    case 's': return Parity::Space;
    default: return std::nullopt;
  }
}

std::optional<StopBits> StopBitsOf(std::string_view s) {
  if (s == "1") return StopBits::One;
  if (s == "1.5") return StopBits::OneAndHalf;
  if (s == "2") return StopBits::Two;
  return std::nullopt;
}

}  // namespace

Duration LineSettings::CharacterTime() const {
  // Half bits counted double: start bit + data + parity + stop bits.
  int halfBits = 2 * (1 + dataBits + (parity == Parity::None ? 0 : 1));
  halfBits += stopBits == StopBits::One ? 2 : stopBits == StopBits::OneAndHalf ? 3 : 4;
  auto nanos = std::chrono::nanoseconds(std::int64_t{500'000'000} * halfBits / baudRate);
  return std::chrono::duration_cast<Duration>(nanos);
}

std::optional<LineSettings> ParseLineSettings(std::string_view text) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    std::size_t comma = text.find(',', start);
    fields.push_back(Trim(text.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (fields.size() != 4) return std::nullopt;

  auto baud = WholeNumber(fields[0]);
  auto parity = ParityOf(fields[1]);
  auto dataBits = WholeNumber(fields[2]);
  auto stopBits = StopBitsOf(fields[3]);
  if (!baud || *baud <= 0 || !parity || !dataBits || *dataBits < 5 || *dataBits > 8 || !stopBits) {
    return std::nullopt;
  }
  return LineSettings{*baud, *parity, *dataBits, *stopBits};
}

LineSettings MeterLine(int baud) { return LineSettings{baud, Parity::None, 8, StopBits::Two}; }

std::string MeterSettingsText(int baud) { return std::to_string(baud) + ",N,8,2"; }

}  // namespace dornvel
