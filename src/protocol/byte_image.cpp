#include "protocol/byte_image.h"

#include <bit>
#include <cstring>

#include "protocol/runtime_error.h"

namespace dornvel {

namespace {

static_assert(std::endian::native == std::endian::little, "memory images assume little-endian");

void RequireSize(std::size_t have, std::size_t need) {
  if (have < need) throw RuntimeError(ErrorNumber::Subscript, "Subscript out of range");
}

}  // namespace

std::int16_t Even(std::int16_t i) {
  if (i == INT16_MAX) throw RuntimeError(ErrorNumber::Overflow, "Overflow");
  return static_cast<std::int16_t>(i + (i & 1));
}

void SingleToBytes(std::span<std::uint8_t> bytes, float value) {
  RequireSize(bytes.size(), sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
}

float BytesToSingle(std::span<const std::uint8_t> bytes) {
  RequireSize(bytes.size(), sizeof(float));
  float value;
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

void IntegerToBytes(std::span<std::uint8_t> bytes, std::int16_t value) {
  RequireSize(bytes.size(), sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
}

std::int16_t BytesToInteger(std::span<const std::uint8_t> bytes) {
  RequireSize(bytes.size(), sizeof(std::int16_t));
  std::int16_t value;
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

}  // namespace dornvel
