#include "bench/trend_polling.h"

#include <csignal>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/figure_row.h"
#include "bench/program_cpu.h"
#include "bench/simulated_line.h"
#include "harness/program_process.h"
#include "harness/simulator.h"

namespace dornvel::bench {

namespace {

using namespace std::chrono_literals;

constexpr int kBaud = 9600;
// Ticks are counted by the read of nolu, their first request; the first tick
// also reads the holding registers, and the trend window opens.
constexpr std::string_view kTickRequest = "RX 01 04 00 00 00 02 71";
constexpr int kWarmUpTicks = 2;
constexpr int kMeasuredTicks = 30;
// CPU a tick: the window's own target, and with the trend window open.
constexpr double kClosedTickCpuTargetMs = 2;
constexpr double kOpenTickCpuTargetMs = 3;
// The timer's period, with room for the coarse timer's jitter.
constexpr double kPeriodTargetSeconds = 1.02;

struct PollingFigures {
  double cpuMsPerTick = 0;
  double periodSeconds = 0;
};

// The program polling a meter whose resistance changes at every read, with
// the trend window open or not.
std::optional<PollingFigures> Measure(bool trendOpen) {
  testing::TempDir dir;
  testing::Simulator sim(dir, SimulatedMeter(kBaud, std::nullopt), testing::Simulator::LogMode::Tapped);
  testing::ProgramProcess program({{1, sim.Path()}});
  program.Start(std::nullopt, trendOpen ? std::vector<std::string>{"--trend"} : std::vector<std::string>{});
  const auto used = CpuOverRequests(sim, program.Pid(), kWarmUpTicks, kMeasuredTicks, kTickRequest);
  program.Stop(SIGTERM, 5s);
  sim.Stop();
  if (!used) return std::nullopt;
  return PollingFigures{used->cpuSeconds * 1e3 / kMeasuredTicks, used->wallSeconds / kMeasuredTicks};
}

std::string Text(const std::optional<PollingFigures>& figures) {
  if (!figures) return "no polling";
  return Fixed(figures->cpuMsPerTick, 3) + " ms; " + Fixed(figures->periodSeconds, 3) + " s";
}

bool Pass(const std::optional<PollingFigures>& figures, double cpuTargetMs) {
  return figures && figures->cpuMsPerTick <= cpuTargetMs && figures->periodSeconds <= kPeriodTargetSeconds;
}

std::string Target(double cpuTargetMs) {
  return "<= " + Fixed(cpuTargetMs, 0) + " ms; <= " + Fixed(kPeriodTargetSeconds, 2) + " s";
}

}  // namespace

void PrintTrendPollingFigures() {
  const auto closed = Measure(false);
  const auto open = Measure(true);
  const std::string what = "CPU (user + sys) of the whole dornvel process per tick; poll period, over " +
                           std::to_string(kMeasuredTicks) + " ticks of a reading that changes every tick";
  Print({what + ", trend window closed", Target(kClosedTickCpuTargetMs), Text(closed), "-",
         Pass(closed, kClosedTickCpuTargetMs)});
  Print({what + ", trend window open (dornvel --trend)", Target(kOpenTickCpuTargetMs), Text(open), "-",
         Pass(open, kOpenTickCpuTargetMs)});
}

}  // namespace dornvel::bench
