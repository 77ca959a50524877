#include "sim/termios_support.h"

#include <array>
#include <utility>

namespace dornvel::sim {

namespace {

constexpr std::array<std::pair<unsigned, speed_t>, 12> speeds = {{
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

speed_t speed_code(unsigned baud) {
  for (auto [number, code] : speeds)
    if (number == baud) return code;
  return B0;
}

unsigned baud_of(speed_t code) {
  for (auto [number, known] : speeds)
    if (known == code) return number;
  return 0;
}

LineSettings settings_of(const termios& tio) {
  LineSettings settings;
  settings.baud = baud_of(cfgetospeed(&tio));
  switch (tio.c_cflag & CSIZE) {
    case CS5: settings.data_bits = 5; break;
    case CS6: settings.data_bits = 6; break;
    case CS7: settings.data_bits = 7; break;
    default: settings.data_bits = 8; break;
  }
  settings.parity = !(tio.c_cflag & PARENB) ? 'N' : (tio.c_cflag & PARODD) ? 'O' : 'E';
  settings.stop_bits = (tio.c_cflag & CSTOPB) ? 2 : 1;
  return settings;
}

void make_device_framing(termios& tio, unsigned baud) {
  cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD);
  tio.c_cflag |= CS8 | CSTOPB | CREAD | CLOCAL;
  // One byte satisfies a read, with no timer: with VMIN 0 a tty reports
  // itself readable to poll() even when empty, and read() returns 0.
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  cfsetispeed(&tio, speed_code(baud));
  cfsetospeed(&tio, speed_code(baud));
}

}  // namespace dornvel::sim
