#pragma once

#include <cstdint>
#include <span>

#include "protocol/bytes.h"

namespace dornvel::testing {

// The test's own CRC-16/MODBUS, table-driven unlike the program's bitwise one.
std::uint16_t Crc16(std::span<const std::uint8_t> bytes);
// The frame with its CRC appended, low byte first.
Bytes WithCrc(Bytes frame);
bool CrcIsValid(std::span<const std::uint8_t> frame);

}  // namespace dornvel::testing
