#include "sim/termios_support.h"

#include <array>
#include <utility>

namespace dornvel::sim {

namespace {

constexpr std::array<std::pair<unsigned, speed_t>, 12> kSpeeds = {{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {300, B300},
    {600, B600},
    {0, B0},
}};

}

speed_t SpeedCode(unsigned baud) {
  for (auto [number, code] : kSpeeds)
    if (number == baud) return code;
  return B0;
}

unsigned BaudOf(speed_t code) {
  for (auto [number, known] : kSpeeds)
    if (known == code) return number;
  return 0;
}

LineSettings SettingsOf(const termios& tio) {
  LineSettings settings;
  settings.baud = BaudOf(cfgetospeed(&tio));
  switch (tio.c_cflag & CSIZE) {
    case CS5: settings.dataBits = 5; break;
    case CS6: settings.dataBits = 6; break;
    case CS7: settings.dataBits = 7; break;
    default: settings.dataBits = 8; break;
  }
  settings.parity = !(tio.c_cflag & PARENB) ? 'N' : (tio.c_cflag & PARODD) ? 'O' : 'E';
  settings.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
  return settings;
}

void MakeDeviceFraming(termios& tio, unsigned baud) {
  cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD);
  tio.c_cflag |= CS8 | CSTOPB | CREAD | CLOCAL;
  // One byte satisfies a read, with no timer: with VMIN 0 a tty reports
  // itself readable to poll() even when empty, and read() returns 0.
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  cfsetispeed(&tio, SpeedCode(baud));
  cfsetospeed(&tio, SpeedCode(baud));
}

}  // namespace dornvel::sim
