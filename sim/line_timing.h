#pragma once

#include <chrono>
#include <cstddef>

namespace dornvel::sim {

// The meter's framing, 8N2: a start bit, eight data bits and two stop bits
// make 11 bits a character, so 9600 baud moves a character in 1.146 ms and
// 19200 baud in 0.573 ms.
inline constexpr unsigned kBitsPerCharacter = 11;

inline std::chrono::nanoseconds LineTime(std::size_t characters, unsigned baud) {
  return std::chrono::nanoseconds(characters * kBitsPerCharacter * 1'000'000'000ull / baud);
}

// Modbus RTU ends a frame with 3.5 character times of silence: 4.0 ms at
// 9600 baud, 2.0 ms at 19200.
inline std::chrono::nanoseconds InterFrameSilence(unsigned baud) { return LineTime(7, baud) / 2; }

}  // namespace dornvel::sim
