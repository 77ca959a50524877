#include <poll.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "platform/qt_duration.h"
#include "platform/system_input.h"

namespace dornvel {

std::optional<int> SystemInputWaiting(QSerialPort& port) {
  int waiting = 0;
  if (::ioctl(static_cast<int>(port.handle()), FIONREAD, &waiting) != 0) return std::nullopt;
  return waiting;
}

bool WaitForSystemInput(QSerialPort& port, Duration limit) {
  pollfd line{static_cast<int>(port.handle()), POLLIN, 0};
  int ready = 0;
  do {
    ready = ::poll(&line, 1, ToQtMilliseconds(limit));
  } while (ready < 0 && errno == EINTR);
  // A hang-up or an error counts as "may be input": QSerialPort then finds it.
  return ready != 0;
}

}  // namespace dornvel
