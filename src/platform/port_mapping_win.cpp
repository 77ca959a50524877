#include "platform/port_mapping.h"

namespace dornvel {

std::optional<std::string> DeviceForPort(int number) {
  if (number < 1) return std::nullopt;
  return "COM" + std::to_string(number);
}

bool IsPortNamedByUser(int) { return false; }

}  // namespace dornvel
