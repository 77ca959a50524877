#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "harness/meters_on_line.h"
#include "protocol/bus_meter_state.h"

namespace dornvel::testing {

// A poll as the fake line saw it end.
struct EndedPoll {
  std::size_t meter = 0;
  TimePoint at{};
  BusPollEnd end = BusPollEnd::NotYet;
};

struct BusRun {
  TimePoint start{};
  std::vector<EndedPoll> polls;
  std::vector<BusMeterState> meters;  // at the end
  std::vector<std::string> sent;      // every request, as hex
  int portOpenings = 0;               // rate changes included
  int wakes = 0;                      // calls of the schedule
};

// The bus view's schedule polling `polled` on a fake line that keeps line
// time, with `onLine` on it, for `length` of the fake clock, driven as the bus
// view's thread drives it (DriveBus).
// With `portOpens` false, the port will not open.
BusRun RunBusOnFakeLine(const std::vector<MeterAddress>& polled, std::vector<SimulatedMeter> onLine, Duration length,
                        bool portOpens = true);

// The least a round of polls can take on the line: each live meter's request
// (8 bytes) and reply (11) at its rate, its turnaround, and the 3.5
// characters of quiet that separate frames.
Duration BusFloor(const std::vector<SimulatedMeter>& onLine);

// The intervals between a meter's answered polls, from the run's start.
std::vector<Duration> RefreshIntervals(const BusRun& run, std::size_t meter);

}  // namespace dornvel::testing
