#pragma once

#include <chrono>

namespace dornvel {

using TimePoint = std::chrono::steady_clock::time_point;
using Duration = std::chrono::steady_clock::duration;

// A monotonic clock: every wait of a transaction lasts its full length even when
// the time of day jumps (midnight, a clock change).
class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimePoint Now() const = 0;
};

}  // namespace dornvel
