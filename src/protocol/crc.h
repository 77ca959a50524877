#pragma once

#include <cstdint>

namespace dornvel {

class EventPump;

// CRC-16/MODBUS register, kept as its two bytes: initial value 0xFFFF, reflected
// polynomial 0xA001, no final exclusive-or; sent low byte first.
struct Crc {
  std::uint8_t CrcLo = 0xFF;
  std::uint8_t CrcHi = 0xFF;
};

void CrcInit(Crc& crc);
// Folds one byte into the register bit by bit, letting window events run once per
// bit so the window stays responsive while a long frame is checked.
void CrcUpdate(Crc& crc, std::uint8_t d, EventPump& pump);

}  // namespace dornvel
