#pragma once

#include <optional>
#include <string>

namespace dornvel {

// Why `device` cannot be a serial port (missing, a directory, a plain file),
// judged before opening it; none when it may be one.
std::optional<std::string> WhyNotSerialDevice(const std::string& device);

// Whether `device` is there to be opened, found without opening it.
bool IsSerialDevicePresent(const std::string& device);

// What the user can do when the system refuses `device`: join the group that owns
// it, or close the program that holds it.
std::string PermissionAdvice(const std::string& device);

}  // namespace dornvel
