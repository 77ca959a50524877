#pragma once

#include <sys/types.h>

#include <optional>
#include <string_view>

#include "harness/simulator.h"

namespace dornvel::bench {

// What a running master used over a stretch of its polling.
struct CpuAndWall {
  double cpuSeconds = 0;
  double wallSeconds = 0;
};

// CPU (all threads of process `pid`) and wall time over `measured` requests
// that `sim` takes off the line, after `warmUp` ones and the first that this
// process saw come; only the requests whose
// log line holds `request` ("RX" for any, "RX 01 04 00 00 00 02 71" for the
// read of nolu) count. Both clocks are read when
// the simulator has just taken a request: the master is then idle, waiting for
// the reply, so both readings fall at the same point of its cycle, and
// start-up stays outside. Nothing when a request did not come within 5 s or
// the process is gone.
std::optional<CpuAndWall> CpuOverRequests(testing::Simulator& sim, pid_t pid, int warmUp, int measured,
                                          std::string_view request = "RX");

}  // namespace dornvel::bench
