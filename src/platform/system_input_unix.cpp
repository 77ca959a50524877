#include <poll.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>

#include "platform/system_input.h"

namespace dornvel {

std::optional<int> SystemInputWaiting(QSerialPort& port) {
  int waiting = 0;
  if (::ioctl(static_cast<int>(port.handle()), FIONREAD, &waiting) != 0) return std::nullopt;
  return waiting;
}

bool WaitForSystemInput(QSerialPort& port, Duration limit) {
  pollfd line{static_cast<int>(port.handle()), POLLIN, 0};
  // To the nanosecond: the line's quiet between frames is a few milliseconds,
  // and a limit rounded up to whole ones would stretch it by a quarter.
  const Duration wait = std::max(limit, Duration::zero());
  const auto seconds = std::chrono::floor<std::chrono::seconds>(wait);
  const timespec span{static_cast<time_t>(seconds.count()),
                      static_cast<long>(std::chrono::nanoseconds(wait - seconds).count())};
  int ready = 0;
  do {
    ready = ::ppoll(&line, 1, &span, nullptr);
  } while (ready < 0 && errno == EINTR);
  // A hang-up or an error counts as "may be input": QSerialPort then finds it.
  return ready != 0;
}

}  // namespace dornvel
