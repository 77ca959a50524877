#pragma once

#include <array>
#include <cstdint>

#include "protocol/mb_data.h"

namespace dornvel {

// One value of the meter: where the device keeps it, and how its box shows it.
struct DeviceTag {
  const char* key;
  std::int32_t regType;
  std::int32_t regAddress;
  std::int32_t dataType;
  // The value box that shows it, and the least number of digits it shows.
  const char* box;
  int digits;
};

// In the order the window polls and shows them.
inline constexpr std::array<DeviceTag, 4> kDeviceTags{{
    {"nolu", InputRegisters, 0, FloatType, "nolu", 1},              // insulation resistance, kOhm
    {"switch", InputRegisters, 2, IntegerType, "switch", 2},        // protection switch, kOhm
    {"slaveid", HoldingRegisters, 0, IntegerType, "slaveid", 4},    // the device's own slave id
    {"boudrate", HoldingRegisters, 1, IntegerType, "Boudrate", 2},  // the device's baud rate
}};

}  // namespace dornvel
