#pragma once

#include <cstdint>

namespace dornvel {

// What a request builder and a reply decoder need to know of a tag.
struct TagDefinition {
  std::uint8_t slave = 0;
  std::int32_t regType = 0;
  std::int32_t regAddress = 0;
  std::int32_t dataType = 0;
  std::int16_t dataLen = 0;
};

}  // namespace dornvel
