#pragma once

#include "protocol/clock.h"

namespace dornvel {

// Lets pending window events run while the protocol waits or computes.
class EventPump {
 public:
  virtual ~EventPump() = default;
  // Runs the events that are pending now and returns.
  virtual void ProcessEvents() = 0;
  // Blocks until at least one event has run or the limit has passed.
  virtual void WaitForEvents(Duration limit) = 0;
};

}  // namespace dornvel
