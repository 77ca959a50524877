#include "platform/device_check.h"

namespace dornvel {

// COM ports are not files here: opening one is the only test there is.
std::optional<std::string> WhyNotSerialDevice(const std::string&) { return std::nullopt; }

// Windows refuses a port that another program has open as "access denied".
std::string PermissionAdvice(const std::string&) {
  return "the port is in use: close the other program that uses it";
}

}  // namespace dornvel
