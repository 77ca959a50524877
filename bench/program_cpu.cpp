#include "bench/program_cpu.h"

#include <chrono>

#include "bench/process_cpu.h"

namespace dornvel::bench {

namespace {

// A line read from the pipe sooner than this after asking was already there.
constexpr auto kWaited = std::chrono::milliseconds(20);

}  // namespace

std::optional<CpuAndWall> CpuOverRequests(testing::Simulator& sim, pid_t pid, int warmUp, int measured,
                                          std::string_view request) {
  using namespace std::chrono_literals;
  for (int i = 0; i < warmUp; ++i) {
    if (!sim.WaitFor(request, 5s)) return std::nullopt;
  }
  // Lines written while this process was busy (the master's start-up) wait in
  // the pipe and come at once: the stretch starts at a request that came while
  // this process waited for it, so that both clocks are read at its moment.
  while (true) {
    const auto asked = std::chrono::steady_clock::now();
    const auto came = sim.WaitFor(request, 5s);
    if (!came) return std::nullopt;
    if (*came - asked >= kWaited) break;
  }
  const auto startCpu = ProcessCpuSeconds(pid);
  const auto startWall = std::chrono::steady_clock::now();
  for (int i = 0; i < measured; ++i) {
    if (!sim.WaitFor(request, 5s)) return std::nullopt;
  }
  const auto endCpu = ProcessCpuSeconds(pid);
  const auto endWall = std::chrono::steady_clock::now();
  if (!startCpu || !endCpu) return std::nullopt;
  return CpuAndWall{*endCpu - *startCpu, std::chrono::duration<double>(endWall - startWall).count()};
}

}  // namespace dornvel::bench
