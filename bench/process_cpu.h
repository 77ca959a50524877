#pragma once

#include <sys/types.h>

#include <optional>

namespace dornvel::bench {

// CPU time (user + system) in seconds that a running process has used so far,
// all its threads together, read from its CPU-time clock (nanoseconds, not the
// scheduler's ticks); nothing when the process is gone.
std::optional<double> ProcessCpuSeconds(pid_t pid);

// The same for the calling thread.
double ThreadCpuSeconds();

}  // namespace dornvel::bench
