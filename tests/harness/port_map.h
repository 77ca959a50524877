#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "harness/process.h"
#include "harness/scoped_env.h"

namespace dornvel::testing {

// Devices for the program's port numbers (1 -> the simulator's link). Every
// other number of the 16 that start-up probes names one path where no device
// is, so that a test never touches a real port of the machine.
using PortDevices = std::map<int, std::string>;
inline constexpr char kNoDevicePath[] = "/nonexistent/dornvel-test-port";

// The DORNVEL_COM<n> variables that say so, for a child process.
EnvironmentChanges PortEnvironment(const PortDevices& devices);

// The same variables set in this process for the scope's life, for a window
// in the test's own process.
class ScopedPortMap {
 public:
  explicit ScopedPortMap(const PortDevices& devices);

 private:
  std::vector<std::unique_ptr<ScopedEnv>> variables_;
};

}  // namespace dornvel::testing
