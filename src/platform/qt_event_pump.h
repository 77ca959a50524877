#pragma once

#include <chrono>

#include "protocol/event_pump.h"

namespace dornvel {

// Runs the application's pending Qt events (timer ticks, clicks) for the protocol.
// The CRC asks for a pass once per bit, thousands of times a second; a pass
// within a millisecond of the last one is skipped, since each costs a round of
// system calls and no event needs an answer sooner.
class QtEventPump final : public EventPump {
 public:
  void ProcessEvents() override;
  void WaitForEvents(Duration limit) override;

 private:
  static constexpr auto kShortestGap = std::chrono::milliseconds(1);
  std::chrono::steady_clock::time_point lastPass_;
};

}  // namespace dornvel
