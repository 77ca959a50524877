#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "sim/line.h"
#include "sim/termios_support.h"

namespace dornvel::sim {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

// The simulator reads and writes the pseudo-terminal's master side; the
// program opens the slave path. The simulator also keeps the slave side open
// itself, for two reasons found on Linux (checked on kernel 6.18):
//  - once the last descriptor of the slave side is closed (the program
//    closed its port), reads of the master fail with EIO and poll() reports
//    POLLHUP at once, so the loop would spin; with a slave descriptor held
//    the master simply waits for data;
//  - the termios settings the program sets through its own descriptor are
//    visible through this one with tcgetattr(), and stay in place between
//    the program's close and open. Speed and stop bits are kept as set; the
//    pseudo-terminal forces 8 data bits and no parity whatever is set.
// The simulator never reads the held slave descriptor, so it takes nothing
// from the program's input.
class PseudoTerminalLine final : public Line {
 public:
  explicit PseudoTerminalLine(unsigned baud) : baud_(baud) { OpenPair(); }
  ~PseudoTerminalLine() override { HangUp(); }

  int Fd() const override { return master_; }
  const std::string& Path() const override { return path_; }

  std::optional<LineSettings> MasterSettings() const override {
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0) return std::nullopt;
    return SettingsOf(tio);
  }

  void SetRate(unsigned baud) override { baud_ = baud; }

  void HangUp() override {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
  }

  void ComeBack() override {
    HangUp();
    OpenPair();
  }

  bool IsUp() const override { return master_ >= 0; }

 private:
  void OpenPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) Fail("posix_openpt");
    char name[128];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0) {
      int saved = errno;
      HangUp();
      errno = saved;
      Fail("pseudo-terminal set-up");
    }
    path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) {
      int saved = errno;
      HangUp();
      errno = saved;
      Fail("open " + path_);
    }
    // Start raw at the device's framing, so that a master which sets
    // nothing is heard at the device's rate, and no echo or line editing
    // of the slave side turns replies into requests.
    termios tio{};
    if (::tcgetattr(slave_, &tio) == 0) {
      MakeDeviceFraming(tio, baud_);
      ::tcsetattr(slave_, TCSANOW, &tio);
    }
  }

  unsigned baud_;
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

}  // namespace

std::unique_ptr<Line> OpenPseudoTerminal(unsigned baud) { return std::make_unique<PseudoTerminalLine>(baud); }

}  // namespace dornvel::sim
