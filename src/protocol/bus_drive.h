#pragma once

#include <functional>
#include <stop_token>

#include "protocol/bus_schedule.h"

namespace dornvel {

// A stop asked for is seen within this long, whatever the schedule waits for.
inline constexpr Duration kBusStopLatency = 100ms;

// Runs `schedule` on the line `hold` holds, waiting on the port between its
// calls: it is called again when input arrives and at the latest when its time
// has come. Until all a reply's bytes but the last can be in, `sleepUntil`
// waits without looking at the line (the bytes wait in the system), so that a
// reply costs a few wake-ups rather than one a byte; the last is taken as it
// comes. While the port is closed (it would not open), it sleeps too. Returns
// once `stop` is asked for or `until` has passed, with the number of calls of
// the schedule.
int DriveBus(BusSchedule& schedule, Line::Hold& hold, const Clock& clock,
             const std::function<void(TimePoint)>& sleepUntil, std::stop_token stop,
             TimePoint until = TimePoint::max());

}  // namespace dornvel
