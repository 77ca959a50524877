#pragma once

namespace dornvel {

class Clock;
class EventPump;

// The platform services every tag uses: the event pump and the monotonic clock.
struct ProtocolServices {
  EventPump& pump;
  Clock& clock;
};

}  // namespace dornvel
