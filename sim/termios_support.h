#pragma once

#include <termios.h>

#include "sim/line.h"

namespace dornvel::sim {

speed_t SpeedCode(unsigned baud);  // B0 when there is none
unsigned BaudOf(speed_t code);     // 0 when unknown

LineSettings SettingsOf(const termios& tio);

// Raw 8 data bits, no parity, 2 stop bits at `baud`: the device's framing.
void MakeDeviceFraming(termios& tio, unsigned baud);

}  // namespace dornvel::sim
