#pragma once

#include <cstdint>

namespace dornvel {

// Register classes (RegType).
enum RegisterClass : std::int32_t { Coils = 0, DiscreteInputs = 1, InputRegisters = 3, HoldingRegisters = 4 };
// Value types (DataType).
enum ValueType : std::int32_t { BitType = 0, TextType = 1, IntegerType = 3, FloatType = 4 };

// What a request builder and a reply decoder need to know of a tag.
struct TagDefinition {
  std::uint8_t slave = 0;
  std::int32_t regType = 0;
  std::int32_t regAddress = 0;
  std::int32_t dataType = 0;
  std::int16_t dataLen = 0;
};

}  // namespace dornvel
