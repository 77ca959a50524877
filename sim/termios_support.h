#pragma once

#include <termios.h>

#include "sim/line.h"

namespace dornvel::sim {

speed_t speed_code(unsigned baud);  // B0 when there is none
unsigned baud_of(speed_t code);     // 0 when unknown

LineSettings settings_of(const termios& tio);

// Raw 8 data bits, no parity, 2 stop bits at `baud`: the device's framing.
void make_device_framing(termios& tio, unsigned baud);

}  // namespace dornvel::sim
