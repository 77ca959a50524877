#include "protocol/bus_drive.h"

#include <algorithm>

#include "protocol/serial_control.h"

namespace dornvel {

int DriveBus(BusSchedule& schedule, Line::Hold& hold, const Clock& clock,
             const std::function<void(TimePoint)>& sleepUntil, std::stop_token stop, TimePoint until) {
  int calls = 0;
  while (!stop.stop_requested() && clock.Now() < until) {
    const TimePoint next = schedule.Run(hold, clock.Now());
    ++calls;
    const TimePoint now = clock.Now();
    const TimePoint wakeAt = std::min({next, until, now + kBusStopLatency});
    if (const auto almost = schedule.ReplyAllButLastIn(now); almost && *almost < wakeAt) {
      sleepUntil(*almost);
      continue;
    }
    SerialControl& port = hold.TheLine().Port();
    // A closed port (one that would not open) has no input to wait for.
    if (port.PortOpen()) {
      port.WaitForInput(wakeAt - now, WaitEvents::Hold);
    } else {
      sleepUntil(wakeAt);
    }
  }
  return calls;
}

}  // namespace dornvel
