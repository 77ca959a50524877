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
  SerialPortLine(std::string path, unsigned baud) : path_(std::move(path)), baud_(baud) { OpenPort(); }
  ~SerialPortLine() override { HangUp(); }

  int Fd() const override { return fd_; }
  const std::string& Path() const override { return path_; }
  std::optional<LineSettings> MasterSettings() const override { return std::nullopt; }

  void SetRate(unsigned baud) override {
    baud_ = baud;
    if (fd_ < 0) return;
    ::tcdrain(fd_);
    ApplyFraming();
  }

  void HangUp() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  void ComeBack() override {
    HangUp();
    OpenPort();
  }

  bool IsUp() const override { return fd_ >= 0; }

 private:
  void OpenPort() {
    fd_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("open " + path_ + ": " + std::strerror(errno));
    ApplyFraming();
    ::tcflush(fd_, TCIOFLUSH);
  }

  void ApplyFraming() {
    termios tio{};
    bool applied = ::tcgetattr(fd_, &tio) == 0;
    if (applied) {
      MakeDeviceFraming(tio, baud_);
      applied = ::tcsetattr(fd_, TCSANOW, &tio) == 0;
    }
    if (!applied) {
      int saved = errno;
      HangUp();
      throw std::runtime_error(path_ + " is not a serial port: " + std::strerror(saved));
    }
  }

  std::string path_;
  unsigned baud_;
  int fd_ = -1;
};

}  // namespace

std::unique_ptr<Line> OpenSerialPort(const std::string& path, unsigned baud) {
  return std::make_unique<SerialPortLine>(path, baud);
}

}  // namespace dornvel::sim
