#include "harness/rtu_client.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace dornvel::testing {

namespace {

using SteadyClock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

int RemainingMs(SteadyClock::time_point deadline) {
  const auto left = std::chrono::ceil<Milliseconds>(deadline - SteadyClock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

void Configure(int fd, speed_t speed, int stopBits, char parity) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) Fail("tcgetattr");
  cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD);
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
  if (stopBits == 2) tio.c_cflag |= CSTOPB;
  if (parity == 'E') tio.c_cflag |= PARENB;
  if (parity == 'O') tio.c_cflag |= PARENB | PARODD;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  cfsetispeed(&tio, speed);
  cfsetospeed(&tio, speed);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) Fail("tcsetattr");
}

}  // namespace

RtuClient::RtuClient(const std::string& path, speed_t speed, int stopBits, char parity) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) Fail("open " + path);
  SetLine(speed, stopBits, parity);
}

RtuClient::~RtuClient() { ::close(fd_); }

void RtuClient::SetLine(speed_t speed, int stopBits, char parity) { Configure(fd_, speed, stopBits, parity); }

void RtuClient::Send(const Bytes& frame) {
  if (::write(fd_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) Fail("write request");
}

Bytes RtuClient::Receive(Milliseconds firstByte, Milliseconds silence) { return ReadReply(fd_, firstByte, silence); }

Bytes RtuClient::Transact(const Bytes& requestWithoutCrc, Milliseconds firstByte, Milliseconds silence) {
  ::tcflush(fd_, TCIFLUSH);
  Send(WithCrc(requestWithoutCrc));
  return Receive(firstByte, silence);
}

bool RtuClient::SeesHangUp(Milliseconds within) {
  const auto deadline = SteadyClock::now() + within;
  while (true) {
    pollfd line{fd_, POLLIN, 0};
    const int ready = ::poll(&line, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    if (line.revents & POLLHUP) return true;
    char scratch[256];
    if (::read(fd_, scratch, sizeof scratch) == 0) return true;
  }
}

Bytes ReadReply(int fd, Milliseconds firstByte, Milliseconds silence) {
  Bytes reply;
  auto deadline = SteadyClock::now() + firstByte;
  while (true) {
    pollfd line{fd, POLLIN, 0};
    const int ready = ::poll(&line, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return reply;
    std::uint8_t chunk[512];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n <= 0) return reply;  // hung up
    reply.insert(reply.end(), chunk, chunk + n);
    deadline = SteadyClock::now() + silence;
  }
}

}  // namespace dornvel::testing
