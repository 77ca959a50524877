#pragma once

#include <cstdint>
#include <span>

namespace dornvel::sim {

// CRC-16/MODBUS (initial value 0xFFFF, reflected polynomial 0xA001, no final
// exclusive-or). Only the fault injector needs it: normal replies get their CRC
// from libmodbus, mangled ones that must still look valid get it from here.
std::uint16_t Crc16Modbus(std::span<const std::uint8_t> bytes);

}  // namespace dornvel::sim
