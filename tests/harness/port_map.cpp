#include "harness/port_map.h"

namespace dornvel::testing {

namespace {

constexpr int kProbedPorts = 16;

}  // namespace

EnvironmentChanges PortEnvironment(const PortDevices& devices) {
  EnvironmentChanges variables;
  for (int n = 1; n <= kProbedPorts; ++n) {
    const auto device = devices.find(n);
    variables["DORNVEL_COM" + std::to_string(n)] = device != devices.end() ? device->second : kNoDevicePath;
  }
  return variables;
}

ScopedPortMap::ScopedPortMap(const PortDevices& devices) {
  for (const auto& [name, value] : PortEnvironment(devices)) {
    variables_.push_back(std::make_unique<ScopedEnv>(name, value));
  }
}

}  // namespace dornvel::testing
