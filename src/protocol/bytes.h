#pragma once

#include <cstdint>
#include <vector>

namespace dornvel {

// A frame or a stretch of received input: one element per byte on the line.
using Bytes = std::vector<std::uint8_t>;

}  // namespace dornvel
