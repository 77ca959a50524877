#pragma once

#include <chrono>

#include "protocol/clock.h"

namespace dornvel {

class SteadyClock final : public Clock {
 public:
  TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace dornvel
