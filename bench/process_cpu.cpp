#include "bench/process_cpu.h"

#include <ctime>

namespace dornvel::bench {

namespace {

double Seconds(const timespec& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9; }

}  // namespace

std::optional<double> ProcessCpuSeconds(pid_t pid) {
  clockid_t clock{};
  timespec used{};
  if (::clock_getcpuclockid(pid, &clock) != 0 || ::clock_gettime(clock, &used) != 0) return std::nullopt;
  return Seconds(used);
}

double ThreadCpuSeconds() {
  timespec used{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
  return Seconds(used);
}

}  // namespace dornvel::bench
