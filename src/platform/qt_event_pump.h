#pragma once

#include "protocol/event_pump.h"

namespace dornvel {

// Runs the application's pending Qt events (timer ticks, clicks) for the protocol.
class QtEventPump final : public EventPump {
 public:
  void ProcessEvents() override;
  void WaitForEvents(Duration limit) override;
};

}  // namespace dornvel
