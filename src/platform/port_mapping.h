#pragma once

#include <optional>
#include <string>

namespace dornvel {

// The device that serial port number `number` stands for (COM1 is 1); none when
// no device is assigned to that number.
std::optional<std::string> DeviceForPort(int number);

// Whether the user named the device of port `number` (DORNVEL_COM<n>), rather than
// it coming from the default table.
bool IsPortNamedByUser(int number);

}  // namespace dornvel
