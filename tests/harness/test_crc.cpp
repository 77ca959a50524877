#include "harness/test_crc.h"

#include <array>

namespace dornvel::testing {

namespace {

constexpr std::array<std::uint16_t, 256> MakeCrcTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    auto value = static_cast<std::uint16_t>(i);
    for (int bit = 0; bit < 8; ++bit) {
      value = (value & 1) ? static_cast<std::uint16_t>((value >> 1) ^ 0xA001) : static_cast<std::uint16_t>(value >> 1);
    }
    table[i] = value;
  }
  return table;
}

constexpr auto kCrcTable = MakeCrcTable();

}  // namespace

std::uint16_t Crc16(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0xFFFF;
  for (std::uint8_t byte : bytes) crc = static_cast<std::uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ byte) & 0xFF]);
  return crc;
}

Bytes WithCrc(Bytes frame) {
  const std::uint16_t crc = Crc16(frame);
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
  return frame;
}

bool CrcIsValid(std::span<const std::uint8_t> frame) {
  if (frame.size() < 3) return false;
  const std::uint16_t crc = Crc16(frame.first(frame.size() - 2));
  return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

}  // namespace dornvel::testing
