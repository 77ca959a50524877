#include "sim/line.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace dornvel::sim {

std::string Describe(const LineSettings& settings) {
  return std::to_string(settings.baud) + ',' + settings.parity + ',' + std::to_string(settings.dataBits) + ',' +
         std::to_string(settings.stopBits);
}

std::vector<std::uint8_t> ReadAvailable(const Line& line) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[256];
  while (true) {
    ssize_t n = ::read(line.Fd(), chunk, sizeof chunk);
    if (n > 0) {
      bytes.insert(bytes.end(), chunk, chunk + n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return bytes;
    if (n == 0) throw std::runtime_error("read " + line.Path() + ": end of file");
    throw std::runtime_error("read " + line.Path() + ": " + std::strerror(errno));
  }
}

std::size_t WriteLine(const Line& line, std::span<const std::uint8_t> bytes) {
  using namespace std::chrono;
  const auto deadline = steady_clock::now() + seconds(1);
  std::size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(line.Fd(), bytes.data() + written, bytes.size() - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
      throw std::runtime_error("write " + line.Path() + ": " + std::strerror(errno));
    auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    if (left <= 0) break;
    pollfd out{line.Fd(), POLLOUT, 0};
    ::poll(&out, 1, static_cast<int>(left));
  }
  return written;
}

}  // namespace dornvel::sim
