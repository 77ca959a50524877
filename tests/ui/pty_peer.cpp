#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace dornvel::testing {

PtyPeer::PtyPeer() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) return;
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
    close(master_);
    master_ = -1;
    return;
  }
  devicePath_ = ptsname(master_);
  slave_ = open(devicePath_.c_str(), O_RDWR | O_NOCTTY);
  // Raw from the start: no echo, no line editing, whatever the program sets later.
  termios raw{};
  if (slave_ >= 0 && tcgetattr(slave_, &raw) == 0) {
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
  }
}

PtyPeer::~PtyPeer() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

Bytes PtyPeer::Read(std::size_t count, std::chrono::steady_clock::time_point deadline) {
  Bytes bytes;
  while (bytes.size() < count) {
    using std::chrono::milliseconds;
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd waiting{master_, POLLIN, 0};
    const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || !(waiting.revents & POLLIN)) break;
    std::uint8_t buffer[256];
    const ssize_t got = read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
    if (got <= 0) break;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  return bytes;
}

void PtyPeer::Write(const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(master_, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;
    done += static_cast<std::size_t>(wrote);
  }
}

}  // namespace dornvel::testing
