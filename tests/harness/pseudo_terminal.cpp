#include "harness/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace dornvel::testing {

namespace {

int MillisecondsUntil(SteadyTime deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

[[noreturn]] void Fail(const char* what) { throw std::runtime_error(std::string(what) + ": " + std::strerror(errno)); }

}  // namespace

// Close-on-exec: a program the test starts must not hold the device's end, or
// closing it here would not hang up the line.
PseudoTerminal::PseudoTerminal() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) Fail("posix_openpt");
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) Fail("grantpt/unlockpt");
  const char* name = ::ptsname(master_);
  if (name == nullptr) Fail("ptsname");
  slavePath_ = name;
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) Fail("open slave");
  // Raw from the start, as a serial line: no echo, no line editing.
  termios raw{};
  ::tcgetattr(slave_, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(slave_, TCSANOW, &raw);
}

PseudoTerminal::~PseudoTerminal() { HangUp(); }

Bytes PseudoTerminal::Read(std::size_t count, SteadyTime deadline) {
  Bytes bytes;
  while (bytes.size() < count && master_ >= 0) {
    pollfd ready{master_, POLLIN, 0};
    if (::poll(&ready, 1, MillisecondsUntil(deadline)) <= 0) break;
    std::uint8_t buffer[256];
    const auto n = ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
    if (n <= 0) break;
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

void PseudoTerminal::Write(const Bytes& bytes) {
  if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    Fail("write to master");
  }
}

bool PseudoTerminal::WaitUntilDelivered(std::size_t count, SteadyTime deadline) {
  for (;;) {
    int waiting = 0;
    if (::ioctl(slave_, FIONREAD, &waiting) == 0 && static_cast<std::size_t>(waiting) >= count) {
      return true;
    }
    pollfd ready{slave_, POLLIN, 0};
    const int left = MillisecondsUntil(deadline);
    if (left == 0) return false;
    ::poll(&ready, 1, left);
  }
}

termios PseudoTerminal::Line() const {
  termios line{};
  if (::tcgetattr(slave_, &line) != 0) Fail("tcgetattr");
  return line;
}

void PseudoTerminal::HangUp() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
}

}  // namespace dornvel::testing
