#pragma once

#include <algorithm>
#include <chrono>
#include <limits>

#include "protocol/clock.h"

namespace dornvel {

// A wait limit in the whole milliseconds Qt takes, rounded up so that a wait
// never ends before its limit and a short remainder does not become a spin.
inline int ToQtMilliseconds(Duration limit) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(limit).count();
  return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, std::numeric_limits<int>::max()));
}

}  // namespace dornvel
