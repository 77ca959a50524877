#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "sim/line.h"
#include "sim/termios_support.h"

namespace dornvel::sim {

namespace {

// A real serial port, run at the device's framing (8 data bits, no parity,
// 2 stop bits) and rate.
class SerialPortLine final : public Line {
 public:
  SerialPortLine(std::string path, unsigned baud) : path_(std::move(path)), baud_(baud) { open_port(); }
  ~SerialPortLine() override { hang_up(); }

  int fd() const override { return fd_; }
  const std::string& path() const override { return path_; }
  std::optional<LineSettings> master_settings() const override { return std::nullopt; }

  void set_rate(unsigned baud) override {
    baud_ = baud;
    if (fd_ < 0) return;
    ::tcdrain(fd_);
    apply_framing();
  }

  void hang_up() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  void come_back() override {
    hang_up();
    open_port();
  }

  bool is_up() const override { return fd_ >= 0; }

 private:
  void open_port() {
    fd_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("open " + path_ + ": " + std::strerror(errno));
    apply_framing();
    ::tcflush(fd_, TCIOFLUSH);
  }

  void apply_framing() {
    termios tio{};
    bool applied = ::tcgetattr(fd_, &tio) == 0;
    if (applied) {
      make_device_framing(tio, baud_);
      applied = ::tcsetattr(fd_, TCSANOW, &tio) == 0;
    }
    if (!applied) {
      int saved = errno;
      hang_up();
      throw std::runtime_error(path_ + " is not a serial port: " + std::strerror(saved));
    }
  }

  std::string path_;
  unsigned baud_;
  int fd_ = -1;
};

}  // namespace

std::unique_ptr<Line> open_serial_port(const std::string& path, unsigned baud) {
  return std::make_unique<SerialPortLine>(path, baud);
}

}  // namespace dornvel::sim
