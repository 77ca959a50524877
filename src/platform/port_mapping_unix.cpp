#include <cstdlib>
#include <filesystem>

#include "platform/port_mapping.h"

namespace dornvel {

namespace {

struct DeviceRange {
  int firstPort;
  int lastPort;
  const char* devicePrefix;
};

// USB adapters first, as they are what a meter is usually wired to today.
constexpr DeviceRange kDefaultDevices[] = {
    {1, 8, "/dev/ttyUSB"},
    {9, 12, "/dev/ttyACM"},
    {13, 16, "/dev/ttyS"},
};

const char* UserDevice(int number) {
  const std::string variable = "DORNVEL_COM" + std::to_string(number);
  const char* path = std::getenv(variable.c_str());
  return path != nullptr && *path != '\0' ? path : nullptr;
}

}  // namespace

bool IsPortNamedByUser(int number) { return UserDevice(number) != nullptr; }

std::optional<std::string> DeviceForPort(int number) {
  if (const char* path = UserDevice(number)) {
    // Qt reads a relative name as one under /dev, so anchor it here.
    return std::filesystem::absolute(path).string();
  }
  for (const auto& range : kDefaultDevices) {
    if (number >= range.firstPort && number <= range.lastPort) {
      return range.devicePrefix + std::to_string(number - range.firstPort);
    }
  }
  return std::nullopt;
}

}  // namespace dornvel
