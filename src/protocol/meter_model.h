#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "protocol/tag_definition.h"

namespace dornvel {

// Where a meter answers: its slave id and line rate.
struct MeterAddress {
  int slave = 0;
  int baudRate = 0;
  friend bool operator==(const MeterAddress&, const MeterAddress&) = default;
};

namespace meter {

// What the insulation meter is, named once: where it keeps its four values,
// the two line rates it can be set to, and the slave ids it can carry.

struct Register {
  std::int32_t regType;
  std::int32_t regAddress;
  std::int32_t dataType;
};

// The insulation resistance in kilohms, a 32-bit float in input registers 0-1
// (low half first); the protection switch, an integer in input register 2.
inline constexpr Register kResistance{InputRegisters, 0, FloatType};
inline constexpr Register kSwitch{InputRegisters, 2, IntegerType};
// The device's own slave id and baud rate, in holding registers 0 and 1:
// writable only with the jumper JP set.
inline constexpr Register kSlaveId{HoldingRegisters, 0, IntegerType};
inline constexpr Register kBaudRate{HoldingRegisters, 1, IntegerType};
// Resistance and switch together: input registers 0 to 2 in one read.
inline constexpr std::uint16_t kMeasurementRegisters = 3;

inline constexpr int kRates[] = {9600, 19200};
// Modbus gives slaves the addresses 1 to 247; 0 is broadcast, 248-255 reserved.
inline constexpr int kFirstSlaveId = 1;
inline constexpr int kLastSlaveId = 247;
inline constexpr int kSlaveIdCount = kLastSlaveId - kFirstSlaveId + 1;

constexpr bool IsRate(double rate) { return std::ranges::find(kRates, rate) != std::end(kRates); }
constexpr bool IsSlaveId(double id) { return id >= kFirstSlaveId && id <= kLastSlaveId; }

constexpr TagDefinition Definition(const Register& reg, std::uint8_t slave) {
  return {slave, reg.regType, reg.regAddress, reg.dataType};
}

}  // namespace meter
}  // namespace dornvel
