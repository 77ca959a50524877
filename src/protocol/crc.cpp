#include "protocol/crc.h"

#include "protocol/event_pump.h"

namespace dornvel {

void CrcInit(Crc& crc) { crc = Crc{}; }

void CrcUpdate(Crc& crc, std::uint8_t d, EventPump& pump) {
  std::uint16_t reg = static_cast<std::uint16_t>(crc.CrcHi << 8 | crc.CrcLo);
  for (int bit = 0; bit < 8; ++bit) {
    pump.ProcessEvents();
    bool f = ((reg ^ d) & 1) != 0;
    reg >>= 1;
    if (f) reg ^= 0xA001;
    d >>= 1;
  }
  crc.CrcLo = static_cast<std::uint8_t>(reg & 0xFF);
  crc.CrcHi = static_cast<std::uint8_t>(reg >> 8);
}

}  // namespace dornvel
