#pragma once

#include <map>
#include <ostream>
#include <string>

namespace dornvel {

// Says why a port cannot be opened once, not on every poll: a port is reported
// again only when the reason changes or after it has been opened.
class OpenFailureLog {
 public:
  explicit OpenFailureLog(std::ostream& out) : out_(out) {}

  // `port` names the port for the reader, e.g. "COM3 (/dev/ttyUSB2)".
  void Failed(const std::string& port, const std::string& reason);
  void Opened(const std::string& port);

 private:
  std::ostream& out_;
  std::map<std::string, std::string> reported_;
};

}  // namespace dornvel
