#include <unistd.h>

#include <cerrno>

#include "platform/system_output.h"

namespace dornvel {

std::size_t WriteToSystem(QSerialPort& port, const Bytes& frame) {
  if (port.bytesToWrite() > 0 || frame.empty()) return 0;
  ssize_t written = 0;
  do {
    // The port is open without blocking: a full output buffer takes fewer.
    written = ::write(static_cast<int>(port.handle()), frame.data(), frame.size());
  } while (written < 0 && errno == EINTR);
  return written > 0 ? static_cast<std::size_t>(written) : 0;
}

}  // namespace dornvel
