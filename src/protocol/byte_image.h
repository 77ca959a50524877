#pragma once

#include <cstdint>
#include <span>

namespace dornvel {

// Memory images of values, least significant byte first. The reordering into
// register order belongs to the request builder and the reply decoder.

// i rounded up to even; RuntimeError Overflow for 32767.
std::int16_t Even(std::int16_t i);
// RuntimeError Subscript when the span is shorter than the value.
void SingleToBytes(std::span<std::uint8_t> bytes, float value);
float BytesToSingle(std::span<const std::uint8_t> bytes);
void IntegerToBytes(std::span<std::uint8_t> bytes, std::int16_t value);
std::int16_t BytesToInteger(std::span<const std::uint8_t> bytes);

}  // namespace dornvel
